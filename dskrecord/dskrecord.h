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

// ---- Recording a text file (recorder.cc)

// v + 6 * (v / 10): for 0 to 99 the packed BCD byte of v (59 gives 0x59).
int32_t dec2hex(int32_t v);

// The inverse, (v mod 16) + 10 * (v / 16): 0x59 gives 59.
int32_t hex2dec(int32_t v);

// How a recorded file's name goes into its entry.
enum class NameLayout {
    Stamped, // the first 24 characters, then the time stamp of the recording
    Dos,     // all 30 characters, blank-padded, no stamp: as the DOS writes names
};

// Records text into entry as a text file named by name as layout says,
// with a trace line for every sector taken and the completion line naming
// path; a stamped entry gets the current time once the data is in place.
// Returns the sector total (data and list sectors), or -1 when the sectors
// ran out; Disk is then part-written and must not be saved.
int32_t recordTextFile(std::span<const uint8_t> text, std::string_view name, CatalogEntry entry, const char* path,
                       NameLayout layout);

// ---- The dialogue's recording, in process (dskrecord.cc; the catalog's fuzz target calls it)

// For an image already in Disk, with VTOC byte 0x30 set: walks the catalog
// chain and asks for a host file in textFolder for each free entry, as the
// dialogue does after its first two questions. freeCount is the free count
// reported for the image. Returns true when the image is to be written back
// (a file was recorded and the run did not end on a failure).
bool recordAlongCatalog(std::string_view textFolder, int32_t freeCount);
