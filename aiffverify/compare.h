// Comparing the bytes decoded from a capture with the bytes of an image file.
#pragma once

#include "console.h"

#include <cstdint>
#include <cstdio>

inline constexpr int BlockBytes = 4096; // the user is stopped after every block verified

enum class VerifyEnd {
    Complete,         // the byte count was reached
    NoBitStart,       // the capture does not begin on a zero sample
    CaptureEnded,     // the capture ended inside a bit
    CaptureReadError, // the capture could not be read
    ImageReadError,   // the image file could not be read
};

using PauseRoutine = void (*)();

// Decodes bytes from capture, standing at its first sample, and compares each
// with the next byte of image; past the image's end its bytes count as 0xFF.
// A byte that differs is reported and paused on, and decoding goes on. After
// every 4096 bytes, when more are to come, a line is printed and pause is
// called. At least one byte is decoded, whatever byteCount says. Messages go
// to out; the streams are left open for the caller.
VerifyEnd verifyCapture(std::FILE* capture, std::FILE* image, int64_t byteCount, std::FILE* out = stdout,
                        PauseRoutine pause = myPause);
