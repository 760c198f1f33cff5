#include "decoder.h"

namespace {

// Reads samples up to and including the next zero sample and returns how
// many non-zero samples came before it, or -1 when the capture ends or fails
// first. This loop sees every sample of the capture, so it is kept to one
// buffered read and one test per sample.
inline int64_t runBeforeZero(std::FILE* capture)
{
    int64_t run = 0;
    for (;;) {
        const int sample = getc_unlocked(capture);
        if (sample <= 0) // a zero sample, or EOF (-1)
            return sample == 0 ? run : -1;
        ++run;
    }
}

} // namespace

int firstSample(std::FILE* capture)
{
    const int sample = getc_unlocked(capture);
    if (sample != EOF)
        return sample;
    return std::ferror(capture) != 0 ? -1 : 0xFF;
}

DecodedByte decodeByte(std::FILE* capture, int& current)
{
    DecodedByte result;
    for (int bit = 0; bit < 8; ++bit) {
        if (current != 0) {
            result.status = DecodeStatus::NoBitStart;
            result.bit = bit;
            result.sample = current;
            return result;
        }
        const int64_t pulse = runBeforeZero(capture);
        // The second run only separates bits; its zero begins the next bit,
        // so current stays 0.
        if (pulse < 0 || runBeforeZero(capture) < 0) {
            result.status = std::ferror(capture) != 0 ? DecodeStatus::ReadError : DecodeStatus::CaptureEnded;
            result.bit = bit;
            return result;
        }
        result.value = static_cast<uint8_t>(result.value << 1 | (pulse >= OneBitMinRun ? 1 : 0));
    }
    return result;
}
