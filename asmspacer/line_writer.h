// Writing the spaced copy through a block buffer, so that a failed write is noticed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string_view>

inline constexpr size_t WriteBlockBytes = 65536;

struct LineWriter {
    std::FILE* stream = nullptr;
    std::array<char, WriteBlockBytes> block{};
    size_t used = 0;
    bool failed = false; // once set, nothing more is written
};

void startWriting(LineWriter& writer, std::FILE* stream);

// Queues text, writing out the block first when it is full.
void writeText(LineWriter& writer, std::string_view text);

// Writes out what is queued and flushes the stream. Returns false when any
// write of this file failed.
bool finishWriting(LineWriter& writer);
