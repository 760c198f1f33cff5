// The start-address answer: the file offset at which memory address 0xD000 lies.
#pragma once

#include <cstdint>
#include <string_view>

// Reads answer as a hexadecimal number from 0 to 0xD000. Blanks around the
// number are allowed; a sign, any other character or a larger value is not.
// Returns false (start unchanged) when the answer is no such number.
bool parseStartAddress(std::string_view answer, int32_t& start);
