// Reading line-oriented control files while passing over comment lines.
#pragma once

#include <cstdio>
#include <span>

// Returns the next line whose first character is not the string end, '#' or
// '*', cut to dest.size()-1 characters and copied into dest. The result is
// the length of the whole line as read (not the cut length), or -1 when the
// input ends first; dest is then left unchanged. Lines longer than 511
// characters are read in pieces of 511.
int readConfigLine(std::span<char> dest, std::FILE* stream);
