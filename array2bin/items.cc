#include "items.h"

#include <array>

namespace {

// The value of a hex digit, or -1.
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

bool isWhiteSpace(char ch)
{
    return ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// An item is part of one line of at most 255 characters.
constexpr size_t MaxItemChars = 256;

} // namespace

std::optional<uint8_t> itemValue(std::string_view item)
{
    // The item with its blanks dropped, cut (harmlessly: only the first
    // number counts) should it be longer than any line, and ended by string
    // ends that the look-ahead below may read.
    std::array<char, MaxItemChars + 3> text;
    size_t length = 0;
    for (char ch : item)
        if (ch != ' ' && length < MaxItemChars)
            text[length++] = ch;
    text[length] = text[length + 1] = text[length + 2] = '\0';

    size_t at = 0;
    while (at < length && isWhiteSpace(text[at]))
        ++at;
    bool negative = false;
    if (text[at] == '+' || text[at] == '-')
        negative = text[at++] == '-';
    // "0x" is a prefix only when a hex digit follows; otherwise the 0 alone
    // is the number, as "%x" reads it.
    if (text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        if (hexDigit(text[at + 2]) < 0)
            return uint8_t{0};
        at += 2;
    }
    if (hexDigit(text[at]) < 0)
        return std::nullopt;
    // Only the last two digits reach the low 8 bits.
    unsigned value = 0;
    for (; hexDigit(text[at]) >= 0; ++at)
        value = (value * 16 + static_cast<unsigned>(hexDigit(text[at]))) & 0xFFu;
    if (negative)
        value = (0x100u - value) & 0xFFu;
    return static_cast<uint8_t>(value);
}

size_t readItems(std::string_view line, std::span<uint8_t> out)
{
    size_t count = 0;
    while (!line.empty() && count < out.size()) {
        const size_t comma = line.find(',');
        const std::optional<uint8_t> value = itemValue(line.substr(0, comma));
        if (value)
            out[count++] = *value;
        if (comma == std::string_view::npos)
            break;
        line.remove_prefix(comma + 1);
    }
    return count;
}
