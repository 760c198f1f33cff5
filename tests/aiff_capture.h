// Building audio captures for the verifier's tests: bytes turned into 8-bit
// samples in the pulse-width scheme, and samples wrapped in an AIFF file.
#pragma once

#include "test_files.h"

#include <cstdint>
#include <utility>
#include <vector>

// Run lengths of one bit: `pulse` non-zero samples after its first zero
// sample (2 or more for a 1, 0 or 1 for a 0), `gap` after its second.
struct BitRuns {
    int pulse;
    int gap;
};

// The samples of the given bits, and the zero sample that begins the next bit.
Bytes samplesOfRuns(const std::vector<BitRuns>& bits, uint8_t level = 0x7F);

// The samples of data, first bit of each byte first. Ones use pulse widths
// 2 to 4 and zeros 0 to 1, gaps 0 to 3, varied from bit to bit, with
// non-zero levels of both signs.
Bytes encodeCapture(const Bytes& data);

// A mono 8-bit AIFF file (FORM, COMM and SSND chunks) holding samples, and
// the offset where its sample data begins.
std::pair<Bytes, size_t> aiffFile(const Bytes& samples, uint32_t sampleRate = 44100);
