// Where each DOS version keeps the 35 blocks of the DOS file on tracks 0 to 2,
// and the walk that puts them there.
//
// The blocks are read in file order, each straight into its place:
//   phase 1, the main run from track 0 at the version's start sector,
//            counting sectors 0 to 15 on every track whatever the image's
//            sectors per track, up to the version's end place (which itself
//            receives nothing);
//   phase 2, blocks read and thrown away (version 3 only);
//   phase 3, one block into track 0 sector 0;
//   phase 4, the tail into track 0 from sector 1 on, while a counter that
//            starts at 9 and drops by one a block differs from the version's
//            stop value.
#include "dskputdos.h"

#include "disk_image.h"
#include "program.h"

#include <algorithm>
#include <array>
#include <unistd.h>

namespace {

struct DosLayout {
    int startSector; // phase 1 starts on track 0 here
    int endTrack;    // phase 1 stops on reaching this place
    int endSector;
    int discarded; // phase 2
    int tailStop;  // phase 4
};

// Indexed by the menu's number minus 1. The blocks land as follows:
//   1) DOS 3.3: 0-3 on track 0 sectors 12-15, 4-19 on track 1, 20-24 on
//      track 2 sectors 0-4, 25 on track 0 sector 0, 26-34 on track 0 sectors
//      1-9; track 0 sectors 10 and 11 stay cleared.
//   2) DOS 4.0: 0-6 on track 0 sectors 9-15, 7-22 on track 1, 23-25 on
//      track 2 sectors 0-2, 26 on track 0 sector 0, 27-34 on sectors 1-8.
//   3) DOS 4.1: 0-8 on track 0 sectors 7-15, 9-24 on track 1, 25-27 nowhere,
//      28 on track 0 sector 0, 29-34 on sectors 1-6; track 2 is not touched.
constexpr std::array<DosLayout, 3> DosLayouts{{
    {12, 2, 5, 0, 0}, // 1) DOS 3.3
    {9, 2, 3, 0, 1},  // 2) DOS 4.0 - 35 sectors
    {7, 2, 0, 3, 3},  // 3) DOS 4.1 - 32 sectors
}};

int readBlock(int fd, const char* dosPath, std::span<uint8_t, SectorBytes> into)
{
    const ssize_t got = read(fd, into.data(), into.size());
    if (got != SectorBytes) {
        reportFailure("\nError from read() for DOS file '%s', read %d bytes and not %d bytes.\n\n", dosPath,
                      static_cast<int>(got), SectorBytes);
        return -1;
    }
    return 0;
}

// Stores the next block at track t sector s, counting it in placedInFree
// when the bitmap marks that sector free.
int readBlockInto(int fd, const char* dosPath, int track, int sector, int& placedInFree)
{
    if (isSectorFree(track, sector))
        ++placedInFree;
    return readBlock(fd, dosPath, sectorAt(track, sector));
}

} // namespace

void clearDosTracks()
{
    for (int track = 0; track <= 1; ++track)
        for (int sector = 0; sector < NumSectors; ++sector)
            std::ranges::fill(sectorAt(track, sector), uint8_t{0});
}

int placeDos(int version, int fd, const char* dosPath)
{
    if (version < 1 || version > 3)
        return -1;
    const DosLayout& layout = DosLayouts[static_cast<size_t>(version - 1)];
    int placedInFree = 0;

    int track = 0;
    int sector = layout.startSector;
    while (track != layout.endTrack || sector != layout.endSector) {
        if (readBlockInto(fd, dosPath, track, sector, placedInFree) != 0)
            return -1;
        if (++sector == 16) {
            sector = 0;
            ++track;
        }
    }

    std::array<uint8_t, SectorBytes> discard{};
    for (int i = 0; i < layout.discarded; ++i)
        if (readBlock(fd, dosPath, discard) != 0)
            return -1;

    if (readBlockInto(fd, dosPath, 0, 0, placedInFree) != 0)
        return -1;

    sector = 1;
    for (int n = 9; n != layout.tailStop; --n)
        if (readBlockInto(fd, dosPath, 0, sector++, placedInFree) != 0)
            return -1;
    return placedInFree;
}
