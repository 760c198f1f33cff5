#include "file_sectors.h"

#include "program.h"

bool onImage(int32_t track, int32_t sector)
{
    return track >= 0 && track < NumTracks && sector >= 0 && sector < NumSectors;
}

FileWalk fileSectors(CatalogEntry entry, SectorSet& used)
{
    return walkFile(entry, [&](FilePart part, int32_t track, int32_t sector) {
        if (part != FilePart::Hole)
            used[static_cast<size_t>(track)][static_cast<size_t>(sector)] = true;
        return false;
    });
}

void findDiskUsage(DiskUsage& usage)
{
    usage = DiskUsage{};
    walkCatalog(
        [&](CatalogEntry entry) {
            // The entry's own catalog sector.
            const auto at = static_cast<size_t>(entry.data() - Disk.data());
            usage.catalog[at / TrackSlotBytes][at % TrackSlotBytes / SectorBytes] = true;
            if (!entryInUse(entry))
                return false;
            SectorSet used{};
            const FileWalk walk = fileSectors(entry, used);
            if (walk.broken != ListBreak::None && usage.brokenEntry < 0) {
                usage.brokenEntry = static_cast<int>(entry.data() - Disk.data());
                usage.brokenWalk = walk;
            }
            for (int t = 0; t < NumTracks; ++t)
                for (int s = 0; s < NumSectors; ++s)
                    if (used[static_cast<size_t>(t)][static_cast<size_t>(s)]) {
                        uint8_t& count = usage.files[static_cast<size_t>(t)][static_cast<size_t>(s)];
                        count = static_cast<uint8_t>(count < 255 ? count + 1 : count);
                    }
            return false;
        },
        false);
}

int fileUsing(int32_t track, int32_t sector)
{
    int found = -1;
    walkFiles(
        [&](CatalogEntry entry) {
            walkFile(entry, [&](FilePart part, int32_t t, int32_t s) {
                if (part != FilePart::Hole && t == track && s == sector)
                    found = static_cast<int>(entry.data() - Disk.data());
                return found >= 0;
            });
            return found >= 0;
        },
        false);
    return found;
}

int markUsedSectorsUsed(const DiskUsage& usage)
{
    int marked = 0;
    for (int t = 0; t < NumTracks; ++t) {
        for (int s = 0; s < NumSectors; ++s) {
            const auto ts = static_cast<size_t>(t);
            const auto ss = static_cast<size_t>(s);
            if ((usage.files[ts][ss] == 0 && !usage.catalog[ts][ss]) || !isSectorFree(t, s))
                continue;
            setSectorFree(t, s, false);
            ++marked;
        }
    }
    return marked;
}

void reportBrokenFile(const char* name, const char* imagePath, const FileWalk& walk)
{
    const int t = walk.track;
    const int s = walk.sector;
    switch (walk.broken) {
    case ListBreak::ListOutside:
        reportFailure("\nError, file '%s' on diskette file '%s' has a track/sector list at track %d sector %d, "
                      "outside this diskette; nothing written.\n\n",
                      name, imagePath, t, s);
        break;
    case ListBreak::ListRevisited:
        reportFailure("\nError, the track/sector lists of file '%s' on diskette file '%s' link back to track %d "
                      "sector %d, read already; nothing written.\n\n",
                      name, imagePath, t, s);
        break;
    case ListBreak::DataOutside:
        reportFailure("\nError, file '%s' on diskette file '%s' has a data sector at track %d sector %d, "
                      "outside this diskette; nothing written.\n\n",
                      name, imagePath, t, s);
        break;
    case ListBreak::None:
        break;
    }
}

bool refuseDamagedDiskette(const DiskUsage& usage, const char* imagePath)
{
    if (usage.brokenEntry < 0)
        return false;
    char name[FullNameBytes + 1];
    entryShownName(entryAt(usage.brokenEntry), name);
    reportBrokenFile(name, imagePath, usage.brokenWalk);
    return true;
}
