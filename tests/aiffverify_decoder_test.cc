#include "aiff_capture.h"
#include "decoder.h"
#include "hex_answer.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Decodes the first byte of samples; allUsed tells whether nothing is left.
DecodedByte decodeFirst(Bytes samples, bool* allUsed = nullptr)
{
    std::FILE* capture = fmemopen(samples.data(), samples.size(), "r");
    int current = firstSample(capture);
    const DecodedByte decoded = decodeByte(capture, current);
    if (allUsed != nullptr)
        *allUsed = getc(capture) == EOF;
    std::fclose(capture);
    return decoded;
}

TEST(AiffDecoder, PulseOfTwoOrMoreIsOneAndTheFirstBitIsTheHighest)
{
    // Pulses 0 1 2 3 1 0 2 9 are the bits 0011 0011; gaps of every length, none included.
    bool allUsed = false;
    const DecodedByte decoded =
        decodeFirst(samplesOfRuns({{0, 0}, {1, 3}, {2, 0}, {3, 1}, {1, 0}, {0, 5}, {2, 2}, {9, 0}}), &allUsed);
    EXPECT_EQ(decoded.status, DecodeStatus::Ok);
    EXPECT_EQ(decoded.value, 0x33);
    EXPECT_TRUE(allUsed) << "the zero that begins the next bit belongs to the byte";
    EXPECT_EQ(decodeFirst(samplesOfRuns({{2, 1}, {1, 1}, {2, 0}, {1, 2}, {1, 0}, {2, 1}, {0, 1}, {2, 0}})).value, 0xA5);
}

TEST(AiffDecoder, StopsAtAMissingBitStartOrTheCaptureEnd)
{
    DecodedByte decoded = decodeFirst({0x7F, 0x00, 0x7F, 0x7F, 0x00});
    EXPECT_EQ(decoded.status, DecodeStatus::NoBitStart);
    EXPECT_EQ(decoded.sample, 0x7F);

    // Three whole bits, then the capture ends in the pulse, or in the gap.
    const Bytes whole = samplesOfRuns({{2, 1}, {0, 1}, {3, 0}});
    for (const Bytes& tail : {Bytes{0x7F, 0x7F}, Bytes{0x7F, 0x00, 0x7F}}) {
        Bytes samples = whole;
        samples.insert(samples.end(), tail.begin(), tail.end());
        decoded = decodeFirst(samples);
        EXPECT_EQ(decoded.status, DecodeStatus::CaptureEnded);
        EXPECT_EQ(decoded.bit, 3);
    }
    // Eight bits without the zero that would begin the next byte.
    Bytes eightBits = encodeCapture({0x5A});
    eightBits.pop_back();
    decoded = decodeFirst(eightBits);
    EXPECT_EQ(decoded.status, DecodeStatus::CaptureEnded);
    EXPECT_EQ(decoded.bit, 7);
}

TEST(HexAnswer, ReadsAsTheCLibraryReadsHexadecimal)
{
    const struct {
        const char* answer;
        int64_t wide;
        int32_t narrow;
    } cases[] = {
        {"", 0, 0},          {"1f", 0x1F, 0x1F},   {"  \t1F", 0x1F, 0x1F}, {"0x36", 0x36, 0x36},
        {"0X36", 0x36, 0x36}, {"+10", 0x10, 0x10},  {"-10", -0x10, -0x10},  {"12zz", 0x12, 0x12},
        {"12 34", 0x12, 0x12}, {"zz", 0, 0},        {"-", 0, 0},            {"0xg", 0, 0},
        {"7fffffff", 0x7FFFFFFF, 0x7FFFFFFF},       {"ffffffff", 0xFFFFFFFF, -1},
        {"100000001", 0x100000001, -1},             {"ffffffffffffffff", -1, -1},
        {"10000000000000001", -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readHex64(c.answer), c.wide) << '"' << c.answer << '"';
        EXPECT_EQ(readHex32(c.answer), c.narrow) << '"' << c.answer << '"';
    }
}

} // namespace
