// mempatch: copies the top of a 6502 memory image, the stretch that ends at
// 0xFFFF, and changes bytes in the copy as a change file lists them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

// The whole program: its four questions, the copy with its changes, the
// pause. Returns the dialogue's exit status.
int mempatchMain();

// The copy: memory address 0xD000 lies at file offset S, the start address,
// and the copy runs from the file's start up to memory address 0xFFFF.
inline constexpr int32_t WindowStart = 0xD000;
inline constexpr int32_t WindowBytes = 0x3000;     // 0xD000 to 0xFFFF
inline constexpr int32_t MaxStartAddress = 0xD000; // the copy is then the whole 64 KiB

// Bytes copied for start address S (0 to MaxStartAddress): S + 0x3000.
constexpr int32_t imageLength(int32_t start)
{
    return start + WindowBytes;
}

// The two rules below are exported for the change file fuzz target.

// Reads a start-address answer: a hexadecimal number from 0 to 0xD000, with
// blanks around it allowed; a sign, any other character or a larger value
// is not. Returns false (start unchanged) when the answer is no such number.
bool parseStartAddress(std::string_view answer, int32_t& start);

// Reads the change file from its current place to its end and applies each
// configLine/dataLine pair to image, whose byte 0 stands for memory address
// 0xD000 - start. Comment and empty lines are passed over; the line after a
// configLine is always its dataLine. Every pair is traced on standard
// output; a change that is malformed, longer than its dataLine or than 85
// bytes, or that reaches outside image is refused (a failure after which the
// run goes on) and nothing of it is stored. A configLine with no line after
// it changes nothing.
void applyChangeFile(std::FILE* changes, int32_t start, std::span<uint8_t> image);
