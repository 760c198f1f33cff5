#include "decoder.h"

int firstSample(std::FILE* capture)
{
    const int sample = getc_unlocked(capture);
    if (sample != EOF)
        return sample;
    return std::ferror(capture) != 0 ? -1 : 0xFF;
}

// Every sample of the capture passes through the loop below, one buffered
// read each. Two loops that each wait for the next zero sample would end at
// places set by the data, which the processor cannot foresee, and that costs
// more than the reading. So every sample takes the same few steps instead,
// and the loop branches only once per byte:
//   - a zero sample in a bit's pulse ends the pulse, and the bit is known;
//     a zero sample in its gap ends the bit and begins the next one;
//   - the pulse was 2 or more samples long exactly when the two samples
//     before the zero that ends it are both non-zero, because the pulse
//     follows a zero sample. recentZeros keeps one flag per sample read,
//     the latest in its lowest bit.
DecodedByte decodeByte(std::FILE* capture, int& current)
{
    DecodedByte result;
    if (current != 0) {
        result.status = DecodeStatus::NoBitStart;
        result.sample = current;
        return result;
    }
    constexpr unsigned LastTwo = 3;
    unsigned value = 0;
    unsigned bits = 0;        // bits finished
    unsigned inGap = 0;       // 1 between the end of the pulse and the end of the bit
    unsigned recentZeros = 1; // the zero sample that begins the bit
    while (bits < 8) {
        const int sample = getc_unlocked(capture);
        if (sample == EOF) {
            result.status = std::ferror(capture) != 0 ? DecodeStatus::ReadError : DecodeStatus::CaptureEnded;
            result.bit = static_cast<int>(bits);
            return result;
        }
        const unsigned zero = sample == 0 ? 1 : 0;
        const unsigned endsPulse = zero & (inGap ^ 1);
        const unsigned longPulse = (recentZeros & LastTwo) == 0 ? 1 : 0;
        value |= (endsPulse & longPulse) << (7 - bits); // the first bit is the most significant
        recentZeros = recentZeros << 1 | zero;
        bits += zero & inGap;
        inGap ^= zero;
    }
    // The zero that ended the last gap begins the next byte's first bit.
    result.value = static_cast<uint8_t>(value);
    return result;
}
