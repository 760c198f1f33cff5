// Decoding the pulse-width bit stream carried by 8-bit audio samples.
//
// A sample is zero when its byte is 0x00; any other byte is non-zero,
// whatever its sign. One bit is: a zero sample, a run of n non-zero samples,
// a zero sample, a run of any length of non-zero samples (none included),
// then the zero sample that begins the next bit. The bit is 1 when n is 2 or
// more. Eight bits make a byte, the first bit the most significant, and bytes
// follow one another without a gap.
#pragma once

#include <cstdint>
#include <cstdio>

enum class DecodeStatus {
    Ok,           // the byte is whole; the zero sample that begins the next bit has been read
    NoBitStart,   // a bit did not begin on a zero sample
    CaptureEnded, // the capture ended inside a bit
    ReadError,    // the capture could not be read
};

struct DecodedByte {
    DecodeStatus status = DecodeStatus::Ok;
    uint8_t value = 0; // when Ok: the byte, first bit most significant
    int bit = 0;       // when not Ok: index (0 to 7) of the bit where decoding stopped
    int sample = 0;    // when NoBitStart: the byte of the sample found there
};

// Reads the sample that should begin the first bit. The end of the capture
// gives 0xFF (the end-of-file value cut to 8 bits), which is not a zero
// sample; a read error gives -1.
int firstSample(std::FILE* capture);

// Decodes one byte. current is the sample that begins its first bit; after a
// whole byte it is the zero sample that begins the next one. Bits never
// begin on anything but a zero sample after the first, so only that one is
// checked.
DecodedByte decodeByte(std::FILE* capture, int& current);
