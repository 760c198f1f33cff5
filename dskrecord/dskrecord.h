// The text-file recorder: host text files recorded into a diskette image as
// text files of its DOS.
#pragma once

#include "catalog.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

// Runs the whole dialogue on standard input and output, or on the answers
// given as arguments; returns the dialogue's exit status.
int dskrecordMain();

// ---- The encoder (encoder.cc)

// Room for the encoded text of one file: as large as the largest image.
inline constexpr int32_t EncodedTextBytes = 393216;

// Encodes every line read from in (opened as text) into out and appends the
// end marker 0x00 0x80 0x8D: every character with its high bit set,
// trailing blanks dropped, an empty or all-blank line and a leading ':'
// turned into ';', a run of blanks outside quotes and comments shrunk to
// one, and 0x8D at the end of each line. Lines come in reads of at most 255
// characters. Returns the encoded size, or -1 when the text does not fit in
// out; reading then stops there. (The encoder's fuzz target calls it.)
int32_t encodeText(std::FILE* in, std::span<uint8_t> out);

// ---- Storing a file (recorder.cc)

// Takes the next free sector: from the track in VTOC byte 0x30 down to
// track 0, passing over the catalog track when stepping down, and within a
// track from the highest sector down to 0. The sector is marked used in the
// bitmap, cleared to zeros, and its track is written to byte 0x30.
// Returns 0, or -1 (both results -1, byte 0x30 = 0xFF, nothing else
// changed) when no free sector is left.
//
// Only sectors the image file holds are handed out: tracks below NumTracks
// (a start track above them begins at the highest) and sectors below
// NumSectors, so bitmap bits of sectors 16 to 31 on a 16-sector image are
// ignored; a file placed there would be lost when the image is saved.
int getNextTS(int32_t& track, int32_t& sector);

// v + 6 * (v / 10): for 0 to 99 the packed BCD byte of v (59 gives 0x59).
int32_t dec2hex(int32_t v);

// The inverse, (v mod 16) + 10 * (v / 16): 0x59 gives 59.
int32_t hex2dec(int32_t v);

// Data sectors one T/S list describes.
inline constexpr int PairsPerList = 122;

// The sectors a file of size encoded bytes takes: its data sectors (at
// least one) and one T/S list for every 122 of them begun.
int32_t sectorsNeeded(int32_t size);

// Takes sectors with getNextTS in file order (a T/S list, its data sectors,
// the next list after every 122 data sectors), copies text into the data
// sectors, prints a trace line for every sector and the completion line
// naming path, then fills entry for name with the current time. Returns the
// sector total (data and list sectors), or -1 when the sectors ran out;
// Disk is then part-written and must not be saved.
int32_t recordFile(std::span<const uint8_t> text, std::string_view name, CatalogEntry entry, const char* path);

// ---- The dialogue's recording, in process (dskrecord.cc; the catalog's fuzz target calls it)

// For an image already in Disk, with VTOC byte 0x30 set: walks the catalog
// chain and asks for a host file in textFolder for each free entry, as the
// dialogue does after its first two questions. freeCount is the free count
// reported for the image. Returns true when the image is to be written back
// (a file was recorded and the run did not end on a failure).
bool recordAlongCatalog(std::string_view textFolder, int32_t freeCount);
