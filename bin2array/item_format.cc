#include "item_format.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace {

using ItemText = std::array<char, MaxItemChars>;

// Every byte value's item with the separator that most items take,
// ", 0xab", padded to eight characters so that one fixed-size copy moves it.
constexpr auto InLineItems = [] {
    constexpr char digits[] = "0123456789abcdef";
    std::array<ItemText, 256> texts{};
    for (size_t value = 0; value < texts.size(); ++value)
        texts[value] = {',', ' ', '0', 'x', digits[value >> 4], digits[value & 15], ' ', ' '};
    return texts;
}();

// The same for the first item of every line but the first: ",\n  0xab".
constexpr auto LineStartItems = [] {
    std::array<ItemText, 256> texts{};
    for (size_t value = 0; value < texts.size(); ++value)
        texts[value] = {',', '\n', ' ', ' ', '0', 'x', InLineItems[value][4], InLineItems[value][5]};
    return texts;
}();

constexpr size_t InLineChars = 6;     // ", 0xab"
constexpr size_t LineStartChars = 8;  // ",\n  0xab"
constexpr size_t FirstItemOffset = 2; // "  0xab": the line start without ",\n"
constexpr size_t FirstItemChars = 6;
constexpr int64_t ItemsPerLine = 8;

size_t putText(std::span<char> out, std::string_view text)
{
    if (text.size() > out.size())
        return 0;
    std::copy(text.begin(), text.end(), out.begin());
    return text.size();
}

} // namespace

size_t formatHead(std::span<char> out, std::string_view name)
{
    constexpr std::string_view before = "UCHAR ";
    constexpr std::string_view after = "[] = {\n";
    if (before.size() + name.size() + after.size() > out.size())
        return 0;
    size_t fill = putText(out, before);
    fill += putText(out.subspan(fill), name);
    fill += putText(out.subspan(fill), after);
    return fill;
}

ItemsFormatted formatItems(std::span<const uint8_t> bytes, int64_t firstIndex, std::span<char> out)
{
    size_t used = 0;
    size_t fill = 0;
    int64_t index = firstIndex;
    // Every copy moves a whole padded entry; only the characters that belong
    // to the item are counted, and the next item overwrites the padding.
    while (used < bytes.size() && out.size() - fill >= MaxItemChars) {
        const uint8_t value = bytes[used];
        if (index % ItemsPerLine != 0) {
            std::memcpy(&out[fill], InLineItems[value].data(), MaxItemChars);
            fill += InLineChars;
        } else if (index != 0) {
            std::memcpy(&out[fill], LineStartItems[value].data(), MaxItemChars);
            fill += LineStartChars;
        } else {
            std::memcpy(&out[fill], &LineStartItems[value][FirstItemOffset], FirstItemChars);
            fill += FirstItemChars;
        }
        ++used;
        ++index;
    }
    return {used, fill};
}

size_t formatTail(std::span<char> out, std::string_view name, int64_t count)
{
    constexpr const char* format = "%s};\nUINT32 %.*s_len = %lld;\n";
    const char* lastLineEnd = count > 0 ? "\n" : "";
    const int nameLength = static_cast<int>(name.size());
    const auto value = static_cast<long long>(count);
    // Measured first, so that a tail that does not fit leaves out untouched.
    const int needed = std::snprintf(nullptr, 0, format, lastLineEnd, nameLength, name.data(), value);
    if (needed < 0 || static_cast<size_t>(needed) >= out.size())
        return 0;
    std::snprintf(out.data(), out.size(), format, lastLineEnd, nameLength, name.data(), value);
    return static_cast<size_t>(needed);
}
