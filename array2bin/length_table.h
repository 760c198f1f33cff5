// The length table and the 4-byte load header of every output file. The
// length in a header is not counted from the array: it is the table's entry
// for the array's place among the input's arrays.
#pragma once

#include <array>
#include <cstdint>

// Only this many arrays have a length; later ones are refused.
inline constexpr int MaxArrays = 12;

struct TableLength {
    int low;
    int high;
};

// The length written for each array, by its place among the input's arrays:
// 11, 171, 509, 337, 291, 342, 319, 269, 914, 512, 48, 8960.
inline constexpr std::array<TableLength, MaxArrays> LengthTable{{
    {0x0B, 0x00},
    {0xAB, 0x00},
    {0xFD, 0x01},
    {0x51, 0x01},
    {0x23, 0x01},
    {0x56, 0x01},
    {0x3F, 0x01},
    {0x0D, 0x01},
    {0x92, 0x03},
    {0x00, 0x02},
    {0x30, 0x00},
    {0x00, 0x23},
}};

inline constexpr uint8_t LoadAddressLow = 0x00; // every file loads at 0x1000
inline constexpr uint8_t LoadAddressHigh = 0x10;

// Load address, then the table's length, both low byte first. The ordinal
// must be below MaxArrays.
constexpr std::array<uint8_t, 4> headerFor(int ordinal)
{
    const TableLength& length = LengthTable.at(static_cast<size_t>(ordinal));
    return {LoadAddressLow, LoadAddressHigh, static_cast<uint8_t>(length.low), static_cast<uint8_t>(length.high)};
}
