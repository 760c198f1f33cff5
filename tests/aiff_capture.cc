#include "aiff_capture.h"

#include <string_view>

namespace {

void appendRun(Bytes& out, int length, uint8_t level)
{
    out.insert(out.end(), static_cast<size_t>(length), level);
}

void appendBigEndian(Bytes& out, uint64_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void appendId(Bytes& out, std::string_view id)
{
    out.insert(out.end(), id.begin(), id.end());
}

// The sample rate as the 80-bit extended number AIFF stores: sign and
// exponent (bias 16383) in 16 bits, then a 64-bit mantissa with its top bit set.
void appendExtended(Bytes& out, uint32_t rate)
{
    int exponent = 0;
    for (uint32_t r = rate; r > 1; r >>= 1)
        ++exponent;
    appendBigEndian(out, rate == 0 ? 0 : 16383 + static_cast<uint64_t>(exponent), 2);
    appendBigEndian(out, static_cast<uint64_t>(rate) << (63 - exponent), 8);
}

} // namespace

Bytes samplesOfRuns(const std::vector<BitRuns>& bits, uint8_t level)
{
    Bytes out;
    for (const BitRuns& bit : bits) {
        out.push_back(0x00);
        appendRun(out, bit.pulse, level);
        out.push_back(0x00);
        appendRun(out, bit.gap, level);
    }
    out.push_back(0x00);
    return out;
}

Bytes encodeCapture(const Bytes& data)
{
    constexpr uint8_t Levels[] = {0x7F, 0x80, 0x01, 0xFF, 0x40, 0xC0};
    Bytes out;
    size_t turn = 0;
    for (uint8_t byte : data) {
        for (int bit = 7; bit >= 0; --bit, ++turn) {
            const bool one = ((byte >> bit) & 1) != 0;
            out.push_back(0x00);
            appendRun(out, one ? 2 + static_cast<int>(turn % 3) : static_cast<int>(turn % 2), Levels[turn % 6]);
            out.push_back(0x00);
            appendRun(out, static_cast<int>(turn % 4), Levels[(turn + 1) % 6]);
        }
    }
    out.push_back(0x00);
    return out;
}

std::pair<Bytes, size_t> aiffFile(const Bytes& samples, uint32_t sampleRate)
{
    const size_t padded = samples.size() + samples.size() % 2;
    Bytes out;
    appendId(out, "FORM");
    appendBigEndian(out, 4 + (8 + 18) + (8 + 8 + padded), 4);
    appendId(out, "AIFF");
    appendId(out, "COMM");
    appendBigEndian(out, 18, 4);
    appendBigEndian(out, 1, 2);              // channels
    appendBigEndian(out, samples.size(), 4); // sample frames
    appendBigEndian(out, 8, 2);              // bits per sample
    appendExtended(out, sampleRate);
    appendId(out, "SSND");
    appendBigEndian(out, 8 + samples.size(), 4);
    appendBigEndian(out, 0, 4); // offset of the data within the chunk's data
    appendBigEndian(out, 0, 4); // block size
    const size_t dataOffset = out.size();
    out.insert(out.end(), samples.begin(), samples.end());
    if (padded != samples.size())
        out.push_back(0x00);
    return {out, dataOffset};
}
