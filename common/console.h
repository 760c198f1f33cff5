// Console dialogue primitives shared by every program of the suite.
#pragma once

#include <cstdio>
#include <span>

// The answer to the current prompt; every new prompt overwrites it.
inline constexpr int AnsSize = 256;
extern char Ans[AnsSize];

// Reads one line of at most buffer.size()-1 characters and strips every
// trailing CR and LF. Returns the remaining length, or -1 when nothing could
// be read (end of input or read error).
int Gets(std::span<char> buffer, std::FILE* stream);

// The press-<cr> stop: "\n\nPress <cr> to continue ...  ", then two line feeds.
void Pause();

// The variant with one leading line feed and one line feed after the answer.
void myPause();
