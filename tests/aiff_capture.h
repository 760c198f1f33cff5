// Audio captures for the verifier's tests: bytes as 8-bit samples in the
// pulse-width scheme, and samples wrapped in an AIFF file.
#pragma once

#include "test_files.h"

#include <utility>
#include <vector>

// One bit: `pulse` non-zero samples after its first zero sample (2 or more
// for a 1), `gap` after its second.
struct BitRuns {
    int pulse;
    int gap;
};

// The samples of the bits and the zero that begins the next bit. Non-zero
// samples take levels of both signs in turn.
Bytes samplesOfRuns(const std::vector<BitRuns>& bits);

// The samples of data, first bit of each byte first, with pulses of 2 to 4
// for ones and 0 to 1 for zeros, gaps of 0 to 3, varied from bit to bit.
Bytes encodeCapture(const Bytes& data);

// A mono 8-bit AIFF file (FORM, COMM, SSND) of the samples, and the offset
// where its sample data begins.
std::pair<Bytes, size_t> aiffFile(const Bytes& samples);
