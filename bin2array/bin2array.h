// bin2array: writes the bytes of a file as the text of a C array declaration.
//
// For bytes b0 .. b(n-1) of a file named NAME the text is
//   UCHAR NAME[] = {
//     0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
//     0x08, 0x09
//   };
//   UINT32 NAME_len = 10;
// eight items a line, two blanks before each line, lower-case hex digits.
#pragma once

#include <cstdio>

// The entry routine: takes the two names from the questions, or from the
// arguments (see program.h), where a missing OUTPUT means standard output;
// checks them and converts. Returns the dialogue's status, 0 on every path.
int bin2arrayMain();

struct ArrayTextResult {
    bool readFailed;  // reading stopped on an error; the items end there
    bool writeFailed; // the output refused text; writing stopped
};

// Reads input to its end and writes the array text named after name to
// output, which nothing has been written to yet. A read error ends the items
// as the end of the file does, and the tail is still written; a write error
// stops everything. Memory stays the same whatever the input's size.
ArrayTextResult writeArrayText(std::FILE* input, std::FILE* output, const char* name);
