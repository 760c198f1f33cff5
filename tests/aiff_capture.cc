#include "aiff_capture.h"

#include <string_view>

namespace {

void appendBigEndian(Bytes& out, uint64_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void appendId(Bytes& out, std::string_view id)
{
    out.insert(out.end(), id.begin(), id.end());
}

} // namespace

Bytes samplesOfRuns(const std::vector<BitRuns>& bits)
{
    constexpr uint8_t Levels[] = {0x7F, 0x80, 0x01, 0xFF, 0x40, 0xC0, 0x23};
    Bytes out;
    size_t turn = 0;
    for (const BitRuns& bit : bits) {
        for (int run : {bit.pulse, bit.gap}) {
            out.push_back(0x00);
            out.insert(out.end(), static_cast<size_t>(run), Levels[turn++ % std::size(Levels)]);
        }
    }
    out.push_back(0x00);
    return out;
}

Bytes encodeCapture(const Bytes& data)
{
    std::vector<BitRuns> bits;
    int turn = 0;
    for (uint8_t byte : data)
        for (int bit = 7; bit >= 0; --bit, ++turn)
            bits.push_back({(byte >> bit & 1) != 0 ? 2 + turn % 3 : turn % 2, turn % 4});
    return samplesOfRuns(bits);
}

std::pair<Bytes, size_t> aiffFile(const Bytes& samples)
{
    const size_t pad = samples.size() % 2; // chunks have even lengths
    Bytes out;
    appendId(out, "FORM");
    appendBigEndian(out, 4 + (8 + 18) + (8 + 8 + samples.size() + pad), 4);
    appendId(out, "AIFF");
    appendId(out, "COMM");
    appendBigEndian(out, 18, 4);
    appendBigEndian(out, 1, 2);              // channels
    appendBigEndian(out, samples.size(), 4); // sample frames
    appendBigEndian(out, 8, 2);              // bits per sample
    appendBigEndian(out, 0x400E, 2);         // 44100 as an 80-bit extended number
    appendBigEndian(out, 0xAC44000000000000, 8);
    appendId(out, "SSND");
    appendBigEndian(out, 8 + samples.size(), 4);
    appendBigEndian(out, 0, 8); // data offset and block size
    const size_t dataOffset = out.size();
    out.insert(out.end(), samples.begin(), samples.end());
    out.insert(out.end(), pad, 0x00);
    return {out, dataOffset};
}
