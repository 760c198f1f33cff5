// The console routines: line input, the pause, asking a question, control
// files, the clock and the message sink.
#include "capture.h"
#include "console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <regex>
#include <string>

namespace {

// Reads lines with Gets from text until -1, returning "length:text" for each.
std::string readAll(std::string text, int size)
{
    std::FILE* stream = fmemopen(text.data(), text.size(), "r");
    std::string seen;
    char buffer[512];
    int length;
    while ((length = Gets(std::span(buffer, static_cast<size_t>(size)), stream)) >= 0)
        seen += std::to_string(length) + ":" + buffer + "|";
    std::fclose(stream);
    return seen + "end";
}

TEST(Gets, StripsEveryTrailingCarriageReturnAndLineFeed)
{
    EXPECT_EQ(readAll("abc\r\n", 256), "3:abc|end");
    EXPECT_EQ(readAll("abc\r\n\r\n", 256), "3:abc|0:|end");
    EXPECT_EQ(readAll("abc\r\r\n", 256), "3:abc|end");
    EXPECT_EQ(readAll("\n", 256), "0:|end");
    EXPECT_EQ(readAll("last line without end", 256), "21:last line without end|end");
    EXPECT_EQ(readAll("a\rb\n", 256), "3:a\rb|end"); // only trailing ones go
}

TEST(Gets, ReturnsMinusOneAtEndOfInput)
{
    EXPECT_EQ(readAll("", 256), "end");
}

TEST(Gets, SplitsALineLongerThanTheBuffer)
{
    EXPECT_EQ(readAll("abcdefgh\n", 4), "3:abc|3:def|2:gh|end");
}

TEST(Pause, PromptsAndConsumesOneCharacterOfTheLine)
{
    // "x\n" at the pause: only x is consumed; the line feed is then read as an empty line.
    Captured run = captureConsole("x\nnext\n", [] {
        Pause();
        char line[64];
        int first = Gets(line, stdin);
        std::printf("[%d:%s]", first, line);
        int second = Gets(line, stdin);
        std::printf("[%d:%s]", second, line);
        return 0;
    });
    EXPECT_EQ(run.output, "\n\nPress <cr> to continue ...  \n\n[0:][4:next]");
}

TEST(Pause, EmptyLineIsConsumedWhole)
{
    Captured run = captureConsole("\nnext\n", [] {
        Pause();
        char line[64];
        std::printf("[%d:%s]", Gets(line, stdin), line);
        return 0;
    });
    EXPECT_EQ(run.output, "\n\nPress <cr> to continue ...  \n\n[4:next]");
}

TEST(Pause, PipedAnswersTypedAheadAreKept)
{
    // Standard input is not a terminal here, so nothing is discarded before the
    // prompt: the second pause takes the 'f' of the next line, the rest stays.
    Captured run = captureConsole("\nfirst\nsecond\n", [] {
        Pause();
        Pause();
        char line[64];
        std::printf("[%d:%s]", Gets(line, stdin), line);
        return 0;
    });
    EXPECT_EQ(run.output, "\n\nPress <cr> to continue ...  \n\n\n\nPress <cr> to continue ...  \n\n[4:irst]");
}

TEST(Pause, EndOfInputGoesOn)
{
    Captured run = captureConsole("", [] {
        Pause();
        myPause();
        return 7;
    });
    EXPECT_EQ(run.output, "\n\nPress <cr> to continue ...  \n\n\nPress <cr> to continue ...  \n");
    EXPECT_EQ(run.status, 7);
}

TEST(MyPause, HasOneLeadingAndOneTrailingLineFeed)
{
    Captured run = captureConsole("\n", [] {
        myPause();
        return 0;
    });
    EXPECT_EQ(run.output, "\nPress <cr> to continue ...  \n");
}


// Asks twice with the given limit and prints each answer as [length:text].
Captured askTwice(const std::string& input, int maxLength, bool echo = true)
{
    return captureConsole(input, [=] {
        for (int i = 0; i < 2; ++i) {
            int length = Ask("Q?  ", maxLength, echo);
            std::printf("[%d:%s]", length, Ans);
        }
        return 0;
    });
}

const std::string TooLong127 = "\nError, that answer is longer than 127 characters; please enter a shorter one.\n";

TEST(Ask, PrintsPromptAndLineFeedAfterEachAnswer)
{
    EXPECT_EQ(askTwice("one\r\ntwo\n", 127).output, "Q?  \n[3:one]Q?  \n[3:two]");
    EXPECT_EQ(askTwice("one\ntwo\n", 127, false).output, "Q?  [3:one]Q?  [3:two]");
}

TEST(Ask, EndOfInputIsAnEmptyAnswerAndNeverRepeatsTheLastOne)
{
    EXPECT_EQ(askTwice("only\n", 127).output, "Q?  \n[4:only]Q?  \n[0:]");
    EXPECT_EQ(askTwice("", 127).output, "Q?  \n[0:]Q?  \n[0:]");
}

TEST(Ask, AnswerThatFillsItsBufferExactlyIsAcceptedWhole)
{
    const std::string fits(127, 'p');
    EXPECT_EQ(askTwice(fits + "\nnext\n", 127).output, "Q?  \n[127:" + fits + "]Q?  \n[4:next]");
    // 255 characters fill Ans itself; the line end just past it is consumed with it.
    const std::string full(255, 'f');
    EXPECT_EQ(askTwice(full + "\r\nnext\n", 255).output, "Q?  \n[255:" + full + "]Q?  \n[4:next]");
}

TEST(Ask, OverLongAnswerIsRefusedAndItsRestNeverReadAsAnAnswer)
{
    const std::string longer(128, 'p');
    EXPECT_EQ(askTwice(longer + "\nshort\n", 127).output,
              "Q?  \n" + TooLong127 + "Q?  \n[5:short]Q?  \n[0:]");
    // Longer than Ans itself: the tail beyond 255 characters must not become the next answer.
    const std::string huge(700, 'h');
    EXPECT_EQ(askTwice(huge + "\nshort\n", 127).output,
              "Q?  \n" + TooLong127 + "Q?  \n[5:short]Q?  \n[0:]");
}

TEST(Ask, OverLongAnswerCarriesTheHint)
{
    Captured run = captureConsole(std::string(40, 'x') + "\nok\n", [] {
        int length = Ask("Name:  ", 30, true, "Use a shorter name.\n");
        std::printf("[%d:%s]", length, Ans);
        return 0;
    });
    EXPECT_EQ(run.output,
              "Name:  \n\nError, that answer is longer than 30 characters; please enter a shorter one.\n"
              "Use a shorter name.\nName:  \n[2:ok]");
}

TEST(CopyAnswer, CutsToTheDestination)
{
    std::strcpy(Ans, "abcdef");
    char small[4];
    copyAnswer(small);
    EXPECT_STREQ(small, "abc");
    char large[16];
    copyAnswer(large);
    EXPECT_STREQ(large, "abcdef");
}


struct Stream {
    explicit Stream(std::string content) : text(std::move(content)), file(fmemopen(text.data(), text.size(), "r")) {}
    ~Stream() { std::fclose(file); }
    std::string text;
    std::FILE* file;
};

TEST(ReadConfigLine, SkipsEmptyAndCommentLinesButNotBlankLedOnes)
{
    Stream in("# comment\n\n* star\n first\r\nsecond\n#x\n");
    char dest[64];
    EXPECT_EQ(readConfigLine(dest, in.file), 6);
    EXPECT_STREQ(dest, " first");
    EXPECT_EQ(readConfigLine(dest, in.file), 6);
    EXPECT_STREQ(dest, "second");
    EXPECT_EQ(readConfigLine(dest, in.file), -1);
    EXPECT_STREQ(dest, "second"); // left unchanged at the end
}

TEST(ReadConfigLine, CutsToDestinationButReturnsTheWholeLength)
{
    Stream in(std::string(300, 'a') + "\n");
    char dest[256];
    EXPECT_EQ(readConfigLine(dest, in.file), 300);
    EXPECT_EQ(std::string(dest), std::string(255, 'a'));
}

TEST(ReadConfigLine, SmallDestinationIsNeverOverrun)
{
    Stream in("123456789\n");
    char dest[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(readConfigLine(std::span(dest, 4), in.file), 9);
    EXPECT_STREQ(dest, "123");
    EXPECT_EQ(dest[4], 'x');
}

TEST(ReadConfigLine, EndOfInputBeforeAnyLine)
{
    Stream in("#only comments\n\n");
    char dest[8] = "keep";
    EXPECT_EQ(readConfigLine(dest, in.file), -1);
    EXPECT_STREQ(dest, "keep");
}


TEST(TimeRecord, CurrentTimeIsTodaysLocalTime)
{
    std::time_t before = std::time(nullptr);
    TimeRecord record{};
    get_time_date(record);
    std::time_t after = std::time(nullptr);
    bool matched = false;
    for (std::time_t t = before; t <= after; ++t) {
        std::tm local{};
        localtime_r(&t, &local);
        matched = matched || (record.seconds == local.tm_sec && record.minutes == local.tm_min &&
                              record.hours == local.tm_hour && record.day == local.tm_mday &&
                              record.month == local.tm_mon + 1 && record.year == local.tm_year - 100);
    }
    EXPECT_TRUE(matched);
}

std::string contentOf(std::FILE* stream)
{
    std::rewind(stream);
    std::string text;
    int ch;
    while ((ch = std::fgetc(stream)) != EOF)
        text += static_cast<char>(ch);
    return text;
}

TEST(Info, WritesWhereTheFlagsSay)
{
    LogFilePtr = std::tmpfile();
    SumFilePtr = std::tmpfile();
    Captured run = captureConsole("", [] {
        info("plain\n", InfoConsole);
        info("stamped\n", InfoConsole | InfoTime);
        return 0;
    });
    info("to log only\n", InfoLog);
    info("to summary only\n", InfoSummary | InfoTime);
    EXPECT_TRUE(std::regex_match(run.output, std::regex("plain\n\\(\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\) stamped\n")))
        << run.output;
    EXPECT_EQ(contentOf(LogFilePtr), "to log only\n");
    EXPECT_TRUE(std::regex_match(contentOf(SumFilePtr), std::regex("\\(\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\) to summary only\n")));
    std::fclose(LogFilePtr);
    std::fclose(SumFilePtr);
    LogFilePtr = nullptr;
    SumFilePtr = nullptr;
    info("nowhere to go\n", InfoLog | InfoSummary); // unset streams are passed over
}


} // namespace
