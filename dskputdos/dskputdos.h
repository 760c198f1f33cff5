// dskputdos: writes a DOS image of 35 blocks of 256 bytes onto tracks 0 to 2
// of a diskette image, in the sector layout of one of three DOS versions.
#pragma once

#include <cstdint>

// Runs the whole dialogue on standard input and output; returns the exit status.
int dskputdosMain();

inline constexpr int DosBlocks = 35;
inline constexpr int64_t DosFileBytes = DosBlocks * 256; // 8960

// Zeroes every sector of tracks 0 and 1 in Disk (NumSectors of each), so
// that the sectors no version gives a block hold nothing. Track 2 is kept.
void clearDosTracks();

// Reads the DOS file's blocks from the open descriptor fd, in file order,
// straight into their places in Disk for the given version (the menu's 1 to
// 3). Returns how many blocks went into sectors the bitmap marks free, or -1
// after reporting a block that could not be read whole.
int placeDos(int version, int fd, const char* dosPath);
