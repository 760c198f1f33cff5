#include "encoder.h"

#include "console.h"

#include <array>

namespace {

constexpr uint8_t HighBit = 0x80;
constexpr uint8_t StoredBlank = ' ' | HighBit;
constexpr uint8_t LineEnd = '\r' | HighBit;
constexpr std::array<uint8_t, 3> EndMarker{0x00, 0x80, 0x8D};

bool isQuote(char ch)
{
    return ch == '"' || ch == '\'';
}

} // namespace

bool encodeLine(std::string_view line, std::span<uint8_t> out, int32_t& n)
{
    auto at = static_cast<size_t>(n);
    auto put = [&](uint8_t byte) {
        if (at >= out.size())
            return false;
        out[at++] = byte;
        return true;
    };

    size_t end = line.size();
    while (end > 0 && line[end - 1] == ' ')
        --end;
    bool fits = true;
    if (end == 0) {
        fits = put(';' | HighBit);
    } else {
        bool quoted = false;
        bool comment = false;
        for (size_t k = 0; k < end && fits; ++k) {
            char ch = line[k];
            if (k == 0 && ch == ':')
                ch = ';';
            if (ch == ';')
                comment = true;
            if (isQuote(ch))
                quoted = !quoted;
            if (quoted || comment || ch != ' ')
                fits = put(static_cast<uint8_t>(static_cast<uint8_t>(ch) | HighBit));
            else if (line[k + 1] != ' ') // a trimmed line never ends in a blank
                fits = put(StoredBlank);
        }
    }
    if (!fits || !put(LineEnd))
        return false;
    n = static_cast<int32_t>(at);
    return true;
}

int32_t encodeText(std::FILE* in, std::span<uint8_t> out)
{
    static char line[LineBufferBytes];
    int32_t n = 0;
    for (;;) {
        const int length = Gets(line, in);
        if (length < 0)
            break;
        if (!encodeLine(std::string_view(line, static_cast<size_t>(length)), out, n))
            return -1;
    }
    if (out.size() - static_cast<size_t>(n) < EndMarker.size())
        return -1;
    for (uint8_t byte : EndMarker)
        out[static_cast<size_t>(n++)] = byte;
    return n;
}
