// aiffverify: decodes the pulse-width bit stream of an 8-bit audio capture
// and compares it byte by byte with a diskette image.
//
// The signal: a sample is zero when its byte is 0x00; any other byte is
// non-zero, whatever its sign. One bit is a zero sample, a pulse of n
// non-zero samples, a zero sample, a gap of any length of non-zero samples
// (none included), then the zero sample that begins the next bit. The bit is
// 1 when n is 2 or more. Eight bits make a byte, the first bit the most
// significant, and bytes follow one another without a gap.
#pragma once

#include <cstdint>
#include <cstdio>

// The whole program: its five questions, then the comparison. Returns the
// dialogue's exit status.
int aiffverifyMain();

// Decodes bytes from capture, standing at its first sample, and compares each
// with the next byte of image; past the image's end its bytes count as 0xFF.
// A byte that differs is reported as a failure that goes on, and paused on.
// After every 4096 bytes, when more are to come, a line is printed and the
// user is stopped. At least one byte is decoded, whatever byteCount says. A
// capture that does not begin on a zero sample, or ends inside a bit, and a
// file that cannot be read, are failures that end the run. In the argument
// form the run ends with the count of the bytes that differ. The streams are
// left open for the caller. Called by the dialogue, and by the pulse decoder
// fuzz target on whole runs.
void verifyCapture(std::FILE* capture, std::FILE* image, int64_t byteCount);

// The decoder on its own, for the pulse decoder fuzz target.
enum class DecodeStatus {
    Ok,           // the byte is whole; the zero sample that begins the next bit has been read
    CaptureEnded, // the capture ended inside a bit
    ReadError,    // the capture could not be read
};

struct DecodedByte {
    DecodeStatus status = DecodeStatus::Ok;
    uint8_t value = 0; // when Ok: the byte, first bit most significant
    int bit = 0;       // when not Ok: index (0 to 7) of the bit where decoding stopped
};

// Decodes one byte; the zero sample that begins its first bit has just been
// read. Every bit after the first begins on the zero sample that ended the
// bit before, so the capture is not checked for a bit start here.
DecodedByte decodeByte(std::FILE* capture);
