// asmspacer: copies raw 6502 assembly text, putting a line holding only ";"
// in front of every line that starts a new group of instructions.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

// Runs the whole dialogue on standard input and output; returns the exit status.
int asmspacerMain();

enum class SpaceResult {
    Done,
    WriteFailed, // a write to out failed; no further lines were read
    ReadFailed,  // in reported a read error; what came before it was written
};

// Copies in to out line by line, each line followed by LF and, where the
// rules say so, preceded by a line holding only ";". A line of more than 255
// characters is copied as pieces of 255 and a shorter rest, each a line of
// its own. The rules start afresh. Flushes out but leaves both streams open.
// Called by the spacer's fuzz target as well.
SpaceResult spaceFile(std::FILE* in, std::FILE* out);

// The rules' view of an opcode: its first three characters in lower case.
// One shorter than three characters matches no name.
struct OpcodeHead {
    char letters[3] = {};
    size_t length = 0; // 0 to 3
};

// What the rules carry from line to line of one file.
struct SpacerState {
    OpcodeHead previous;    // of the last line that was not a comment
    char equGroupKey = '0'; // key of the current group of "equ" lines
};

// Whether the line starts a new group, so that a ";" line goes in front of
// it; updates state as the line leaves it.
bool startsGroup(std::string_view line, SpacerState& state);
