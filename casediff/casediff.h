// casediff: condenses a byte-compare listing to the letters that differ only
// by case.
#pragma once

#include <cstdint>
#include <cstdio>

// The whole program, from the questions for the two paths to the pause at
// the end; returns the dialogue's exit status.
int casediffMain();

struct ListingCount {
    bool readToEnd = true;    // false when a read failed before the listing's end
    int64_t lines = 0;        // lines read, comment and empty lines not counted
    int64_t compareLines = 0; // of those, the lines in the compare form "%x-%x (%x)"
};

// Condenses the listing read from in into out: the lower-case letter of each
// case-only pair, a hex line for every other line, and a line feed wherever
// an address does not follow the one before. Write failures are left for the
// caller to find on out. Exported for the listing fuzz target.
ListingCount condenseListing(std::FILE* in, std::FILE* out);
