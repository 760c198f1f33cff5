// Where each DOS version keeps the 35 blocks of a DOS file on tracks 0 to 2
// of a diskette, and the names the versions go by. dskputdos puts a DOS file
// there; dskgetdos gets one back from the same places.
#pragma once

#include "disk_image.h"

#include <cstdint>
#include <string_view>

inline constexpr int DosBlocks = 35;
inline constexpr int64_t DosFileBytes = DosBlocks * SectorBytes; // 8960

// The versions, numbered as dskputdos's menu lists them:
//   1  DOS 3.3,
//   2  DOS 4.0 (35 sectors),
//   3  DOS 4.1 (32 sectors).
inline constexpr int DosVersions = 3;

// A block's sector; track -1 for a block the version has no place for.
struct DosPlace {
    int track;
    int sector;

    constexpr bool nowhere() const { return track < 0; }
};

// Where block (0 to 34) of the DOS file of version (1 to 3) lies:
//   1) DOS 3.3: 0-3 on track 0 sectors 12-15, 4-19 on track 1, 20-24 on
//      track 2 sectors 0-4, 25 on track 0 sector 0, 26-34 on track 0 sectors
//      1-9; track 0 sectors 10 and 11 get no block.
//   2) DOS 4.0: 0-6 on track 0 sectors 9-15, 7-22 on track 1, 23-25 on
//      track 2 sectors 0-2, 26 on track 0 sector 0, 27-34 on sectors 1-8.
//   3) DOS 4.1: 0-8 on track 0 sectors 7-15, 9-24 on track 1, 25-27 nowhere,
//      28 on track 0 sector 0, 29-34 on sectors 1-6; nothing on track 2.
// Every place is below sector 16, whatever the image's sectors per track.
// A version or block out of range has no place.
DosPlace dosBlockPlace(int version, int block);

// Whether the version puts a block on track t sector s.
bool dosPlacesBlockAt(int version, int track, int sector);

// The version a name stands for: 1 or 3.3, 2 or 4.0, 3 or 4.1, exactly;
// 0 for anything else.
int dosVersionNamed(std::string_view name);

// The same for a version given as an argument; anything else is reported
// as a failure and gives 0.
int dosVersionArgument(const char* word);

// "3.3", "4.0" or "4.1" for version 1 to 3.
const char* dosVersionName(int version);
