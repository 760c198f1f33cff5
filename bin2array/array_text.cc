#include "bin2array.h"

#include <array>
#include <cstdint>
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

// With stdio's default buffer of a few KiB, the text of a large input takes
// twice the time, most of it in write calls.
char OutputBuffer[size_t{1} << 16];

} // namespace

ArrayTextResult writeArrayText(std::FILE* input, std::FILE* output, const char* name)
{
    std::setvbuf(output, OutputBuffer, _IOFBF, sizeof OutputBuffer);
    std::fprintf(output, "UCHAR %s[] = {\n", name);

    // One item line a turn: ",\n" to end the line before, then "  0xab" for
    // the first item and ", 0xab" for each further one.
    std::array<uint8_t, ItemsPerLine> bytes{};
    std::array<char, 2 + ItemsPerLine * ItemChars> line{};
    int64_t count = 0;
    size_t got = 0;
    while ((got = std::fread(bytes.data(), 1, bytes.size(), input)) > 0) {
        size_t fill = 0;
        auto put = [&](std::string_view text) {
            text.copy(&line[fill], text.size());
            fill += text.size();
        };
        if (count > 0)
            put(",\n");
        for (size_t k = 0; k < got; ++k) {
            put(k == 0 ? "  " : ", ");
            put({ItemTexts[bytes[k]].data(), ItemTexts[bytes[k]].size()});
        }
        if (std::fwrite(line.data(), 1, fill, output) != fill)
            return {std::ferror(input) != 0, true};
        count += static_cast<int64_t>(got);
    }

    std::fprintf(output, "%s};\nUINT32 %s_len = %lld;\n", count > 0 ? "\n" : "", name, static_cast<long long>(count));
    return {std::ferror(input) != 0, std::fflush(output) != 0 || std::ferror(output) != 0};
}
