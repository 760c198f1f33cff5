// One line of a byte-compare listing: "address-byteA (byteB)" in hexadecimal.
#pragma once

#include <cstdint>
#include <string_view>

struct ListingLine {
    uint32_t address = 0;
    uint32_t byteA = 0;
    uint32_t byteB = 0;
};

// Scans line as "%x-%x (%x)" does: a number, '-', a number, any white space,
// '(', a number; white space before each number, a sign and a 0x prefix are
// allowed, and whatever follows the third number is ignored. Returns false,
// leaving entry unchanged, unless all three numbers are there and each fits
// in 32 bits.
bool scanListingLine(std::string_view line, ListingLine& entry);
