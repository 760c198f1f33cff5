// Streams a binary file into its array text.
#pragma once

#include <cstdint>
#include <string_view>

struct ArrayTextResult {
    int64_t count = 0;        // bytes read and written as items
    bool readFailed = false;  // reading stopped on an error; the text ends there
    bool writeFailed = false; // the output refused text; writing stopped
};

// Reads inputFd to its end and writes the array text named after name to
// outputFd: head, one item per byte, tail and length line. The work goes
// through fixed buffers, so memory stays the same whatever the input's size.
// A read error ends the items as the end of the file does; the tail is then
// still written. A write error stops everything.
ArrayTextResult writeArrayText(int inputFd, int outputFd, std::string_view name);
