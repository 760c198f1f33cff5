#include "asmspacer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

std::string space(const std::string& source, SpaceResult expected = SpaceResult::Done)
{
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::fwrite(source.data(), 1, source.size(), in);
    std::rewind(in);
    EXPECT_EQ(spaceFile(in, out), expected);
    std::string result(static_cast<size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    EXPECT_EQ(std::fread(result.data(), 1, result.size(), out), result.size());
    std::fclose(in);
    std::fclose(out);
    return result;
}

TEST(asmspacerFile, LineEndsAndEmptyInput)
{
    EXPECT_EQ(space(""), "");
    EXPECT_EQ(space(" LDA #1\r\n NOP\r\n\r\n RTS"), ";\n LDA #1\n NOP\n\n;\n RTS\n");
    EXPECT_EQ(space(" NOP\r\r\n X\rY\n\r"), " NOP\n X\rY\n\n"); // a CR inside a line is text
    EXPECT_EQ(space(std::string("A\0B LDA\n", 8)), std::string("A\0B LDA\n", 8));
}

TEST(asmspacerFile, LongLinesAreSplitAndEachPartIsALine)
{
    const std::string first = " RTS " + std::string(250, 'x');
    const std::string rest = " NOP" + std::string(41, 'y');
    EXPECT_EQ(space(first + rest + "\n"), ";\n" + first + "\n;\n" + rest + "\n");
    // Exactly 255 characters: one line, no empty line after it, whatever the line end.
    EXPECT_EQ(space(first + "\r\n NOP\n"), ";\n" + first + "\n;\n NOP\n");
    EXPECT_EQ(space(first + first + "\n"), ";\n" + first + "\n;\n" + first + "\n");
    EXPECT_EQ(space(first + "\r\r"), ";\n" + first + "\n");
    EXPECT_EQ(space(first.substr(1) + "\r\n NOP\n"), first.substr(1) + "\n NOP\n");
    // CRs at the cut are text when more text follows them.
    EXPECT_EQ(space(first + "\r\r NOP\r\n"), ";\n" + first + "\n;\n\r\r NOP\n");
}

TEST(asmspacerFile, FailuresAreReported)
{
    std::FILE* in = std::tmpfile();
    for (int i = 0; i < 20000; ++i)
        std::fputs(" LDA #1\n", in);
    std::rewind(in);
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(spaceFile(in, full), SpaceResult::WriteFailed);
    EXPECT_LT(std::ftell(in), 160000); // stopped part way, reading no further
    std::fclose(full);
    std::fclose(in);

    std::FILE* folder = std::fopen("/tmp", "rb");
    std::FILE* out = std::tmpfile();
    EXPECT_EQ(spaceFile(folder, out), SpaceResult::ReadFailed);
    std::fclose(folder);
    std::fclose(out);
}

// Source lines from the rules' vocabulary, raw bytes, long lines and every kind of line end.
std::string generatedSource(std::mt19937& random)
{
    const char* leads[] = {"", " ", "  ", "\t", ";", " ;"};
    const char* labels[] = {"", "HERE", "here", "L0300", "L00FE", "LC000", "L0", "X"};
    const char* opcodes[] = {"", "LDA", "lda", "Cmp", "JSR", "jmp", "BNE", "rts", "BRK", "hex", "EQU", "equate", "ld"};
    const char* ends[] = {"\n", "\r\n", "\r\r\n", "\n\r\n"};
    auto pick = [&random](auto& list) { return list[random() % std::size(list)]; };
    std::string source;
    const int lines = static_cast<int>(random() % 300);
    for (int i = 0; i < lines; ++i) {
        if (random() % 10 == 0) {
            const size_t length = random() % 4 == 0 ? 255 : random() % 600;
            for (size_t k = 0; k < length; ++k) {
                const char ch = static_cast<char>(random() % 256);
                source += ch == '\n' ? ' ' : ch;
            }
        } else {
            source += std::string(pick(leads)) + pick(labels) + " " + pick(opcodes) + " $" + std::to_string(random() % 99);
        }
        if (i + 1 < lines || random() % 2 == 0)
            source += pick(ends);
    }
    return source;
}

// The input's lines as the spacer must copy them: line ends normalised, long lines cut at 255.
std::vector<std::string> expectedLines(const std::string& source)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < source.size()) {
        size_t end = source.find('\n', start);
        if (end == std::string::npos)
            end = source.size();
        std::string line = source.substr(start, end - start);
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t at = 0;
        do {
            lines.push_back(line.substr(at, 255));
            at += 255;
        } while (at < line.size());
        start = end + 1;
    }
    return lines;
}

TEST(asmspacerFile, OutputIsInputPlusSeparatorLines)
{
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        std::string source = generatedSource(random);
        while (round % 30 == 0 && source.size() < 200000) // longer texts, past the streams' buffers
            source += generatedSource(random);
        const std::string output = space(source);
        const std::vector<std::string> lines = expectedLines(source);
        ASSERT_TRUE(output.empty() || output.back() == '\n');
        size_t next = 0;
        bool separatorBefore = false;
        for (size_t start = 0; start < output.size();) {
            const size_t end = output.find('\n', start);
            const std::string line = output.substr(start, end - start);
            start = end + 1;
            if (next < lines.size() && line == lines[next]) { // a separator never precedes a ';' line
                ++next;
                separatorBefore = false;
            } else {
                ASSERT_TRUE(line == ";" && !separatorBefore) << "round " << round << " line " << next;
                separatorBefore = true;
            }
        }
        ASSERT_EQ(next, lines.size()) << "round " << round;
        ASSERT_FALSE(separatorBefore);
    }
}

} // namespace
