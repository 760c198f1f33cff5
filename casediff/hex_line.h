// The line written for a listing line that is no case-only pair.
#pragma once

#include <cstddef>
#include <span>

#include "listing_line.h"

// "%04x:  %02x  %02x\n" at its longest: three 8-digit numbers.
inline constexpr size_t HexLineMaxBytes = 8 + 3 + 8 + 2 + 8 + 1;

// Formats entry as "%04x:  %02x  %02x\n" (lower-case digits, wider values
// written in full) into out. Returns the length; no string end is written.
size_t formatHexLine(const ListingLine& entry, std::span<char, HexLineMaxBytes> out);
