// Control-file lines with comment lines passed over.
#include "config_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

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

} // namespace
