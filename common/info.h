// The message sink: console, log file and summary file, with an optional time prefix.
#pragma once

#include <cstdio>

// Streams for flags 4 and 8; no program opens them, they stay unset until one does.
extern std::FILE* LogFilePtr;
extern std::FILE* SumFilePtr;

enum InfoFlags {
    InfoConsole = 1, // print on standard output
    InfoTime = 2,    // prefix "(hh:mm:ss.mmm) " in local time
    InfoLog = 4,     // write to LogFilePtr
    InfoSummary = 8, // write to SumFilePtr
};

// Writes text (which carries its own line feeds) where flags say. An unset
// stream is passed over rather than written to.
void info(const char* text, int flags);
