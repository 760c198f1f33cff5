#include "placement.h"

#include "disk_image.h"

#include <array>
#include <cstdio>
#include <unistd.h>

namespace {

int readBlock(int fd, const char* dosPath, uint8_t* into)
{
    ssize_t got = read(fd, into, SectorBytes);
    if (got != SectorBytes) {
        std::printf("\nError from read() for DOS file '%s', read %d bytes and not %d bytes.\n\n", dosPath,
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
    return readBlock(fd, dosPath, sectorAt(track, sector).data());
}

} // namespace

int placeDos(int version, int fd, const char* dosPath)
{
    if (version < 1 || version > 3)
        return -1;
    const DosLayout& layout = DosLayouts[version - 1];

    int placedInFree = 0;
    int track = 0;
    int sector = layout.startSector;
    if (readBlockInto(fd, dosPath, track, sector, placedInFree) != 0)
        return -1;
    for (;;) {
        if (++sector == 16) {
            sector = 0;
            ++track;
        }
        if (track == layout.endTrack && sector == layout.endSector)
            break;
        if (readBlockInto(fd, dosPath, track, sector, placedInFree) != 0)
            return -1;
    }

    std::array<uint8_t, SectorBytes> discard{};
    for (int i = 0; i < layout.discarded; ++i)
        if (readBlock(fd, dosPath, discard.data()) != 0)
            return -1;

    if (readBlockInto(fd, dosPath, 0, 0, placedInFree) != 0)
        return -1;

    sector = 1;
    for (int n = 9; n != layout.tailStop; --n)
        if (readBlockInto(fd, dosPath, 0, sector++, placedInFree) != 0)
            return -1;
    return placedInFree;
}
