// dskputdos: writes a DOS image of 35 blocks of 256 bytes onto tracks 0 to 2
// of a diskette image, in the sector layout of one of three DOS versions
// (common/dos_layout.h).
#pragma once

// Runs the whole dialogue on standard input and output; returns the exit status.
int dskputdosMain();

// Refuses to lay the DOS of version (1 to 3) over a file: when a sector it
// would write or clear (all of tracks 0 and 1, and the sectors of track 2
// the version places a block on) is used by a catalogued file or holds the
// catalog, reports the first such sector in track and sector order and
// returns true. Nothing is changed.
bool refuseOverFiles(int version, const char* imagePath);

// Zeroes every sector of tracks 0 and 1 in Disk (NumSectors of each), so
// that the sectors no version gives a block hold nothing. Track 2 is kept.
void clearDosTracks();

// Reads the DOS file's blocks from the open descriptor fd, in file order,
// one read a block, straight into their places in Disk for the version (1
// to 3); a block the version has no place for is read and dropped. Returns
// how many blocks went into sectors the bitmap marks free, or -1 after
// reporting a block that could not be read whole.
int placeDos(int version, int fd, const char* dosPath);
