#include "catalog.h"

#include "bcd.h"
#include "disk_image.h"

namespace {

// Byte offsets within a file entry.
constexpr int EntryListTrack = 0;
constexpr int EntryListSector = 1;
constexpr int EntryType = 2;
constexpr int EntryName = 3;
constexpr int EntryStamp = 27; // seconds, minutes, hours, year, day, month
constexpr int EntryCountLow = 33;
constexpr int EntryCountHigh = 34;

constexpr uint8_t TextFileType = 0x00;

uint8_t bcdByte(int32_t value)
{
    return static_cast<uint8_t>(dec2hex(value));
}

} // namespace

uint8_t diskTrackByte(int32_t track)
{
    return track == 0 ? uint8_t{0x40} : static_cast<uint8_t>(track);
}

uint8_t catalogNameByte(char ch)
{
    auto byte = static_cast<uint8_t>(ch);
    if (static_cast<signed char>(ch) >= 'a')
        byte = static_cast<uint8_t>(byte + 0x60);
    return static_cast<uint8_t>(byte | 0x80);
}

void fillCatalogEntry(CatalogEntry entry, int32_t listTrack, int32_t listSector, std::string_view name,
                      const TimeRecord& time, int32_t sectorCount)
{
    entry[EntryListTrack] = diskTrackByte(listTrack);
    entry[EntryListSector] = static_cast<uint8_t>(listSector);
    entry[EntryType] = TextFileType;
    for (size_t i = 0; i < CatalogNameBytes; ++i)
        entry[EntryName + i] = catalogNameByte(i < name.size() ? name[i] : ' ');
    const int32_t stamp[6] = {time.seconds, time.minutes, time.hours, time.year, time.day, time.month};
    for (size_t i = 0; i < 6; ++i)
        entry[EntryStamp + i] = bcdByte(stamp[i]);
    entry[EntryCountLow] = static_cast<uint8_t>(sectorCount & 0xFF);
    entry[EntryCountHigh] = static_cast<uint8_t>((sectorCount >> 8) & 0xFF);
}

CatalogLink followLink(CatalogWalk& walk, int32_t track, int32_t sector)
{
    if (sector == 0) // only the sector ends the chain; the track is not tested
        return CatalogLink::End;
    if (track < 0 || track >= NumTracks || sector < 0 || sector >= NumSectors)
        return CatalogLink::OutsideImage;
    bool& seen = walk.visited[static_cast<size_t>(track)][static_cast<size_t>(sector)];
    if (seen)
        return CatalogLink::Revisited;
    seen = true;
    return CatalogLink::Follow;
}
