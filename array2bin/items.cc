#include "items.h"

#include "numbers.h"

#include <array>

namespace {

// An item is part of one line of at most 255 characters.
constexpr size_t MaxItemChars = 256;

} // namespace

std::optional<uint8_t> itemValue(std::string_view item)
{
    // The item with its blanks dropped, cut (harmlessly: only the first
    // number counts) should it be longer than any line.
    std::array<char, MaxItemChars> text;
    size_t length = 0;
    for (char ch : item)
        if (ch != ' ' && length < MaxItemChars)
            text[length++] = ch;
    const ScannedNumber number = scanNumber(std::string_view(text.data(), length), 16, UINT64_MAX);
    if (number.used == 0)
        return std::nullopt;
    // Only the last two digits reach the low 8 bits.
    auto value = static_cast<unsigned>(number.wrapped & 0xFFu);
    if (number.negative)
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
