// array2bin: C byte-array declarations in, one binary file with a load
// header per array out.
#pragma once

#include <cstdio>

// The dialogue: asks for the input text, converts it, returns the exit status.
int array2binMain();

struct ConversionResult {
    bool outputOpenFailed = false; // an output file could not be opened; the pass stopped there
    bool writeFailed = false;      // some output file could not be written whole
};

// The conversion pass, which the fuzz target also runs in process. Reads
// input (opened from inputPath) line by line, skipping comment and empty
// lines, writes the output files into the current folder and prints the
// progress and check messages. Arrays with no place in the length table,
// whose name holds a '/', or whose file would be the input itself are
// refused with a message; their lines are read and no file is written.
ConversionResult convertArrays(std::FILE* input, const char* inputPath);
