// Reading numbers from text as the C library's "%x" and "%d" conversions
// read them, but bounded: a number too wide for its field is flagged
// instead of being undefined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The value of a hexadecimal digit, or -1.
int hexDigitValue(char ch);

// White space as the scan conversions pass over it: blank, tab, and the
// line-end, vertical-tab and form-feed characters.
bool isBlank(char ch);

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

// "%x" into 32 bits: a minus sign negates the number modulo 2^32. Returns
// the characters used, or 0 (value unchanged) when the text holds no number
// or one wider than 32 bits.
size_t scanHex(std::string_view text, uint32_t& value);

// "%d" into a signed 32-bit value. Returns the characters used, or 0 (value
// unchanged) when the text holds no number or one outside that range.
size_t scanDecimal(std::string_view text, int32_t& value);
