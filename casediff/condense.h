// Condensing a compare listing: case-only pairs become letters, every other
// line a hex line, and a gap in the addresses starts a new output line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>

#include "hex_line.h"
#include "listing_line.h"

// A line feed and a hex line at most.
inline constexpr size_t PieceMaxBytes = 1 + HexLineMaxBytes;

// Writes into out what one listing line adds to the output: a line feed when
// its address does not follow previousAddress (unsigned 32-bit arithmetic),
// then its letter or its hex line. Sets previousAddress to the line's address.
// Returns the number of characters; no string end is written.
size_t condenseEntry(const ListingLine& entry, uint32_t& previousAddress, std::span<char, PieceMaxBytes> out);

// Condenses the listing read from in into out. Empty lines, lines that begin
// with '#' or '*' and lines that do not hold all three numbers are passed
// over without touching the previous address, which starts at 0. Returns
// false when the listing could not be read to its end; write failures are
// left for the caller to find on out.
bool condenseListing(std::FILE* in, std::FILE* out);
