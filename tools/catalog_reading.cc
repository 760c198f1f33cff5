#include "catalog_reading.h"

#include "program.h"

#include <cstdio>

WalkEnd walkCatalog(bool (*visit)(CatalogEntry entry))
{
    CatalogWalk walk{};
    int32_t track = vtoc()[CatalogNextTrack];
    int32_t sector = vtoc()[CatalogNextSector];
    for (;;) {
        const CatalogLink link = followLink(walk, track, sector);
        if (link == CatalogLink::End)
            return WalkEnd::ChainEnd;
        if (link != CatalogLink::Follow) {
            std::fflush(stdout);
            printCatalogGuard(stderr, link, track, sector);
            return WalkEnd::Guard;
        }
        auto catalog = sectorAt(track, sector);
        for (int32_t offset : EntryOffsets) {
            CatalogEntry entry(catalog.subspan(static_cast<size_t>(offset), EntryBytes));
            const uint8_t first = entry[EntryListTrack];
            if (first != 0x00 && first != 0xFF && visit(entry))
                return WalkEnd::Stopped;
        }
        track = catalog[CatalogNextTrack];
        sector = catalog[CatalogNextSector];
    }
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
