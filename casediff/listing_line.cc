#include "listing_line.h"

namespace {

// The characters a scan passes over where its format has white space.
bool isScanSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

int hexDigit(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

void skipSpace(std::string_view line, size_t& at)
{
    while (at < line.size() && isScanSpace(line[at]))
        ++at;
}

// One "%x" conversion from line[at] on. Advances at past the number and
// returns true, or returns false when there is no number or it is wider than
// 32 bits (a value the line does not really supply).
bool scanHex(std::string_view line, size_t& at, uint32_t& value)
{
    skipSpace(line, at);
    bool negative = false;
    if (at < line.size() && (line[at] == '+' || line[at] == '-')) {
        negative = line[at] == '-';
        ++at;
    }
    // The 0x prefix counts only when a digit follows it.
    if (at + 2 < line.size() && line[at] == '0' && (line[at + 1] == 'x' || line[at + 1] == 'X') &&
        hexDigit(line[at + 2]) >= 0)
        at += 2;
    uint64_t magnitude = 0;
    const size_t first = at;
    for (int digit = 0; at < line.size() && (digit = hexDigit(line[at])) >= 0; ++at) {
        magnitude = magnitude * 16 + static_cast<uint64_t>(digit);
        if (magnitude > UINT32_MAX)
            return false;
    }
    if (at == first)
        return false;
    const auto low = static_cast<uint32_t>(magnitude);
    value = negative ? 0u - low : low;
    return true;
}

bool expect(std::string_view line, size_t& at, char wanted)
{
    if (at >= line.size() || line[at] != wanted)
        return false;
    ++at;
    return true;
}

} // namespace

bool scanListingLine(std::string_view line, ListingLine& entry)
{
    ListingLine scanned;
    size_t at = 0;
    if (!scanHex(line, at, scanned.address) || !expect(line, at, '-') || !scanHex(line, at, scanned.byteA))
        return false;
    skipSpace(line, at);
    if (!expect(line, at, '(') || !scanHex(line, at, scanned.byteB))
        return false;
    entry = scanned;
    return true;
}
