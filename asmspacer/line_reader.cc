#include "line_reader.h"

namespace {

constexpr size_t MaxPiece = LineSize - 1;

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

// How far past a full piece the quick path looks for the LF, to take in a CR LF
// or a short run of CRs; a line that ends further on takes the general path.
constexpr size_t LookAhead = 16;

// The usual case, quickly: a line that lies whole in the block and fits one
// piece is handed out where it lies. False (nothing taken) otherwise.
bool wholeLine(LineReader& reader, std::string_view& text)
{
    const std::string_view rest = std::string_view(reader.block.data(), reader.end)
                                      .substr(reader.position, MaxPiece + 1 + LookAhead);
    const size_t lineEnd = rest.find('\n');
    if (lineEnd == std::string_view::npos)
        return false;
    size_t length = lineEnd;
    while (length > 0 && rest[length - 1] == '\r')
        --length;
    if (length > MaxPiece)
        return false;
    text = rest.substr(0, length);
    reader.position += lineEnd + 1;
    return true;
}

// Any line, character by character, gathered in the reader's piece buffer:
// long lines, lines across blocks, CR runs of any length, the last line.
bool gatheredPiece(LineReader& reader, std::string_view& text)
{
    size_t length = 0;
    auto done = [&reader, &text, &length]() {
        text = std::string_view(reader.piece.data(), length);
        return true;
    };
    // Held CRs come from the piece before, cut off in front of more text.
    bool lineStarted = reader.heldReturns > 0;
    for (;;) {
        if (!refill(reader)) {
            reader.heldReturns = 0; // CRs at the very end are a line end
            if (!lineStarted)
                return false;
            return done();
        }
        const char ch = reader.block[reader.position];
        if (ch == '\n') {
            ++reader.position;
            reader.heldReturns = 0;
            return done();
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
                return done();
            reader.piece[length++] = '\r';
        }
        if (length == MaxPiece)
            return done();
        reader.piece[length++] = ch;
        ++reader.position;
    }
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

bool readPiece(LineReader& reader, std::string_view& text)
{
    if (reader.heldReturns == 0 && refill(reader) && wholeLine(reader, text))
        return true;
    return gatheredPiece(reader, text);
}
