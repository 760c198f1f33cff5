// Reading numbers from text as the C library's "%x" and "%d" conversions
// read them, but bounded: a number too wide for its field is flagged
// instead of being undefined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The value of a hexadecimal digit, or -1.
int hexDigitValue(char ch);

// The white space a scan conversion passes over before a number.
bool isScanSpace(char ch);

struct ScannedNumber {
    size_t used = 0;        // characters taken; 0 when the text holds no number
    bool negative = false;  // a '-' sign came first
    bool tooWide = false;   // the digits went past the limit
    uint64_t magnitude = 0; // the digits' value, held at the limit when too wide
    uint64_t wrapped = 0;   // the digits' value modulo 2^64 (its low bits stay right)
};

// Reads white space, an optional sign, for base 16 an optional 0x prefix
// (only when a digit follows it, so "0x" alone is the number 0), then the
// digits of base (10 or 16).
ScannedNumber scanNumber(std::string_view text, int base, uint64_t limit);
