// casediff: condenses a byte-compare listing to the letters that differ only
// by case.
#pragma once

#include <cstdio>

// The whole program, from the questions for the two paths to the pause at
// the end; returns the dialogue's exit status.
int casediffMain();

// Condenses the listing read from in into out: the lower-case letter of each
// case-only pair, a hex line for every other line, and a line feed wherever
// an address does not follow the one before. Returns false when the listing
// could not be read to its end; write failures are left for the caller to
// find on out. Exported for the listing fuzz target.
bool condenseListing(std::FILE* in, std::FILE* out);
