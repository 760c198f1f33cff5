#include "capture.h"
#include "mempatch.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Applies the change text to image in a child process and returns its trace;
// the child's image comes back in image.
std::string apply(const std::string& changeText, int32_t start, std::vector<uint8_t>& image)
{
    std::FILE* changes = streamOf(changeText);
    std::FILE* stored = std::tmpfile();
    const Captured run = captureConsole("", [&]() {
        applyChangeFile(changes, start, image);
        return std::fwrite(image.data(), 1, image.size(), stored) == image.size() && std::fflush(stored) == 0 ? 0
                                                                                                               : 1;
    });
    std::fclose(changes);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
    std::rewind(stored);
    EXPECT_EQ(std::fread(image.data(), 1, image.size(), stored), image.size());
    std::fclose(stored);
    return run.output;
}

size_t occurrences(const std::string& text, const std::string& piece)
{
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size()))
        ++count;
    return count;
}

} // namespace

TEST(MempatchChanges, TraceAndStoresForGoodAndRefusedChanges)
{
    std::vector<uint8_t> image(0x3004, 0x11);
    const std::string trace = apply("D000 3\n# comment\n\n* another\nA9 00 8D\n"
                                    "FFFF 0\nFF\n"
                                    "CFFB 1\n22\n"           // below the image
                                    "FFFF 2\n33 44\n"        // runs past 0xFFFF
                                    "D010 4\n55 66\n"        // the dataLine holds two bytes
                                    "D010 86\n55\n"          // more than a dataLine can hold
                                    "WXYZ 1\n66\n"           // no address
                                    "D010 2\n1ff 02 junk\n", // only the low 8 bits are stored
                                    4, image);
    EXPECT_EQ(trace,
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

// The trace test above covers well-formed lines; these are the odd ones.
TEST(MempatchChanges, NumbersAreReadAsTheScanConversionsReadThem)
{
    std::vector<uint8_t> image(0x3000, 0x11);
    std::string ninety;
    for (int i = 0; i < 90; ++i)
        ninety += "77 ";
    const std::string trace = apply("-1 2 trailing words\n00 00\n" // far outside any image
                                    "D000\n01\nD000,3\n01\n1FFFFFFFF 1\n01\nD000 99999999999\n01\n"
                                    "D000 2\nA9 zz 8D\n"          // counting stops at the first gap
                                    "D000 85\n" + ninety + "\n", // the rest of a long dataLine is passed over
                                    0, image);
    EXPECT_NE(trace.find("configLine:  -1 2 trailing words\ndataLine:  00 00\nbufferAddress = 0xffff2fff, nBytes = 2\n"
                         "\nChange refused: configLine '-1 2 trailing words' does not lie inside the image"),
              std::string::npos)
        << trace;
    for (const char* line : {"D000", "D000,3", "1FFFFFFFF 1", "D000 99999999999"})
        EXPECT_NE(trace.find(std::string("configLine '") + line + "' does not start with a hexadecimal address"),
                  std::string::npos)
            << line;
    EXPECT_NE(trace.find("configLine 'D000 2' asks for 2 bytes, its dataLine holds 1.\n"), std::string::npos);
    EXPECT_NE(trace.find("54:  bufferAddress = 0054, dataByte = 77\n"), std::string::npos) << trace;
    EXPECT_EQ(occurrences(trace, "dataByte = 77"), 85u);
    std::vector<uint8_t> wanted(0x3000, 0x11); // only the 85 bytes of 0x77 changed it
    std::fill_n(wanted.begin(), 85, uint8_t{0x77});
    EXPECT_EQ(image, wanted);
}

TEST(MempatchChanges, ConfigLineAtTheEndChangesNothing)
{
    std::vector<uint8_t> image(0x3000, 0x11);
    EXPECT_EQ(apply("# last pair is cut short\nD000 1\n", 0, image), "configLine:  D000 1\n");
    EXPECT_EQ(image, std::vector<uint8_t>(0x3000, 0x11));
}

// The image is exactly as long as the program's would be, so the sanitizers
// catch any store outside it.
TEST(MempatchChanges, HostileChangeFileNeverWritesOutsideTheImage)
{
    std::mt19937 random(2024);
    size_t applied = 0;
    size_t refused = 0;
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
        std::vector<uint8_t> image(static_cast<size_t>(imageLength(start)));
        const std::string trace = apply(text, start, image);
        applied += occurrences(trace, "bufferAddress = 0x") - occurrences(trace, "Change refused: configLine '") +
                   occurrences(trace, "does not start with a hexadecimal address");
        refused += occurrences(trace, "Change refused: ");
    }
    EXPECT_GT(applied, 100u); // both roads were taken often
    EXPECT_GT(refused, 100u);
}
