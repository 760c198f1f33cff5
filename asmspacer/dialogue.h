// The spacer's dialogue: a directory once, then one file after another.
#pragma once

#include <span>

inline constexpr int DirectorySize = 128; // 127 characters
inline constexpr int FileNameSize = 31;   // 30 characters
inline constexpr int PathSize = 31;       // 30 characters, the output path included
// The output path is directory "/" name "T", so directory and name share 28 characters.
inline constexpr int DirectoryAndNameLimit = PathSize - 1 - 2;

// Forms "dir/name" and "dir/nameT" into inputPath and outputPath. Returns
// false, leaving both empty, when either would not fit: a path is never cut.
bool formPaths(const char* directory, const char* fileName, std::span<char> inputPath,
               std::span<char> outputPath);

// Runs the whole dialogue on standard input and output; returns the exit status.
int asmspacerMain();
