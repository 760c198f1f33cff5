// Line input and the press-<cr> pause.
#include "capture.h"
#include "console.h"

#include <gtest/gtest.h>

#include <cstdio>
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

} // namespace
