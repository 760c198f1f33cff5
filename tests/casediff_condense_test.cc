#include "casediff.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

std::string condense(const std::string& listing)
{
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::fputs(listing.c_str(), in);
    std::rewind(in);
    EXPECT_TRUE(condenseListing(in, out).readToEnd);
    std::string text;
    std::rewind(out);
    for (int ch = 0; (ch = std::fgetc(out)) != EOF;)
        text += static_cast<char>(ch);
    std::fclose(in);
    std::fclose(out);
    return text;
}

std::string hexLine(uint32_t address, uint32_t byteA, uint32_t byteB)
{
    char line[40];
    std::snprintf(line, sizeof line, "%04x:  %02x  %02x\n", address, byteA, byteB);
    return line;
}

// A listing of pairs at consecutive addresses from 1 on, so that the output
// holds no line feed but those of the hex lines, and the output it should give.
struct Pairs {
    std::string listing;
    std::string wanted;
    uint32_t address = 1;

    void add(uint32_t byteA, uint32_t byteB, char letter)
    {
        char line[40];
        std::snprintf(line, sizeof line, "%X-%x (%X)\n", address, byteA, byteB);
        listing += line;
        wanted += letter != 0 ? std::string(1, letter) : hexLine(address, byteA, byteB);
        ++address;
    }
};

} // namespace

TEST(CasediffLetters, EveryLetterOfEveryClassInBothOrders)
{
    Pairs pairs;
    for (uint32_t letter = 0; letter < 26; ++letter) {
        const char wanted = static_cast<char>('a' + letter);
        for (uint32_t upper : {0x41u + letter, 0xC1u + letter}) {
            pairs.add(upper, upper + 0x20, wanted);
            pairs.add(upper + 0x20, upper, wanted);
            pairs.add(upper, upper, 0); // same byte: no case difference
            pairs.add(upper + 0x20, upper + 0x20, 0);
        }
        // Bit 7 must agree in both bytes.
        pairs.add(0x41 + letter, 0xE1 + letter, 0);
        pairs.add(0xE1 + letter, 0x41 + letter, 0);
        pairs.add(0xC1 + letter, 0x61 + letter, 0);
        pairs.add(0x61 + letter, 0xC1 + letter, 0);
    }
    EXPECT_EQ(condense(pairs.listing), pairs.wanted);
}

TEST(CasediffLetters, BytesNextToTheRangesAndWideValuesAreInNoClass)
{
    Pairs pairs;
    for (uint32_t byte : {0x40u, 0x5Bu, 0x5Cu, 0x5Du, 0x5Eu, 0x5Fu, 0x60u, 0x7Bu, 0xC0u, 0xDBu, 0xDCu, 0xDDu,
                          0xDEu, 0xDFu, 0xE0u, 0xFBu}) {
        pairs.add(byte, byte + 0x20, 0);
        pairs.add(byte, byte - 0x20, 0);
    }
    pairs.add(0x141, 0x161, 0);
    pairs.add(0x41, 0x161, 0);
    pairs.add(0x10000041, 0x10000061, 0);
    EXPECT_EQ(condense(pairs.listing), pairs.wanted);
}

TEST(CasediffLines, ScanTakesOnlyLinesWithAllThreeNumbers)
{
    // Each line follows address 2ff with the pair C8/E8, the letter h.
    for (const char* line : {"0300-C8 (E8)", "300-c8(e8)", " 300-\tC8  ( e8) trailing", "0x300-0xc8 (0XE8"})
        EXPECT_EQ(condense(std::string("02ff-41 (61)\n") + line + "\n"), "\nah") << line;
    EXPECT_EQ(condense("ffffffff-1FF (00000000000002)\n"), "\nffffffff:  1ff  02\n");
    // A line the scan refuses is passed over and leaves the previous address alone.
    for (const char* line : {"0300 -C8 (E8)", "0300-C8 E8", "0300-C8 (", "0300-C8 (zz)", "0300", "-",
                             "100000000-41 (61)", "0300-41 (100000061)", "garbage 0300-41 (61)"})
        EXPECT_EQ(condense(std::string("02ff-41 (61)\n") + line + "\n0300-42 (62)\n"), "\nab") << line;
}

TEST(CasediffListing, WorkedExample)
{
    EXPECT_EQ(condense("0300-C8 (E8)\n0301-C5 (E5)\n0302-CC (EC)\n0303-CC (EC)\n0304-CF (EF)\n"
                       "0306-41 (42)\n0307-61 (41)\n"),
              "\nhello\n0306:  41  42\na");
}

TEST(CasediffListing, LineFeedsFollowTheAddressesOnly)
{
    EXPECT_EQ(condense("1-41 (61)\n2-42 (62)\n"), "ab"); // 0 + 1 is the first address
    EXPECT_EQ(condense("0-41 (61)\n"), "\na");
    // Skipped and malformed lines leave the previous address alone.
    EXPECT_EQ(condense("10-41 (61)\n\n# gap\n*\n11 bad line\n11-zz (61)\n11-42 (62)\n"), "\nab");
    EXPECT_EQ(condense("10-41 (62)\n11-43 (63)\n20-44 (64)\n"), "\n0010:  41  62\nc\nd");
    EXPECT_EQ(condense("ffffffff-41 (61)\n0-42 (62)\n"), "\nab"); // unsigned wrap counts as consecutive
    // Values wider than their fields are written in full.
    EXPECT_EQ(condense("12345-1FF (0)\n12346-ffffffff (1000000)\n"), "\n12345:  1ff  00\n12346:  ffffffff  1000000\n");
    EXPECT_EQ(condense(""), "");
    EXPECT_EQ(condense("# only comments\n\n"), "");
}
