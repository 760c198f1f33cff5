#include "aiff_capture.h"
#include "compare.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::FILE* Console = nullptr;

void markPause()
{
    std::fputs("<pause>\n", Console);
}

struct Verified {
    VerifyEnd end;
    std::string output; // messages, with <pause> where the user is stopped
};

// Runs the compare loop on in-memory files (neither may be empty).
Verified verify(Bytes capture, Bytes image, int64_t byteCount)
{
    char* text = nullptr;
    size_t length = 0;
    Console = open_memstream(&text, &length);
    std::FILE* captureFile = fmemopen(capture.data(), capture.size(), "r");
    std::FILE* imageFile = fmemopen(image.data(), image.size(), "r");
    const VerifyEnd end = verifyCapture(captureFile, imageFile, byteCount, Console, markPause);
    std::fclose(captureFile);
    std::fclose(imageFile);
    std::fclose(Console);
    Verified result{end, std::string(text, length)};
    std::free(text);
    return result;
}

const std::string BlockStop = "Verified 4096 bytes of data, continuing.\n<pause>\n";

TEST(AiffCompare, StopsAfterEveryBlockOnlyWhenMoreIsToCome)
{
    const Bytes image = patternBytes(8193);
    const Bytes capture = encodeCapture(image);
    Verified run = verify(capture, image, 0x1000);
    EXPECT_EQ(run.end, VerifyEnd::Complete);
    EXPECT_EQ(run.output, "Processing complete for 0x00001000 bytes.\n\n");
    EXPECT_EQ(verify(capture, image, 0x1001).output, BlockStop + "Processing complete for 0x00001001 bytes.\n\n");
    EXPECT_EQ(verify(capture, image, 0x2000).output, BlockStop + "Processing complete for 0x00002000 bytes.\n\n");
    EXPECT_EQ(verify(capture, image, 0x2001).output,
              BlockStop + BlockStop + "Processing complete for 0x00002001 bytes.\n\n");
}

TEST(AiffCompare, AtLeastOneByteIsDecoded)
{
    const Bytes image = patternBytes(16);
    for (int64_t count : {0, 1, -5})
        EXPECT_EQ(verify(encodeCapture(image), image, count).output, "Processing complete for 0x00000001 bytes.\n\n");
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
    EXPECT_EQ(verify(encodeCapture(sent), image, 0x1001).output,
              mismatch(image[5], sent[5], 5) + mismatch(image[4095], sent[4095], 0xFFF) + BlockStop +
                  "Processing complete for 0x00001001 bytes.\n\n");
}

TEST(AiffCompare, BytesPastTheImageEndCountAsFF)
{
    EXPECT_EQ(verify(encodeCapture({0x12, 0xFF, 0x34}), {0x12}, 3).output,
              mismatch(0xFF, 0x34, 2) + "Processing complete for 0x00000003 bytes.\n\n");
}

} // namespace
