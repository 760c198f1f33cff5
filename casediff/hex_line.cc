#include "hex_line.h"

#include <string_view>

namespace {

constexpr char HexDigits[] = "0123456789abcdef";

// Writes value in hexadecimal, at least minDigits digits, at out[at]; returns
// the index after it. Hand-made rather than printf: a listing has millions of lines.
size_t putHex(uint32_t value, int minDigits, std::span<char, HexLineMaxBytes> out, size_t at)
{
    int digits = 1;
    while (digits < 8 && (value >> (4 * digits)) != 0)
        ++digits;
    if (digits < minDigits)
        digits = minDigits;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out[at++] = HexDigits[(value >> shift) & 0xF];
    return at;
}

size_t putText(std::string_view text, std::span<char, HexLineMaxBytes> out, size_t at)
{
    for (char ch : text)
        out[at++] = ch;
    return at;
}

} // namespace

size_t formatHexLine(const ListingLine& entry, std::span<char, HexLineMaxBytes> out)
{
    size_t at = putHex(entry.address, 4, out, 0);
    at = putText(":  ", out, at);
    at = putHex(entry.byteA, 2, out, at);
    at = putText("  ", out, at);
    at = putHex(entry.byteB, 2, out, at);
    return putText("\n", out, at);
}
