#include "compare.h"

#include "decoder.h"

namespace {

// The counters are printed whole: a run of more than 4 GiB shows its true count.
unsigned long long shown(int64_t counter)
{
    return static_cast<unsigned long long>(counter);
}

VerifyEnd reportDecodeFailure(const DecodedByte& decoded, int64_t processed, std::FILE* out)
{
    switch (decoded.status) {
    case DecodeStatus::NoBitStart:
        std::fprintf(out, "Expect 0x00 to begin bit sequence; processed = 0x%08llx, byte = 0x%02x, bit = %d\n",
                     shown(processed), static_cast<unsigned>(decoded.sample & 0xFF), decoded.bit);
        return VerifyEnd::NoBitStart;
    case DecodeStatus::CaptureEnded:
        std::fprintf(out, "\nThe AIFF file ended inside a bit; processed = 0x%08llx, bit = %d\n\n", shown(processed),
                     decoded.bit);
        return VerifyEnd::CaptureEnded;
    default:
        std::fprintf(out, "\nError on read of the AIFF file; processed = 0x%08llx, bit = %d\n\n", shown(processed),
                     decoded.bit);
        return VerifyEnd::CaptureReadError;
    }
}

} // namespace

VerifyEnd verifyCapture(std::FILE* capture, std::FILE* image, int64_t byteCount, std::FILE* out, PauseRoutine pause)
{
    int current = firstSample(capture);
    if (current < 0)
        return reportDecodeFailure(DecodedByte{DecodeStatus::ReadError, 0, 0, 0}, 0, out);
    int64_t processed = 0;
    int block = 0;
    for (;;) {
        const DecodedByte decoded = decodeByte(capture, current);
        if (decoded.status != DecodeStatus::Ok)
            return reportDecodeFailure(decoded, processed, out);

        const int fileByte = getc_unlocked(image);
        if (fileByte == EOF && std::ferror(image) != 0) {
            std::fprintf(out, "\nError on read of the DSK or CMP file; processed = 0x%08llx\n\n", shown(processed));
            return VerifyEnd::ImageReadError;
        }
        const unsigned dskByte = static_cast<unsigned>(fileByte) & 0xFF; // past the end: 0xFF
        if (dskByte != decoded.value) {
            std::fprintf(out, "dskByte = 0x%02x and newByte = 0x%02x and do not compare\n", dskByte,
                         static_cast<unsigned>(decoded.value));
            std::fprintf(out, "processed = 0x%08llx, bit = %d\n\n", shown(processed), 8);
            pause();
        }

        if (processed + 1 >= byteCount) {
            std::fprintf(out, "Processing complete for 0x%08llx bytes.\n\n", shown(processed + 1));
            return VerifyEnd::Complete;
        }
        ++processed;
        if (++block == BlockBytes) {
            std::fputs("Verified 4096 bytes of data, continuing.\n", out);
            pause();
            block = 0;
        }
    }
}
