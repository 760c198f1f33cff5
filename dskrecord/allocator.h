// Hands out the free sectors of the image in Disk, one per call.
#pragma once

#include <cstdint>

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
