// The decoder and the comparison loop, with its stops for the user.
#include "aiffverify.h"

#include "console.h"
#include "program.h"

namespace {

constexpr int BlockBytes = 4096; // the user is stopped after every block verified

// Reads samples until a zero sample has been read (at least one sample).
// Returns the number of non-zero samples before it, or -1 when the capture
// ends or fails first.
int64_t samplesBeforeZero(std::FILE* capture)
{
    int64_t count = 0;
    for (int sample = getc_unlocked(capture); sample != 0; sample = getc_unlocked(capture)) {
        if (sample == EOF)
            return -1;
        ++count;
    }
    return count;
}

// The counters are printed whole: a run of more than 4 GiB shows its true count.
unsigned long long shown(int64_t counter)
{
    return static_cast<unsigned long long>(counter);
}

void reportDecodeFailure(const DecodedByte& decoded, int64_t processed)
{
    if (decoded.status == DecodeStatus::CaptureEnded)
        reportFailure("\nThe AIFF file ended inside a bit; processed = 0x%08llx, bit = %d\n\n", shown(processed),
                      decoded.bit);
    else
        reportFailure("\nError on read of the AIFF file; processed = 0x%08llx, bit = %d\n\n", shown(processed),
                      decoded.bit);
}

// The argument form's last word, after the completion line or the capture's
// early end: how many of the bytes compared differ.
void tellDiffering(int64_t differing, int64_t compared)
{
    if (argumentForm() && compared > 0)
        std::printf("%llu of %llu bytes differ.\n", shown(differing), shown(compared));
}

// The sample at the start offset must begin the first bit. Past the
// capture's end it reads as 0xFF, the end-of-file value cut to 8 bits.
bool startsOnZero(std::FILE* capture)
{
    const int sample = getc_unlocked(capture);
    if (sample == 0)
        return true;
    if (sample == EOF && std::ferror(capture) != 0)
        reportDecodeFailure({DecodeStatus::ReadError, 0, 0}, 0);
    else
        reportFailure("Expect 0x00 to begin bit sequence; processed = 0x%08llx, byte = 0x%02x, bit = %d\n",
                      shown(0), static_cast<unsigned>(sample) & 0xFF, 0);
    return false;
}

} // namespace

DecodedByte decodeByte(std::FILE* capture)
{
    unsigned value = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const int64_t pulse = samplesBeforeZero(capture);
        if (pulse < 0 || samplesBeforeZero(capture) < 0) // the gap, up to the next bit's zero
            return {std::ferror(capture) != 0 ? DecodeStatus::ReadError : DecodeStatus::CaptureEnded, 0, bit};
        value = value << 1 | (pulse > 1 ? 1U : 0U);
    }
    return {DecodeStatus::Ok, static_cast<uint8_t>(value), 0};
}

void verifyCapture(std::FILE* capture, std::FILE* image, int64_t byteCount)
{
    if (!startsOnZero(capture))
        return;
    int64_t processed = 0; // bytes finished before the one being decoded
    int64_t differing = 0;
    int block = 0;
    for (;;) {
        const DecodedByte decoded = decodeByte(capture);
        if (decoded.status != DecodeStatus::Ok) {
            reportDecodeFailure(decoded, processed);
            if (decoded.status == DecodeStatus::CaptureEnded)
                tellDiffering(differing, processed);
            return;
        }
        const int fileByte = getc_unlocked(image);
        if (fileByte == EOF && std::ferror(image) != 0) {
            reportFailure("\nError on read of the DSK or CMP file; processed = 0x%08llx\n\n", shown(processed));
            return;
        }
        const unsigned dskByte = static_cast<unsigned>(fileByte) & 0xFF; // past the end: 0xFF
        if (dskByte != decoded.value) {
            ++differing;
            countFailure();
            std::printf("dskByte = 0x%02x and newByte = 0x%02x and do not compare\n", dskByte,
                          static_cast<unsigned>(decoded.value));
            std::printf("processed = 0x%08llx, bit = %d\n\n", shown(processed), 8);
            myPause();
        }

        if (processed + 1 >= byteCount) {
            std::printf("Processing complete for 0x%08llx bytes.\n\n", shown(processed + 1));
            tellDiffering(differing, processed + 1);
            return;
        }
        ++processed;
        if (++block == BlockBytes) {
            std::puts("Verified 4096 bytes of data, continuing.");
            myPause();
            block = 0;
        }
    }
}
