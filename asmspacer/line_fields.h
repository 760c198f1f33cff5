// Cutting a source line into the fields the separator rules look at.
#pragma once

#include <string_view>

struct LineFields {
    bool comment = false;    // a ';' in the very first position
    std::string_view label;  // the whole word, however long; empty when the line has none
    std::string_view opcode; // the whole word as written; empty when the line has none
};

// A line that begins with ';' is a comment and is not split. A line that
// begins with a blank has no label: its first word is the opcode. Any other
// line (a tab first, or an empty line) has the label as its first word and
// the opcode as its second. Words are runs of non-white-space characters, as
// a "%s" scan reads them from the line as a C string (the line ends for the
// scan at a NUL byte). Both fields point into line.
LineFields splitLine(std::string_view line);
