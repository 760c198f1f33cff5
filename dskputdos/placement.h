// Where each DOS version keeps its 35 blocks on tracks 0 to 2.
#pragma once

#include <cstdint>

inline constexpr int DosBlocks = 35;
inline constexpr int32_t DosFileBytes = DosBlocks * 256; // 8960

// Sector layout of one DOS version, numbered as in the menu (1 to 3).
struct DosLayout {
    int startSector; // phase 1 starts on track 0 here
    int endTrack;    // phase 1 stops on reaching this place
    int endSector;
    int discarded;   // blocks read and thrown away after phase 1
    int tailStop;    // the tail counter runs down from 9 to this value
};

inline constexpr DosLayout DosLayouts[3] = {
    {12, 2, 5, 0, 0}, // 1) DOS 3.3
    {9, 2, 3, 0, 1},  // 2) DOS 4.0 - 35 sectors
    {7, 2, 0, 3, 3},  // 3) DOS 4.1 - 32 sectors
};

// Reads the DOS file's blocks from the open descriptor fd, in file order,
// straight into their places in Disk for the given version (1 to 3):
//   phase 1, the main run from track 0 at the start sector, counting sectors
//            0 to 15 on every track, until the version's end place;
//   phase 2, blocks thrown away (version 3 only);
//   phase 3, one block into track 0 sector 0;
//   phase 4, the tail into track 0 from sector 1 on.
// Returns how many blocks went into sectors the bitmap marks free, or -1
// after printing the read message of a short block.
int placeDos(int version, int fd, const char* dosPath);
