#include "line_reader.h"

namespace {

constexpr int MaxPiece = LineSize - 1;

// Makes at least one unread byte available; false at end of input or on error.
bool refill(LineReader& reader)
{
    if (reader.position < reader.end)
        return true;
    if (reader.ended)
        return false;
    reader.position = 0;
    reader.end = std::fread(reader.block.data(), 1, reader.block.size(), reader.stream);
    if (reader.end > 0)
        return true;
    reader.ended = true;
    reader.failed = std::ferror(reader.stream) != 0;
    return false;
}

} // namespace

void startReading(LineReader& reader, std::FILE* stream)
{
    reader.stream = stream;
    reader.position = 0;
    reader.end = 0;
    reader.heldReturns = 0;
    reader.ended = false;
    reader.failed = false;
}

int readPiece(LineReader& reader, std::span<char, LineSize> piece)
{
    int length = 0;
    // Held CRs come from the piece before, cut off in front of more text.
    bool lineStarted = reader.heldReturns > 0;
    for (;;) {
        if (!refill(reader)) {
            reader.heldReturns = 0; // CRs at the very end are a line end
            return lineStarted ? length : -1;
        }
        const char ch = reader.block[reader.position];
        if (ch == '\n') {
            ++reader.position;
            reader.heldReturns = 0;
            return length;
        }
        lineStarted = true;
        if (ch == '\r') {
            ++reader.position;
            ++reader.heldReturns;
            continue;
        }
        // More text follows, so the held CRs were text too.
        for (; reader.heldReturns > 0; --reader.heldReturns) {
            if (length == MaxPiece)
                return length;
            piece[static_cast<size_t>(length++)] = '\r';
        }
        if (length == MaxPiece)
            return length;
        piece[static_cast<size_t>(length++)] = ch;
        ++reader.position;
    }
}
