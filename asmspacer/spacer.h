// Spacing one whole file: every line copied, ";" lines put in front of new groups.
#pragma once

#include <cstdio>

enum class SpaceResult {
    Done,
    WriteFailed, // a write to out failed; no further lines were read
    ReadFailed,  // in reported a read error; what came before it was written
};

// Copies in to out piece by piece (see readPiece), each followed by LF and,
// where the rules say so, preceded by a line holding only ";". The state of
// the rules starts afresh. Flushes out but leaves both streams open.
SpaceResult spaceFile(std::FILE* in, std::FILE* out);
