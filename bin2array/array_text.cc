#include "bin2array.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace {

constexpr size_t ItemsPerLine = 8;
constexpr size_t ItemChars = 6; // "  0xab" or ", 0xab"

using ItemText = std::array<char, 4>;

// "0xab" for every byte value: two lower-case hex digits.
constexpr auto ItemTexts = [] {
    constexpr std::string_view digits = "0123456789abcdef";
    std::array<ItemText, 256> texts{};
    for (size_t value = 0; value < texts.size(); ++value)
        texts[value] = {'0', 'x', digits[value >> 4], digits[value & 15]};
    return texts;
}();

// The input is read 64 KiB at a time, whole item lines: a read comes short
// only at the end of the input or on an error, so only the last line of the
// last block may be short. Its text is written with one call. A line a call,
// through stdio's buffer, took half as much processor time again.
constexpr size_t BlockLines = 8192;
constexpr size_t LineChars = 2 + ItemsPerLine * ItemChars; // ",\n" and eight items
std::array<uint8_t, BlockLines * ItemsPerLine> InputBlock;
std::array<char, BlockLines * LineChars> BlockText;

// Writes the item line for bytes (one to eight of them) at the start of out:
// ",\n" to end the line before unless it is the first, then "  0xab" for the
// first item and ", 0xab" for each further one. Returns its length.
size_t formatLine(std::span<const uint8_t> bytes, bool first, std::span<char> out)
{
    size_t fill = 0;
    auto put = [&](std::string_view text) {
        text.copy(&out[fill], text.size());
        fill += text.size();
    };
    if (!first)
        put(",\n");
    for (size_t k = 0; k < bytes.size(); ++k) {
        put(k == 0 ? "  " : ", ");
        put({ItemTexts[bytes[k]].data(), ItemTexts[bytes[k]].size()});
    }
    return fill;
}

} // namespace

ArrayTextResult writeArrayText(std::FILE* input, std::FILE* output, const char* name)
{
    std::fprintf(output, "UCHAR %s[] = {\n", name);

    int64_t count = 0;
    size_t got = 0;
    do {
        got = std::fread(InputBlock.data(), 1, InputBlock.size(), input);
        size_t fill = 0;
        for (size_t first = 0; first < got; first += ItemsPerLine) {
            const size_t items = std::min(ItemsPerLine, got - first);
            const auto bytes = std::span(InputBlock).subspan(first, items);
            fill += formatLine(bytes, count == 0, std::span(BlockText).subspan(fill));
            count += static_cast<int64_t>(items);
        }
        if (std::fwrite(BlockText.data(), 1, fill, output) != fill)
            return {std::ferror(input) != 0, true};
    } while (got == InputBlock.size());

    std::fprintf(output, "%s};\nUINT32 %s_len = %lld;\n", count > 0 ? "\n" : "", name, static_cast<long long>(count));
    return {std::ferror(input) != 0, std::fflush(output) != 0 || std::ferror(output) != 0};
}
