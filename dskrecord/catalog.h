// Catalog sectors and file entries: where the entries lie, how a recorded
// file's entry is filled, and a walk along the catalog chain that always ends.
#pragma once

#include "console.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

inline constexpr int EntryBytes = 35;
inline constexpr std::array<int32_t, 7> EntryOffsets{11, 46, 81, 116, 151, 186, 221};
inline constexpr int CatalogNameBytes = 24;

// Link to the next catalog sector, in a catalog sector and in the VTOC.
inline constexpr int CatalogNextTrack = 0x01;
inline constexpr int CatalogNextSector = 0x02;

using CatalogEntry = std::span<uint8_t, EntryBytes>;

// A track number as the diskette stores it: track 0 as 0x40.
uint8_t diskTrackByte(int32_t track);

// One character of a file name as the catalog stores it: from 'a' (taken
// as a signed byte) on, 0x20 less; then the high bit set.
uint8_t catalogNameByte(char ch);

// Fills a recorded text file's entry: first T/S list, type 0x00, the first
// 24 characters of name (blank-padded when shorter), the time stamp in
// packed BCD and the sector count.
void fillCatalogEntry(CatalogEntry entry, int32_t listTrack, int32_t listSector, std::string_view name,
                      const TimeRecord& time, int32_t sectorCount);

// A walk along the catalog chain. Links are followed as they stand, but one
// that leaves the image or comes back to a sector already read ends the
// walk, so nothing outside the image is read and the walk always ends.
struct CatalogWalk {
    std::array<std::array<bool, 32>, 48> visited{};
};

enum class CatalogLink {
    Follow,       // a catalog sector to read next
    End,          // sector 0: the chain's normal end
    OutsideImage, // track or sector beyond the image's geometry
    Revisited,    // a sector this walk has read already
};

// Judges the link to (track, sector) and, when it is to be followed, marks
// the sector as read.
CatalogLink followLink(CatalogWalk& walk, int32_t track, int32_t sector);
