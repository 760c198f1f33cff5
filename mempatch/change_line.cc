#include "change_line.h"

namespace {

// The characters the scan conversions pass over before a number.
bool isScanSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

int digitValue(char ch, int base)
{
    int digit = 99;
    if (ch >= '0' && ch <= '9')
        digit = ch - '0';
    else if (ch >= 'a' && ch <= 'f')
        digit = ch - 'a' + 10;
    else if (ch >= 'A' && ch <= 'F')
        digit = ch - 'A' + 10;
    return digit < base ? digit : -1;
}

// White space and sign, shared by both conversions. Returns the index of the
// first character after them.
size_t skipSpaceAndSign(std::string_view text, bool& negative)
{
    size_t at = 0;
    while (at < text.size() && isScanSpace(text[at]))
        ++at;
    negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    return at;
}

// Reads the digits from text[at] on into magnitude. Returns the index after
// them, or 0 when there is no digit or the magnitude passes limit.
size_t readDigits(std::string_view text, size_t at, int base, uint64_t limit, uint64_t& magnitude)
{
    const size_t first = at;
    magnitude = 0;
    while (at < text.size()) {
        const int digit = digitValue(text[at], base);
        if (digit < 0)
            break;
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (magnitude > limit)
            return 0;
        ++at;
    }
    return at == first ? 0 : at;
}

} // namespace

size_t scanHex(std::string_view text, uint32_t& value)
{
    bool negative = false;
    size_t at = skipSpaceAndSign(text, negative);
    // The 0x prefix counts only when a digit follows it; "0x" alone is the number 0.
    if (at + 2 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
        digitValue(text[at + 2], 16) >= 0)
        at += 2;
    uint64_t magnitude = 0;
    const size_t end = readDigits(text, at, 16, UINT32_MAX, magnitude);
    if (end == 0)
        return 0;
    const auto low = static_cast<uint32_t>(magnitude);
    value = negative ? 0u - low : low;
    return end;
}

size_t scanDecimal(std::string_view text, int32_t& value)
{
    bool negative = false;
    const size_t at = skipSpaceAndSign(text, negative);
    const uint64_t limit = negative ? uint64_t{1} << 31 : INT32_MAX;
    uint64_t magnitude = 0;
    const size_t end = readDigits(text, at, 10, limit, magnitude);
    if (end == 0)
        return 0;
    const auto signedMagnitude = static_cast<int64_t>(magnitude);
    value = static_cast<int32_t>(negative ? -signedMagnitude : signedMagnitude);
    return end;
}

bool readConfigValues(std::string_view configLine, uint32_t& address, int32_t& count)
{
    uint32_t a = 0;
    const size_t used = scanHex(configLine, a);
    if (used == 0)
        return false;
    int32_t n = 0;
    if (scanDecimal(configLine.substr(used), n) == 0)
        return false;
    address = a;
    count = n;
    return true;
}

int readDataValues(std::string_view dataLine, std::span<uint32_t> values)
{
    int read = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        const size_t at = i * DataBytePitch;
        if (at >= dataLine.size() || scanHex(dataLine.substr(at), values[i]) == 0)
            break;
        ++read;
    }
    return read;
}
