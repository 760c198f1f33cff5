// Reading the two lines of a change: the configLine ("%x %d": address and
// count) and the dataLine (one hexadecimal byte every 3 characters).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The most bytes a dataLine of 255 characters can carry.
inline constexpr int MaxChangeBytes = 85;
inline constexpr size_t DataBytePitch = 3;

// Reads the address and the byte count from a configLine. Returns false when
// the line does not start with both numbers.
bool readConfigValues(std::string_view configLine, uint32_t& address, int32_t& count);

// Reads the bytes of a dataLine: byte i is the number that starts at
// character 3i. Stops at the first position that holds no number, or when
// values is full. Returns how many values were read.
int readDataValues(std::string_view dataLine, std::span<uint32_t> values);
