#include "condense.h"
#include "letter_class.h"
#include "listing_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(CasediffLetters, EveryLetterOfEveryClassInBothOrders)
{
    for (uint32_t letter = 0; letter < 26; ++letter) {
        const char wanted = static_cast<char>('a' + letter);
        for (uint32_t upper : {0x41u + letter, 0xC1u + letter}) {
            EXPECT_EQ(caseOnlyLetter(upper, upper + 0x20), wanted) << upper;
            EXPECT_EQ(caseOnlyLetter(upper + 0x20, upper), wanted) << upper;
            EXPECT_EQ(caseOnlyLetter(upper, upper), 0) << upper; // same byte: no case difference
        }
        // Bit 7 must agree in both bytes.
        EXPECT_EQ(caseOnlyLetter(0x41 + letter, 0xE1 + letter), 0);
        EXPECT_EQ(caseOnlyLetter(0xE1 + letter, 0x41 + letter), 0);
        EXPECT_EQ(caseOnlyLetter(0xC1 + letter, 0x61 + letter), 0);
        EXPECT_EQ(caseOnlyLetter(0x61 + letter, 0xC1 + letter), 0);
    }
}

TEST(CasediffLetters, BytesNextToTheRangesAndWideValuesAreInNoClass)
{
    for (uint32_t byte : {0x40u, 0x5Bu, 0x5Cu, 0x5Du, 0x5Eu, 0x5Fu, 0x60u, 0x7Bu, 0xC0u, 0xDBu, 0xDCu, 0xDDu,
                          0xDEu, 0xDFu, 0xE0u, 0xFBu}) {
        EXPECT_EQ(caseOnlyLetter(byte, byte + 0x20), 0) << byte;
        EXPECT_EQ(caseOnlyLetter(byte, byte - 0x20), 0) << byte;
    }
    EXPECT_EQ(caseOnlyLetter(0x141, 0x161), 0);
    EXPECT_EQ(caseOnlyLetter(0x41, 0x161), 0);
    EXPECT_EQ(caseOnlyLetter(0x10000041, 0x10000061), 0);
}

TEST(CasediffLines, ScanTakesOnlyLinesWithAllThreeNumbers)
{
    ListingLine entry;
    for (const char* line : {"0300-C8 (E8)", "300-c8(e8)", " 300-\tC8  ( e8) trailing", "0x300-0xc8 (0XE8"}) {
        entry = {};
        ASSERT_TRUE(scanListingLine(line, entry)) << line;
        EXPECT_EQ(entry.address, 0x300u);
        EXPECT_EQ(entry.byteA, 0xC8u);
        EXPECT_EQ(entry.byteB, 0xE8u);
    }
    ASSERT_TRUE(scanListingLine("ffffffff-1FF (00000000000002)", entry));
    EXPECT_EQ(entry.byteA, 0x1FFu);
    EXPECT_EQ(entry.byteB, 2u);
    const ListingLine before = entry;
    for (const char* line : {"0300 -C8 (E8)", "0300-C8 E8", "0300-C8 (", "0300-C8 (zz)", "0300", "-",
                             "100000000-41 (61)", "0300-41 (100000061)", "garbage 0300-41 (61)"}) {
        EXPECT_FALSE(scanListingLine(line, entry)) << line;
        EXPECT_EQ(entry.address, before.address) << line;
    }
}

namespace {

std::string condense(const std::string& listing)
{
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::fputs(listing.c_str(), in);
    std::rewind(in);
    EXPECT_TRUE(condenseListing(in, out));
    std::string text;
    std::rewind(out);
    for (int ch = 0; (ch = std::fgetc(out)) != EOF;)
        text += static_cast<char>(ch);
    std::fclose(in);
    std::fclose(out);
    return text;
}

} // namespace

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
