#include "scan_number.h"

int hexDigitValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

bool isScanSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

namespace {

int digitIn(char ch, int base)
{
    const int digit = hexDigitValue(ch);
    return digit < base ? digit : -1;
}

} // namespace

ScannedNumber scanNumber(std::string_view text, int base, uint64_t limit)
{
    ScannedNumber number;
    size_t at = 0;
    while (at < text.size() && isScanSpace(text[at]))
        ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        number.negative = text[at++] == '-';
    if (base == 16 && at + 2 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
        hexDigitValue(text[at + 2]) >= 0)
        at += 2;

    const size_t first = at;
    const auto radix = static_cast<uint64_t>(base);
    for (int digit; at < text.size() && (digit = digitIn(text[at], base)) >= 0; ++at) {
        const auto value = static_cast<uint64_t>(digit);
        number.wrapped = number.wrapped * radix + value;
        if (number.tooWide || number.magnitude > (limit - value) / radix) {
            number.tooWide = true;
            number.magnitude = limit;
        } else {
            number.magnitude = number.magnitude * radix + value;
        }
    }
    number.used = at == first ? 0 : at;
    return number;
}
