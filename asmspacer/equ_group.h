// Grouping of "equ" lines by a character of their labels.
#pragma once

#include <string_view>

// Key of an "equ" line: the second character of its label, or the third when
// the second is the digit '0' (L0300 and L00FE give '3' and '0'). A label that
// ends before that character, or no label at all, gives the NUL character.
char equKey(std::string_view label);
