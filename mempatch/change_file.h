// Applying a change file to the memory image, pair of lines by pair of lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>

struct ChangeTally {
    int applied = 0; // changes stored in the image (count 0 included)
    int refused = 0; // changes refused with a message
};

// Reads the change file from its current place to its end and applies each
// configLine/dataLine pair to image, whose byte 0 stands for memory address
// 0xD000 - start. Comment and empty lines are passed over; the line after a
// configLine is always its dataLine. Every pair is traced on trace; a change
// that is malformed, longer than its dataLine or than 85 bytes, or that
// reaches outside image is refused with a message there and nothing of it
// is stored. A configLine with no line after it changes nothing.
ChangeTally applyChangeFile(std::FILE* changes, int32_t start, std::span<uint8_t> image, std::FILE* trace);
