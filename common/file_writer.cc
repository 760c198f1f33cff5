#include "file_writer.h"

#include "program.h"

#include <algorithm>
#include <array>

// ---- The allocator

namespace {

// The four bitmap bytes of a track in search order, each with the sector
// that its bit 0 stands for; bits are tested from 7 down, so the sectors
// come strictly from 31 down to 0.
struct BitmapByte {
    int index;
    int lowestSector;
};
constexpr std::array<BitmapByte, 4> SearchOrder{{{2, 24}, {3, 16}, {0, 8}, {1, 0}}};

// Takes the highest free sector of track t; returns it, or -1 when none is free.
int32_t takeFromTrack(int32_t t)
{
    auto table = vtoc();
    for (const BitmapByte& byte : SearchOrder) {
        const int index = VtocBitmap + 4 * t + byte.index;
        for (int bit = 7; bit >= 0; --bit) {
            const int32_t s = byte.lowestSector + bit;
            const auto mask = static_cast<uint8_t>(1u << bit);
            if (s >= NumSectors || (table[index] & mask) == 0)
                continue;
            table[index] = static_cast<uint8_t>(table[index] & ~mask);
            return s;
        }
    }
    return -1;
}

} // namespace

int getNextTS(int32_t& track, int32_t& sector)
{
    auto table = vtoc();
    int32_t t = std::min<int32_t>(table[VtocLastAllocatedTrack], NumTracks - 1);
    while (t >= 0) {
        const int32_t s = takeFromTrack(t);
        if (s >= 0) {
            table[VtocLastAllocatedTrack] = static_cast<uint8_t>(t);
            auto taken = sectorAt(t, s);
            std::fill(taken.begin(), taken.end(), uint8_t{0});
            track = t;
            sector = s;
            return 0;
        }
        --t;
        if (t == CatalogTrack)
            --t;
    }
    table[VtocLastAllocatedTrack] = 0xFF;
    track = -1;
    sector = -1;
    return -1;
}

// ---- Space

int32_t sectorsNeeded(int32_t size)
{
    const int32_t data = std::max<int32_t>(1, (size + SectorBytes - 1) / SectorBytes);
    return data + (data + PairsPerList - 1) / PairsPerList;
}

bool roomFor(int32_t size)
{
    return size >= 0 && sectorsNeeded(size) <= countAllocatable(vtoc()[VtocLastAllocatedTrack]);
}

int prepareRecording()
{
    static DiskUsage usage; // large: kept out of the stack
    findDiskUsage(usage);
    const int marked = markUsedSectorsUsed(usage);
    if (marked > 0)
        reportNote("\nNote: %d sectors in use by files or the catalog were marked free in the bitmap; they are "
                   "marked used now.\n",
                   marked);
    vtoc()[VtocLastAllocatedTrack] = static_cast<uint8_t>(NumTracks - 1);
    return marked;
}

// ---- Recording one file

namespace {

struct Place {
    int32_t track = -1;
    int32_t sector = -1;
};

// Takes the next free sector; false when none is left.
bool take(Place& place)
{
    return getNextTS(place.track, place.sector) == 0;
}

void writePair(std::span<uint8_t, SectorBytes> sector, int at, const Place& place)
{
    sector[static_cast<size_t>(at)] = diskTrackByte(place.track);
    sector[static_cast<size_t>(at) + 1] = static_cast<uint8_t>(place.sector);
}

void fillEntry(CatalogEntry entry, const Place& firstList, uint8_t type, const StoredName& name, int32_t count)
{
    entry[EntryListTrack] = diskTrackByte(firstList.track);
    entry[EntryListSector] = static_cast<uint8_t>(firstList.sector);
    entry[EntryType] = type;
    std::ranges::copy(name, entry.begin() + EntryName);
    entry[EntryCountLow] = static_cast<uint8_t>(count & 0xFF);
    entry[EntryCountHigh] = static_cast<uint8_t>((count >> 8) & 0xFF);
}

} // namespace

int32_t recordFile(std::span<const uint8_t> data, uint8_t type, const StoredName& name, CatalogEntry entry,
                   SectorTrace trace)
{
    Place list;
    if (!take(list))
        return -1;
    const Place firstList = list;
    size_t offset = 0;
    int32_t total = 0;
    int32_t listed = 0; // data sectors in the lists before this one

    for (;;) {
        if (trace != nullptr)
            trace(FilePart::List, list.track, list.sector);
        ++total;
        auto listSector = sectorAt(list.track, list.sector);
        // The number of the list's first data sector: the DOS reads past the
        // first list only when each list says where in the file it begins.
        listSector[ListFirstSector] = static_cast<uint8_t>(listed & 0xFF);
        listSector[ListFirstSector + 1] = static_cast<uint8_t>(listed >> 8);

        Place sector;
        bool taken = take(sector);
        bool stored = false;
        for (int k = 0; k < PairsPerList && !stored; ++k) {
            if (!taken)
                return -1;
            if (trace != nullptr)
                trace(FilePart::Data, sector.track, sector.sector);
            ++total;
            writePair(listSector, ListPairs + 2 * k, sector);
            const size_t count = std::min<size_t>(data.size() - offset, SectorBytes);
            std::ranges::copy(data.subspan(offset, count), sectorAt(sector.track, sector.sector).begin());
            offset += count;
            stored = offset == data.size();
            if (!stored)
                taken = take(sector);
        }
        if (stored)
            break;
        // The list is full and data remains: the sector just taken is the next list.
        if (!taken)
            return -1;
        writePair(listSector, ListNextTrack, sector);
        list = sector;
        listed += PairsPerList;
    }
    fillEntry(entry, firstList, type, name, total);
    return total;
}

// ---- Replacing a file

bool replaceable(CatalogEntry entry, uint8_t type, const char* given, const char* imagePath)
{
    if ((entry[EntryType] & LockedBit) != 0) {
        reportFailure("\nError, '%s' is locked on diskette file '%s'.\n\n", given, imagePath);
        return false;
    }
    if ((entry[EntryType] & ~LockedBit) != type) {
        reportFailure("\nError, '%s' on diskette file '%s' is not a %s file.\n\n", given, imagePath,
                      type == BinaryFileType ? "binary" : "text");
        return false;
    }
    SectorSet used{};
    const FileWalk walk = fileSectors(entry, used);
    if (walk.broken != ListBreak::None) {
        reportBrokenFile(given, imagePath, walk);
        return false;
    }
    return true;
}

int entryForName(const StoredName& name, uint8_t type, bool replace, const char* given, const char* imagePath)
{
    const int found = findFile(name);
    if (found < 0)
        return NewEntry;
    if (!replace) {
        reportFailure("\nError, '%s' is already on diskette file '%s'; give --replace to replace it.\n\n", given,
                      imagePath);
        return Refused;
    }
    return replaceable(entryAt(found), type, given, imagePath) ? found : Refused;
}

void collectSectorsToFree(CatalogEntry entry, const DiskUsage& usage, SectorSet& toFree)
{
    SectorSet used{};
    fileSectors(entry, used);
    for (int t = 0; t < NumTracks; ++t)
        for (int s = 0; s < NumSectors; ++s) {
            const auto ts = static_cast<size_t>(t);
            const auto ss = static_cast<size_t>(s);
            const bool isVtoc = t == CatalogTrack && s == 0;
            if (used[ts][ss] && usage.files[ts][ss] <= 1 && !usage.catalog[ts][ss] && !isVtoc)
                toFree[ts][ss] = true;
        }
}

void freeSectors(const SectorSet& toFree)
{
    for (int t = 0; t < NumTracks; ++t)
        for (int s = 0; s < NumSectors; ++s)
            if (toFree[static_cast<size_t>(t)][static_cast<size_t>(s)])
                setSectorFree(t, s, true);
}
