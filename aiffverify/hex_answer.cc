#include "hex_answer.h"

#include <bit>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The answer's number as an unsigned value of the width whose all-ones value is allOnes.
uint64_t scanHex(std::string_view text, uint64_t allOnes)
{
    size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // "0x" counts as a prefix only when a digit follows; "0xg" reads as 0.
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        hexDigit(text[i + 2]) >= 0)
        i += 2;

    uint64_t value = 0;
    bool anyDigit = false;
    bool tooWide = false;
    for (; i < text.size() && hexDigit(text[i]) >= 0; ++i) {
        const auto digit = static_cast<uint64_t>(hexDigit(text[i]));
        anyDigit = true;
        if (value > (allOnes - digit) / 16)
            tooWide = true;
        else
            value = value * 16 + digit;
    }
    if (!anyDigit)
        return 0;
    if (tooWide)
        return allOnes;
    return negative ? (0 - value) & allOnes : value;
}

} // namespace

int64_t readHex64(std::string_view answer)
{
    return std::bit_cast<int64_t>(scanHex(answer, UINT64_MAX));
}

int32_t readHex32(std::string_view answer)
{
    return std::bit_cast<int32_t>(static_cast<uint32_t>(scanHex(answer, UINT32_MAX)));
}
