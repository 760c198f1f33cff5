// Numbers read as the scan conversions read them, bounded.
#include "numbers.h"

#include <gtest/gtest.h>

namespace {

TEST(ScanNumber, HexadecimalAsPercentXReadsIt)
{
    struct Case {
        const char* text;
        size_t used;
        bool negative;
        uint64_t magnitude;
    } cases[] = {
        {"1f", 2, false, 0x1F},     {"  \t0x1F rest", 7, false, 0x1F}, {"-2", 2, true, 2},
        {"+0X0a", 5, false, 10},    {"0x", 1, false, 0},               {"0xg", 1, false, 0},
        {"g1", 0, false, 0},        {"", 0, false, 0},                 {"- 1", 0, true, 0},
        {"FFFFFFFF", 8, false, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        ScannedNumber n = scanNumber(c.text, 16, UINT32_MAX);
        EXPECT_EQ(n.used, c.used) << c.text;
        EXPECT_EQ(n.negative, c.negative) << c.text;
        EXPECT_EQ(n.magnitude, c.magnitude) << c.text;
        EXPECT_FALSE(n.tooWide) << c.text;
    }
}

TEST(ScanNumber, TooWideIsFlaggedHeldAtTheLimitAndKeepsItsLowBits)
{
    ScannedNumber n = scanNumber("123456789A", 16, UINT32_MAX);
    EXPECT_EQ(n.used, 10u);
    EXPECT_TRUE(n.tooWide);
    EXPECT_EQ(n.magnitude, UINT32_MAX);
    EXPECT_EQ(n.wrapped & 0xFF, 0x9Au);
    ScannedNumber huge = scanNumber(std::string(40, 'f'), 16, UINT64_MAX);
    EXPECT_TRUE(huge.tooWide);
    EXPECT_EQ(huge.used, 40u);
}

TEST(ScanNumber, DecimalStopsAtHexDigits)
{
    ScannedNumber n = scanNumber(" -2147483648x", 10, uint64_t{1} << 31);
    EXPECT_EQ(n.used, 12u);
    EXPECT_TRUE(n.negative);
    EXPECT_EQ(n.magnitude, uint64_t{1} << 31);
    EXPECT_FALSE(n.tooWide);
    EXPECT_EQ(scanNumber("12ab", 10, 100).used, 2u);
    EXPECT_TRUE(scanNumber("101", 10, 100).tooWide);
    EXPECT_EQ(scanNumber("0x10", 10, 100).used, 1u); // no prefix in decimal
}

} // namespace
