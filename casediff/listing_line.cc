#include "listing_line.h"

#include "numbers.h"

namespace {

void skipSpace(std::string_view line, size_t& at)
{
    while (at < line.size() && isBlank(line[at]))
        ++at;
}

// One "%x" conversion from line[at] on. Advances at past the number and
// returns true, or returns false when there is no number or it is wider than
// 32 bits (a value the line does not really supply).
bool scanHex(std::string_view line, size_t& at, uint32_t& value)
{
    const ScannedNumber number = scanNumber(line.substr(at), 16, UINT32_MAX);
    if (number.used == 0 || number.tooWide)
        return false;
    at += number.used;
    const auto low = static_cast<uint32_t>(number.magnitude);
    value = number.negative ? 0u - low : low;
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
