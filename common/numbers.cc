#include "numbers.h"

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

bool isBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

ScannedNumber scanNumber(std::string_view text, int base, uint64_t limit)
{
    ScannedNumber number;
    size_t at = 0;
    while (at < text.size() && isBlank(text[at]))
        ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        number.negative = text[at++] == '-';
    if (base == 16 && at + 2 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
        hexDigitValue(text[at + 2]) >= 0)
        at += 2;

    const size_t first = at;
    const auto radix = static_cast<uint64_t>(base);
    for (int digit; at < text.size() && (digit = hexDigitValue(text[at])) >= 0 && digit < base; ++at) {
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

size_t scanHex(std::string_view text, uint32_t& value)
{
    const ScannedNumber number = scanNumber(text, 16, UINT32_MAX);
    if (number.used == 0 || number.tooWide)
        return 0;
    const auto low = static_cast<uint32_t>(number.magnitude);
    value = number.negative ? 0u - low : low;
    return number.used;
}

size_t scanDecimal(std::string_view text, int32_t& value)
{
    const ScannedNumber number = scanNumber(text, 10, uint64_t{1} << 31);
    if (number.used == 0 || number.tooWide || (!number.negative && number.magnitude > INT32_MAX))
        return 0;
    const auto magnitude = static_cast<int64_t>(number.magnitude);
    value = static_cast<int32_t>(number.negative ? -magnitude : magnitude);
    return number.used;
}
