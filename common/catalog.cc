#include "catalog.h"

#include "program.h"

#include <algorithm>

uint8_t diskTrackByte(int32_t track)
{
    return track == 0 ? uint8_t{0x40} : static_cast<uint8_t>(track);
}

int32_t trackOfByte(uint8_t byte)
{
    return byte == 0x40 ? 0 : byte;
}

uint8_t catalogNameByte(char ch)
{
    auto byte = static_cast<uint8_t>(ch);
    if (static_cast<signed char>(ch) >= 'a')
        byte = static_cast<uint8_t>(byte + 0x60);
    return static_cast<uint8_t>(byte | 0x80);
}

StoredName storedName(std::string_view name)
{
    StoredName stored{};
    for (size_t i = 0; i < stored.size(); ++i)
        stored[i] = catalogNameByte(i < name.size() ? name[i] : ' ');
    return stored;
}

bool entryInUse(CatalogEntry entry)
{
    return entry[EntryListTrack] != 0 && entry[EntryListTrack] != DeletedEntry;
}

bool entryStamp(CatalogEntry entry, Stamp& stamp)
{
    int value[6];
    for (size_t i = 0; i < 6; ++i) {
        const int byte = entry[EntryStamp + i];
        if (byte >> 4 > 9 || (byte & 0x0F) > 9)
            return false;
        value[i] = (byte >> 4) * 10 + (byte & 0x0F);
    }
    stamp = {value[0], value[1], value[2], value[3], value[4], value[5]};
    return stamp.seconds < 61 && stamp.minutes < 60 && stamp.hours < 24 && stamp.day >= 1 && stamp.day <= 31 &&
           stamp.month >= 1 && stamp.month <= 12;
}

int entryNameLength(CatalogEntry entry)
{
    Stamp stamp{};
    return entryStamp(entry, stamp) ? CatalogNameBytes : FullNameBytes;
}

bool entryNamed(CatalogEntry entry, const StoredName& name)
{
    const auto length = static_cast<size_t>(entryNameLength(entry));
    return std::equal(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(length), entry.begin() + EntryName);
}

void entryShownName(CatalogEntry entry, std::span<char, FullNameBytes + 1> out)
{
    size_t length = 0;
    for (int i = 0; i < entryNameLength(entry); ++i) {
        const int ch = entry[static_cast<size_t>(EntryName + i)] & 0x7F;
        out[length++] = ch < 0x20 || ch == 0x7F ? '?' : static_cast<char>(ch);
    }
    while (length > 0 && out[length - 1] == ' ')
        --length;
    out[length] = '\0';
}

char typeLetter(uint8_t type)
{
    switch (type & 0x7F) {
    case 0x00: return 'T';
    case 0x01: return 'I';
    case 0x02: return 'A';
    case 0x04: return 'B';
    case 0x08: return 'S';
    case 0x10: return 'R';
    case 0x20: return 'A';
    case 0x40: return 'B';
    default: return '?';
    }
}

int entrySectorCount(CatalogEntry entry)
{
    return entry[EntryCountLow] | entry[EntryCountHigh] << 8;
}

void reportCatalogGuard(CatalogLink link, int32_t track, int32_t sector)
{
    // A program may walk the catalog more than once (dskrecord looks up the
    // name of every file it records): the same break is told once a run.
    static CatalogLink toldLink = CatalogLink::Follow;
    static int32_t toldTrack = -1;
    static int32_t toldSector = -1;
    if (link == toldLink && track == toldTrack && sector == toldSector)
        return;
    toldLink = link;
    toldTrack = track;
    toldSector = sector;
    std::FILE* stream = argumentForm() ? stderr : stdout;
    std::fflush(stdout);
    if (link == CatalogLink::OutsideImage)
        std::fprintf(stream,
                     "\nError, the catalog links to track %d sector %d, outside this diskette; "
                     "the catalog ends there.\n\n",
                     static_cast<int>(track), static_cast<int>(sector));
    else if (link == CatalogLink::Revisited)
        std::fprintf(stream,
                     "\nError, the catalog links back to track %d sector %d, read already; "
                     "the catalog ends there.\n\n",
                     static_cast<int>(track), static_cast<int>(sector));
    std::fflush(stream);
}

int findFile(const StoredName& name)
{
    int found = -1;
    walkFiles([&](CatalogEntry entry) {
        if (!entryNamed(entry, name))
            return false;
        found = static_cast<int>(entry.data() - Disk.data());
        return true;
    });
    return found;
}

int findFreeEntry()
{
    int found = -1;
    walkCatalog([&](CatalogEntry entry) {
        if (entry[EntryListTrack] != 0)
            return false;
        found = static_cast<int>(entry.data() - Disk.data());
        return true;
    });
    return found;
}

CatalogEntry entryAt(int offset)
{
    return CatalogEntry(Disk.data() + offset, EntryBytes);
}
