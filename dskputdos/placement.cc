// The DOS file laid down on tracks 0 to 2 in its version's layout, and the
// refusal to lay it over what the catalog holds.
#include "dskputdos.h"

#include "dos_layout.h"
#include "file_sectors.h"
#include "program.h"

#include <algorithm>
#include <array>
#include <unistd.h>

namespace {

// Whether the installation writes or clears track t sector s.
bool dosChanges(int version, int track, int sector)
{
    return track <= 1 || dosPlacesBlockAt(version, track, sector);
}

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

} // namespace

bool refuseOverFiles(int version, const char* imagePath)
{
    static DiskUsage usage; // large: kept out of the stack
    findDiskUsage(usage);
    for (int track = 0; track <= 2; ++track) {
        for (int sector = 0; sector < NumSectors; ++sector) {
            const auto t = static_cast<size_t>(track);
            const auto s = static_cast<size_t>(sector);
            if (!dosChanges(version, track, sector))
                continue;
            if (usage.files[t][s] > 0) {
                char name[FullNameBytes + 1] = "";
                if (const int entry = fileUsing(track, sector); entry >= 0)
                    entryShownName(entryAt(entry), name);
                reportFailure("\nError, the DOS would overwrite file '%s' on track %d sector %d of diskette file "
                              "'%s'; nothing written.\n\n",
                              name, track, sector, imagePath);
                return true;
            }
            if (usage.catalog[t][s]) {
                reportFailure("\nError, the DOS would overwrite the catalog sector on track %d sector %d of "
                              "diskette file '%s'; nothing written.\n\n",
                              track, sector, imagePath);
                return true;
            }
        }
    }
    return false;
}

void clearDosTracks()
{
    for (int track = 0; track <= 1; ++track)
        for (int sector = 0; sector < NumSectors; ++sector)
            std::ranges::fill(sectorAt(track, sector), uint8_t{0});
}

int placeDos(int version, int fd, const char* dosPath)
{
    int placedInFree = 0;
    std::array<uint8_t, SectorBytes> dropped{};
    for (int block = 0; block < DosBlocks; ++block) {
        const DosPlace place = dosBlockPlace(version, block);
        if (place.nowhere()) {
            if (readBlock(fd, dosPath, dropped) != 0)
                return -1;
            continue;
        }
        if (isSectorFree(place.track, place.sector))
            ++placedInFree;
        if (readBlock(fd, dosPath, sectorAt(place.track, place.sector)) != 0)
            return -1;
    }
    return placedInFree;
}
