#include "change_file.h"
#include "change_line.h"
#include "start_address.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// A stream holding text, read from its start.
std::FILE* streamOf(const std::string& text)
{
    std::FILE* stream = std::tmpfile();
    std::fputs(text.c_str(), stream);
    std::rewind(stream);
    return stream;
}

std::string contentOf(std::FILE* stream)
{
    std::string text;
    std::rewind(stream);
    for (int ch = 0; (ch = std::fgetc(stream)) != EOF;)
        text += static_cast<char>(ch);
    return text;
}

struct Applied {
    std::string trace;
    ChangeTally tally;
};

Applied apply(const std::string& changeText, int32_t start, std::vector<uint8_t>& image)
{
    std::FILE* changes = streamOf(changeText);
    std::FILE* trace = std::tmpfile();
    Applied result{{}, applyChangeFile(changes, start, image, trace)};
    result.trace = contentOf(trace);
    std::fclose(changes);
    std::fclose(trace);
    return result;
}

} // namespace

// The trace test below covers well-formed lines; these are the odd ones.
TEST(MempatchLines, NumbersAreReadAsTheScanConversionsReadThem)
{
    uint32_t address = 0;
    int32_t count = 0;
    ASSERT_TRUE(readConfigValues("-1 2 trailing words", address, count)); // far outside any image
    EXPECT_EQ(address, 0xFFFFFFFFu);
    for (const char* line : {"D000", "D000,3", "1FFFFFFFF 1", "D000 99999999999"})
        EXPECT_FALSE(readConfigValues(line, address, count)) << line;
    std::vector<uint32_t> values(85);
    EXPECT_EQ(readDataValues("A9 zz 8D", values), 1); // counting stops at the first gap
    std::string longLine;
    for (int i = 0; i < 90; ++i)
        longLine += "77 ";
    EXPECT_EQ(readDataValues(longLine, values), 85); // capped by the room given
}

TEST(MempatchLines, StartAddressIsHexFromZeroToD000)
{
    int32_t start = -1;
    for (auto [answer, wanted] : {std::pair{"0", 0}, {" d000 ", 0xD000}, {"4", 4}, {"00001000", 0x1000}}) {
        ASSERT_TRUE(parseStartAddress(answer, start)) << answer;
        EXPECT_EQ(start, wanted);
    }
    for (const char* answer : {"", "  ", "d001", "-4", "12g", "0x10", "ffffffffffffffff"})
        EXPECT_FALSE(parseStartAddress(answer, start)) << answer;
    EXPECT_EQ(start, 0x1000); // left as it was
}

TEST(MempatchChanges, TraceAndStoresForGoodAndRefusedChanges)
{
    std::vector<uint8_t> image(0x3004, 0x11);
    const Applied run = apply("D000 3\n# comment\n\n* another\nA9 00 8D\n"
                              "FFFF 0\nFF\n"
                              "CFFB 1\n22\n"           // below the image
                              "FFFF 2\n33 44\n"        // runs past 0xFFFF
                              "D010 4\n55 66\n"        // the dataLine holds two bytes
                              "D010 86\n55\n"          // more than a dataLine can hold
                              "WXYZ 1\n66\n"           // no address
                              "D010 2\n1ff 02 junk\n", // only the low 8 bits are stored
                              4, image);
    EXPECT_EQ(run.tally.applied, 3);
    EXPECT_EQ(run.tally.refused, 5);
    EXPECT_EQ(run.trace,
              "configLine:  D000 3\ndataLine:  A9 00 8D\nbufferAddress = 0x0004, nBytes = 3\n"
              "0:  bufferAddress = 0004, dataByte = a9\n1:  bufferAddress = 0005, dataByte = 00\n"
              "2:  bufferAddress = 0006, dataByte = 8d\n"
              "configLine:  FFFF 0\ndataLine:  FF\nbufferAddress = 0x3003, nBytes = 0\n"
              "configLine:  CFFB 1\ndataLine:  22\nbufferAddress = 0xffffffff, nBytes = 1\n"
              "\nChange refused: configLine 'CFFB 1' does not lie inside the image, 0xcffc to 0xffff.\n\n"
              "configLine:  FFFF 2\ndataLine:  33 44\nbufferAddress = 0x3003, nBytes = 2\n"
              "\nChange refused: configLine 'FFFF 2' does not lie inside the image, 0xcffc to 0xffff.\n\n"
              "configLine:  D010 4\ndataLine:  55 66\nbufferAddress = 0x0014, nBytes = 4\n"
              "\nChange refused: configLine 'D010 4' asks for 4 bytes, its dataLine holds 2.\n\n"
              "configLine:  D010 86\ndataLine:  55\nbufferAddress = 0x0014, nBytes = 86\n"
              "\nChange refused: configLine 'D010 86' asks for 86 bytes; a change holds 0 to 85.\n\n"
              "configLine:  WXYZ 1\ndataLine:  66\n"
              "\nChange refused: configLine 'WXYZ 1' does not start with a hexadecimal address and a decimal "
              "count.\n\n"
              "configLine:  D010 2\ndataLine:  1ff 02 junk\nbufferAddress = 0x0014, nBytes = 2\n"
              "0:  bufferAddress = 0014, dataByte = 1ff\n1:  bufferAddress = 0015, dataByte = 02\n");
    std::vector<uint8_t> wanted(0x3004, 0x11);
    wanted[4] = 0xA9;
    wanted[5] = 0x00;
    wanted[6] = 0x8D;
    wanted[0x14] = 0xFF;
    wanted[0x15] = 0x02;
    EXPECT_EQ(image, wanted);
}

TEST(MempatchChanges, ConfigLineAtTheEndChangesNothing)
{
    std::vector<uint8_t> image(0x3000, 0x11);
    const Applied run = apply("# last pair is cut short\nD000 1\n", 0, image);
    EXPECT_EQ(run.trace, "configLine:  D000 1\n");
    EXPECT_EQ(run.tally.applied + run.tally.refused, 0);
    EXPECT_EQ(image, std::vector<uint8_t>(0x3000, 0x11));
}

// The image is exactly as long as the program's would be, so the sanitizers
// catch any store outside it.
TEST(MempatchChanges, HostileChangeFileNeverWritesOutsideTheImage)
{
    std::mt19937 random(2024);
    std::FILE* trace = std::fopen("/dev/null", "w");
    ASSERT_NE(trace, nullptr);
    int applied = 0;
    int refused = 0;
    for (int32_t start : {0, 4, 0x1000, 0xD000}) {
        std::string text;
        for (int pair = 0; pair < 1500; ++pair) {
            // Most addresses sit near the image's two edges, the rest anywhere.
            const uint32_t low = 0xD000 - static_cast<uint32_t>(start);
            const uint32_t edge = random() % 2 != 0 ? low : 0x10000;
            const auto address = static_cast<uint32_t>(random() % 4 != 0 ? edge + random() % 200 - 100 : random());
            const int count = static_cast<int>(random() % 1010) - 5;
            char config[64];
            std::snprintf(config, sizeof config, "%x %d\n", address, random() % 4 != 0 ? count % 90 : count);
            text += config;
            if (random() % 10 == 0)
                text += "#junk\n" + std::string(random() % 700, 'x') + "\n"; // long lines come in pieces
            const int length = static_cast<int>(random() % 300);
            const bool wellFormed = random() % 3 != 0;
            for (int i = 0; i < length; ++i)
                text += wellFormed ? "0123456789abcdef "[i % 3 == 2 ? 16 : random() % 16] : "9Z -"[random() % 4];
            text += "\n";
        }
        std::vector<uint8_t> image(static_cast<size_t>(start) + 0x3000);
        std::FILE* changes = streamOf(text);
        const ChangeTally tally = applyChangeFile(changes, start, image, trace);
        std::fclose(changes);
        applied += tally.applied;
        refused += tally.refused;
    }
    std::fclose(trace);
    EXPECT_GT(applied, 100); // both roads were taken often
    EXPECT_GT(refused, 100);
}
