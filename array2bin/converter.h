// The conversion pass: every array of the input text becomes a binary file
// named after it, and every length line is checked against the array before it.
#pragma once

#include <cstdio>

enum class ConversionEnd {
    InputEnded,       // the whole input was converted
    OutputOpenFailed, // an output file could not be opened; the pass stopped there
};

struct ConversionResult {
    ConversionEnd end = ConversionEnd::InputEnded;
    bool writeFailed = false; // some output file could not be written whole
};

// Reads input (opened from inputPath) line by line, skipping comment and
// empty lines, writes the output files into the current folder and prints
// the progress and check messages. Arrays with no place in the length table,
// whose name holds a '/', or whose file would be the input itself are
// refused with a message; their lines are read and no file is written.
ConversionResult convertArrays(std::FILE* input, const char* inputPath);
