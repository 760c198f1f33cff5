// The decoder, in process, and the comparison loop as the program runs it.
#include "aiff_capture.h"
#include "aiffverify.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// Decodes the first byte of samples, which begin on a zero sample; allUsed
// tells whether nothing is left.
DecodedByte decodeFirst(Bytes samples, bool* allUsed = nullptr)
{
    std::FILE* capture = fmemopen(samples.data(), samples.size(), "r");
    EXPECT_EQ(getc(capture), 0x00);
    const DecodedByte decoded = decodeByte(capture);
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

TEST(AiffDecoder, StopsAtTheCaptureEnd)
{
    // Three whole bits, then the capture ends in the pulse, or in the gap.
    const Bytes whole = samplesOfRuns({{2, 1}, {0, 1}, {3, 0}});
    for (const Bytes& tail : {Bytes{0x7F, 0x7F}, Bytes{0x7F, 0x00, 0x7F}}) {
        Bytes samples = whole;
        samples.insert(samples.end(), tail.begin(), tail.end());
        const DecodedByte decoded = decodeFirst(samples);
        EXPECT_EQ(decoded.status, DecodeStatus::CaptureEnded);
        EXPECT_EQ(decoded.bit, 3);
    }
    // Eight bits without the zero that would begin the next byte.
    Bytes eightBits = encodeCapture({0x5A});
    eightBits.pop_back();
    const DecodedByte decoded = decodeFirst(eightBits);
    EXPECT_EQ(decoded.status, DecodeStatus::CaptureEnded);
    EXPECT_EQ(decoded.bit, 7);
}

const std::string PauseText = "\nPress <cr> to continue ...  \n";

// Runs the program on the capture and the image from their starts, with
// the byte count answer; returns what it printed after the last question,
// each pause shown as <pause>.
std::string verified(const Bytes& capture, const Bytes& image, const std::string& count)
{
    TempDir dir;
    writeFile(dir.file("capture.raw"), capture);
    writeFile(dir.file("image.dsk"), image);
    const std::string answers = dir.file("capture.raw") + "\n0\n" + dir.file("image.dsk") + "\n0\n" + count + "\n";
    const RunResult run = runProgram("aiffverify", {}, answers + std::string(8, '\n'));
    EXPECT_EQ(run.status, 0);
    const std::string lastQuestion = "\nEnter number of bytes to process:  0x\n";
    const size_t asked = run.output.find(lastQuestion);
    EXPECT_NE(asked, std::string::npos) << run.output;
    std::string after = asked == std::string::npos ? run.output : run.output.substr(asked + lastQuestion.size());
    for (size_t at = after.find(PauseText); at != std::string::npos; at = after.find(PauseText, at))
        after.replace(at, PauseText.size(), "<pause>\n");
    return after;
}

const std::string BlockStop = "Verified 4096 bytes of data, continuing.\n<pause>\n";

TEST(AiffCompare, StopsAfterEveryBlockOnlyWhenMoreIsToCome)
{
    const Bytes image = patternBytes(8193);
    const Bytes capture = encodeCapture(image);
    EXPECT_EQ(verified(capture, image, "1000"), "Processing complete for 0x00001000 bytes.\n\n");
    EXPECT_EQ(verified(capture, image, "1001"), BlockStop + "Processing complete for 0x00001001 bytes.\n\n");
    EXPECT_EQ(verified(capture, image, "2000"), BlockStop + "Processing complete for 0x00002000 bytes.\n\n");
    EXPECT_EQ(verified(capture, image, "2001"),
              BlockStop + BlockStop + "Processing complete for 0x00002001 bytes.\n\n");
}

TEST(AiffCompare, AtLeastOneByteIsDecoded)
{
    const Bytes image = patternBytes(16);
    for (const char* count : {"0", "1", "-5"})
        EXPECT_EQ(verified(encodeCapture(image), image, count), "Processing complete for 0x00000001 bytes.\n\n");
}

std::string mismatch(unsigned dskByte, unsigned newByte, unsigned processed)
{
    char lines[128];
    std::snprintf(lines, sizeof lines,
                  "dskByte = 0x%02x and newByte = 0x%02x and do not compare\nprocessed = 0x%08x, bit = 8\n\n<pause>\n",
                  dskByte, newByte, processed);
    return lines;
}

TEST(AiffCompare, MismatchIsReportedPausedOnAndPassed)
{
    const Bytes sent = patternBytes(4097);
    Bytes image = sent;
    image[5] ^= 0x40;
    image[4095] ^= 0xFF; // the last byte of a block: its pause comes first
    EXPECT_EQ(verified(encodeCapture(sent), image, "1001"),
              mismatch(image[5], sent[5], 5) + mismatch(image[4095], sent[4095], 0xFFF) + BlockStop +
                  "Processing complete for 0x00001001 bytes.\n\n");
}

TEST(AiffCompare, BytesPastTheImageEndCountAsFF)
{
    EXPECT_EQ(verified(encodeCapture({0x12, 0xFF, 0x34}), {0x12}, "3"),
              mismatch(0xFF, 0x34, 2) + "Processing complete for 0x00000003 bytes.\n\n");
}

} // namespace
