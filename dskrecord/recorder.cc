// Storing a file in the image: the sector allocator, the packed BCD of the
// time stamps, and the recording of one encoded text with its T/S lists
// and catalog entry.
#include "dskrecord.h"

#include "catalog.h"
#include "console.h"
#include "disk_image.h"

#include <algorithm>
#include <array>
#include <cstdio>

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

// ---- Packed BCD

// Worked in 64 bits so that no input can overflow; the result wraps to 32.
int32_t dec2hex(int32_t v)
{
    const int64_t wide = v;
    return static_cast<int32_t>(wide + 6 * (wide / 10));
}

int32_t hex2dec(int32_t v)
{
    const int64_t wide = v;
    return static_cast<int32_t>(wide % 16 + 10 * (wide / 16));
}

// ---- Recording one file

int32_t sectorsNeeded(int32_t size)
{
    const int32_t data = std::max<int32_t>(1, (size + SectorBytes - 1) / SectorBytes);
    return data + (data + PairsPerList - 1) / PairsPerList;
}

namespace {

// Offsets within a T/S list sector.
constexpr int ListNextTrack = 0x01; // and the sector at 0x02
constexpr int ListPairs = 0x0C;     // track and sector of data sector k at 0x0C + 2k

struct Place {
    int32_t track = -1;
    int32_t sector = -1;
};

// Takes the next free sector; false when none is left.
bool take(Place& place)
{
    return getNextTS(place.track, place.sector) == 0;
}

uint8_t bcdByte(int32_t value)
{
    return static_cast<uint8_t>(dec2hex(value));
}

// Fills a recorded text file's entry: first T/S list, type 0x00, the first
// 24 characters of name (blank-padded when shorter), the time stamp in
// packed BCD and the sector count.
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

void writePair(std::span<uint8_t, SectorBytes> sector, int at, const Place& place)
{
    sector[static_cast<size_t>(at)] = diskTrackByte(place.track);
    sector[static_cast<size_t>(at) + 1] = static_cast<uint8_t>(place.sector);
}

} // namespace

int32_t recordFile(std::span<const uint8_t> text, std::string_view name, CatalogEntry entry, const char* path)
{
    Place list;
    if (!take(list))
        return -1;
    const Place firstList = list;
    size_t offset = 0;
    int32_t total = 0;

    for (;;) {
        std::printf("Obtained tsTrack = 0x%02x and tsSector = 0x%02x.\n\n", static_cast<unsigned>(list.track),
                    static_cast<unsigned>(list.sector));
        ++total;
        auto listSector = sectorAt(list.track, list.sector);

        Place data;
        bool taken = take(data);
        bool stored = false;
        for (int k = 0; k < PairsPerList && !stored; ++k) {
            if (!taken)
                return -1;
            std::printf("Obtained data track = 0x%02x and sector = 0x%02x.\n", static_cast<unsigned>(data.track),
                        static_cast<unsigned>(data.sector));
            ++total;
            writePair(listSector, ListPairs + 2 * k, data);
            const size_t count = std::min<size_t>(text.size() - offset, SectorBytes);
            std::ranges::copy(text.subspan(offset, count), sectorAt(data.track, data.sector).begin());
            offset += count;
            stored = offset == text.size();
            if (!stored)
                taken = take(data);
        }
        if (stored)
            break;
        // The list is full and text remains: the sector just taken is the next list.
        if (!taken)
            return -1;
        writePair(listSector, ListNextTrack, data);
        list = data;
    }

    std::printf("\nProcessing complete for file '%s' with sector count of %d.\n\n", path, static_cast<int>(total));
    TimeRecord now{};
    get_time_date(now);
    fillCatalogEntry(entry, firstList.track, firstList.sector, name, now, total);
    return total;
}
