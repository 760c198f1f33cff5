// Reading a source file line by line, in pieces short enough for the rules.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string_view>

// A piece holds at most LineSize-1 characters; a longer line comes as several pieces.
inline constexpr int LineSize = 256;
inline constexpr size_t ReadBlockBytes = 65536;

struct LineReader {
    std::FILE* stream = nullptr;
    std::array<char, ReadBlockBytes> block{};
    std::array<char, LineSize> piece{}; // a piece gathered across blocks
    size_t position = 0;
    size_t end = 0;
    size_t heldReturns = 0; // CRs seen but not yet known to be text rather than line end
    bool ended = false;     // the stream has nothing more
    bool failed = false;    // the stream reported a read error
};

void startReading(LineReader& reader, std::FILE* stream);

// Delivers the next piece of text in text (valid until the next call) and
// returns true, or returns false when the input is done (reader.failed then
// tells a read error from the end).
//
// A line ends at LF or at the end of the input; the run of CRs just before
// that end is dropped with it, while a CR inside a line stays text. A line of
// more than LineSize-1 characters is cut into pieces of LineSize-1 and a last
// shorter one; a line whose length is an exact multiple gives no empty piece
// after it. Every byte of the text is kept, NUL bytes included.
bool readPiece(LineReader& reader, std::string_view& text);
