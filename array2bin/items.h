// Reading the items of a byte line: hexadecimal numbers separated by commas.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The byte an item stands for: blanks anywhere in it are dropped and the rest
// is read as "%x" reads it (an optional sign and 0x, then hex digits, the
// first other character ending it), keeping the low 8 bits. Empty when the
// item holds no hexadecimal number (nothing, only blanks, or text such as '}').
std::optional<uint8_t> itemValue(std::string_view item);

// Reads the items of one byte line into out, left to right, and returns how
// many bytes they gave. An item ends at the next ',' or at the end of the
// line, so a comma at the end starts no item; items without a number give no
// byte. Stops when out is full (a line of n characters gives at most n/2+1).
size_t readItems(std::string_view line, std::span<uint8_t> out);
