// The shipped example capture, examples/transfer.aiff: what a transfer of
// the first two sectors of track 0 sounds like once examples/demo-dos.bin
// is installed as DOS 3.3 (those sectors hold blocks 25 and 26 of the DOS
// file). A leader tone comes first, so that the first bit starts at 0x162.
#pragma once

#include "test_files.h"

// Offset of the zero sample that begins the first bit, and the bytes carried.
inline constexpr size_t ExampleCaptureStart = 0x162;
inline constexpr size_t ExampleCaptureBytes = 512;

// The AIFF file made from the bytes of the DOS file.
Bytes exampleCapture(const Bytes& dosFile);
