// Generated input files for the programs: diskette images with hostile
// VTOC, bitmap and catalog bytes, host texts, DOS files, change files,
// listings, array texts, pulse-width captures and answers.
#pragma once

#include "random.h"

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A diskette image: mostly a recognised size holding a formatted blank image
// whose VTOC, bitmap and catalog sectors are then damaged in random ways
// (links out of the image, loops, stray bitmap bits, random entries, a
// wholly random catalog track); sometimes a size no geometry has.
Bytes diskImage(Random& random, int& sectorsPerTrack);

// Host text: assembly-like lines, blanks, quotes, comments, empty lines,
// CR and CR LF endings, long lines, NUL and high-bit bytes; now and then
// tens of kilobytes.
std::string hostText(Random& random);

// Mostly a DOS file of exactly 8960 random bytes; sometimes another size.
Bytes dosFile(Random& random);

// A change file of configLine/dataLine pairs, some well formed, some not.
std::string changeFile(Random& random);

// A byte-compare listing: case pairs, other pairs, gaps, junk lines.
std::string listing(Random& random);

// Array text in array2bin's dialect, with refused names, wrong lengths and junk.
// inputName is the input's own file name, offered now and then as an array name.
std::string arrayText(Random& random, const std::string& inputName);

// A pulse-width capture: the bytes of image from offset on, encoded, behind
// a leader of leaderBytes non-zero samples; now and then damaged or random.
Bytes capture(Random& random, const Bytes& image, size_t offset, size_t leaderBytes);

// A file name made of lower-case letters and digits, with ".s" or ".txt".
std::string fileName(Random& random);

// An answer nobody would give: random printable text, an over-long line,
// control characters, or nothing.
std::string oddAnswer(Random& random);

// A hexadecimal answer as a user might type it, good or bad.
std::string hexAnswer(Random& random, uint64_t usual);
