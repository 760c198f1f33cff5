// The prompt convention: prompt, answer, limits, end of input.
#include "ask.h"
#include "capture.h"
#include "console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

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

} // namespace
