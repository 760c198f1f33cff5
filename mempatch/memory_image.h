// The memory image: the stretch of 6502 memory that ends at 0xFFFF, copied
// from the input file with one read and written out with one write.
#pragma once

#include <array>
#include <cstdint>
#include <span>

inline constexpr int32_t ImageBufferBytes = 0x10000;
inline constexpr int32_t WindowStart = 0xD000;  // the address that lies at file offset S
inline constexpr int32_t WindowBytes = 0x3000;  // 0xD000 to 0xFFFF
inline constexpr int32_t MaxStartAddress = 0xD000; // S + 0x3000 fills the buffer

// Room for the largest image; only its first imageLength(S) bytes are used.
extern std::array<uint8_t, ImageBufferBytes> MemoryImage;

// Bytes copied for start address S (0 to MaxStartAddress): S + 0x3000.
constexpr int32_t imageLength(int32_t start)
{
    return start + WindowBytes;
}

// Buffer index of memory address A, A + S - 0xD000 in 32-bit arithmetic
// (addresses below the image wrap round to large values).
constexpr uint32_t bufferAddress(uint32_t address, int32_t start)
{
    return address + static_cast<uint32_t>(start) - static_cast<uint32_t>(WindowStart);
}

// Fills image from fd with one read call. Bytes the read does not reach are
// zero. A failed or short read is reported and the run goes on.
void readImage(int fd, std::span<uint8_t> image);

// Empties the output open on fd and writes image to it, with one write call
// and further ones for any rest. A failure is reported with the error number
// of the call that failed. Returns whether every byte was written.
bool emptyAndWrite(int fd, std::span<const uint8_t> image);
