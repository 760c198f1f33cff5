// The array text itself: head, items and tail, formatted into memory.
//
// For bytes b0 .. b(n-1) of a file named NAME the text is
//   UCHAR NAME[] = {
//     0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
//     0x08, 0x09
//   };
//   UINT32 NAME_len = 10;
// eight items a line, two blanks before each line, lower-case hex digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// Room an item may need, its separator included (",\n  0xab").
inline constexpr size_t MaxItemChars = 8;

// Writes "UCHAR NAME[] = {\n" at the start of out. Returns the characters
// written, or 0 when out is too small (nothing is written then).
size_t formatHead(std::span<char> out, std::string_view name);

struct ItemsFormatted {
    size_t bytesUsed;    // leading bytes of the input turned into text
    size_t charsWritten; // characters written at the start of out
};

// Writes the items for bytes, each preceded by its separator; the first of
// them is item number firstIndex of the whole array, which decides where the
// lines break. Stops early when out has no room for the next item: out needs
// MaxItemChars characters per byte to take them all.
ItemsFormatted formatItems(std::span<const uint8_t> bytes, int64_t firstIndex, std::span<char> out);

// Writes the end of the array text for an array of count bytes: the line
// feed after the last item (when there is one), "};\n" and
// "UINT32 NAME_len = COUNT;\n". Returns the characters written, or 0 when
// out is too small (nothing is written then).
size_t formatTail(std::span<char> out, std::string_view name, int64_t count);
