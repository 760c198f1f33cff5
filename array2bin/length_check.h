// Checking a length line against the array read last, and confirming what matches.
#pragma once

#include <cstdint>
#include <string_view>

struct LengthCheck {
    bool nameMatches;  // the length's name is the array's name, case and all
    bool countMatches; // the length's number is the count of bytes written
};

// Compares a length line with the current array name and byte count. A line
// without a name part or without a number matches in neither respect.
LengthCheck checkLengthLine(std::string_view line, std::string_view currentName, int64_t byteCount);

// Prints the confirmation of each match, the name's first.
void reportLengthCheck(const LengthCheck& check, const char* currentName);
