#include "recorder.h"

#include "allocator.h"
#include "bcd.h"
#include "disk_image.h"

#include <algorithm>
#include <cstdio>

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

} // namespace

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

namespace {

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
