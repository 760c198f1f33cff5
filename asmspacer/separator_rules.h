// When a line starts a new group and gets a ";" line in front of it.
#pragma once

#include "line_fields.h"

#include <cstdint>
#include <string_view>

// The part of an opcode the rules look at: its first three characters in
// lower case (A-Z only), packed; 0 for an opcode shorter than three, which
// matches no name. The first character is kept apart for the branch test.
// An opcode matches a name when its first three characters equal the name.
struct OpcodeHead {
    uint32_t key = 0;
    char first = '\0';
};

OpcodeHead opcodeHead(std::string_view opcode);

// What one file carries from line to line; a new file starts from the defaults.
struct SpacerState {
    OpcodeHead previous;     // of the last line that was not a comment
    char equGroupKey = '0';  // key of the current group of "equ" lines
};

struct Decision {
    int row;        // the row of the rule table that decided, 1 to 11
    bool separator; // whether a ";" line goes in front of the line
};

// Tries the rule rows from the top; the first row whose condition on the line
// holds decides. Updates state as the line leaves it: the equ group key (row
// 2) and, unless the line is a comment, the previous opcode.
Decision applyRules(const LineFields& line, SpacerState& state);
