// The diskette's catalog as the suite reads and writes it: where the file
// entries lie in a catalog sector, their fields, how names and track
// numbers are stored, how a name is matched, and the walk along the chain.
// (The link guard itself, followLink, is part of the image model, whose save
// needs it.)
#pragma once

#include "disk_image.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

inline constexpr int EntryBytes = 35;
inline constexpr std::array<int32_t, 7> EntryOffsets{11, 46, 81, 116, 151, 186, 221};

// Byte offsets within a file entry.
inline constexpr int EntryListTrack = 0;  // first T/S list; 0 marks a free entry, 0xFF a deleted one
inline constexpr int EntryListSector = 1;
inline constexpr int EntryType = 2;       // type bits, bit 7 = locked
inline constexpr int EntryName = 3;       // the name, blank-padded
inline constexpr int EntryStamp = 27;     // time stamp: seconds, minutes, hours, year, day, month
inline constexpr int EntryCountLow = 33;  // sector count, low byte first
inline constexpr int EntryCountHigh = 34;
// A deleted entry keeps its first list's track here, where the name's last byte was.
inline constexpr int EntryDeletedTrack = 32;

inline constexpr int CatalogNameBytes = 24; // of a name followed by a time stamp
inline constexpr int FullNameBytes = 30;    // of a name without one, the stamp's room included
inline constexpr uint8_t TextFileType = 0x00;
inline constexpr uint8_t BinaryFileType = 0x04;
inline constexpr uint8_t LockedBit = 0x80;
inline constexpr uint8_t DeletedEntry = 0xFF;

using CatalogEntry = std::span<uint8_t, EntryBytes>;

// A track number as the diskette stores it: track 0 as 0x40.
uint8_t diskTrackByte(int32_t track);

// The track a stored track byte stands for: 0x40 is track 0.
int32_t trackOfByte(uint8_t byte);

// One character of a file name as the catalog stores it: from 'a' (taken
// as a signed byte) on, 0x20 less; then the high bit set.
uint8_t catalogNameByte(char ch);

// A name as the catalog stores it: every character transformed, blank-padded
// to 30 (a longer name is cut to 30).
using StoredName = std::array<uint8_t, FullNameBytes>;
StoredName storedName(std::string_view name);

// Whether the entry names a file: neither free (byte 0 is 0) nor deleted (0xFF).
bool entryInUse(CatalogEntry entry);

// A time stamp as dskrecord writes it into entry bytes 27-32.
struct Stamp {
    int seconds, minutes, hours, year, day, month;
};

// Whether entry bytes 27-32 hold such a stamp: six packed-BCD bytes, seconds
// below 61, minutes below 60, hours below 24, day 1-31, month 1-12.
bool entryStamp(CatalogEntry entry, Stamp& stamp);

// The name's length: 24 before a stamp, otherwise 30.
int entryNameLength(CatalogEntry entry);

// Whether the entry holds name: its first 24 bytes when the entry holds a
// time stamp, all 30 otherwise. That is how the DOS finds a file by the name
// typed at it, and how every program of the suite finds one.
bool entryNamed(CatalogEntry entry, const StoredName& name);

// The entry's name as a terminal may show it, into out (31 bytes): high bit
// cleared, control characters as '?', trailing blanks dropped.
void entryShownName(CatalogEntry entry, std::span<char, FullNameBytes + 1> out);

// The letter of a file type, byte 2 of the entry with its lock bit ignored:
// T I A B S R, A and B for the two later types, ? for anything else.
char typeLetter(uint8_t type);

// The entry's sector count (bytes 33 and 34).
int entrySectorCount(CatalogEntry entry);

// Tells why the walk ended at (track, sector), for the links followLink
// calls OutsideImage and Revisited: on standard error in the argument form,
// on standard output in the dialogue. A break told already is not told
// again by a later walk.
void reportCatalogGuard(CatalogLink link, int32_t track, int32_t sector);

// How a walk of the catalog ended.
enum class WalkEnd {
    Stopped,  // the visitor asked to stop
    ChainEnd, // the chain's own end
    Guard,    // a link outside the image or back to a sector read already
};

// Walks the catalog chain from the VTOC, with the guard, and calls
// visit(entry) for each of the seven entries of every catalog sector in chain
// order (free and deleted ones included) until it returns true. The guard is
// told (reportCatalogGuard) when tellGuard is set.
template <class Visit>
WalkEnd walkCatalog(Visit&& visit, bool tellGuard = true)
{
    CatalogWalk walk{};
    int32_t track = vtoc()[CatalogNextTrack];
    int32_t sector = vtoc()[CatalogNextSector];
    for (;;) {
        const CatalogLink link = followLink(walk, track, sector);
        if (link == CatalogLink::End)
            return WalkEnd::ChainEnd;
        if (link != CatalogLink::Follow) {
            if (tellGuard)
                reportCatalogGuard(link, track, sector);
            return WalkEnd::Guard;
        }
        auto catalog = sectorAt(track, sector);
        for (int32_t offset : EntryOffsets)
            if (visit(CatalogEntry(catalog.subspan(static_cast<size_t>(offset), EntryBytes))))
                return WalkEnd::Stopped;
        track = catalog[CatalogNextTrack];
        sector = catalog[CatalogNextSector];
    }
}

// The same for the entries that name a file only.
template <class Visit>
WalkEnd walkFiles(Visit&& visit, bool tellGuard = true)
{
    return walkCatalog([&](CatalogEntry entry) { return entryInUse(entry) && visit(entry); }, tellGuard);
}

// The first entry in chain order that holds name (entryNamed), as the DOS
// finds it; its offset in Disk, or -1 when none does (the guard is told when
// the chain breaks first).
int findFile(const StoredName& name);

// The first free entry in chain order (byte 0 is 0; a deleted entry, 0xFF,
// is never offered), the one a new file takes; its offset in Disk, or -1
// when the chain has none (the guard is told when the chain breaks first).
int findFreeEntry();

// The entry at an offset in Disk that findFile or findFreeEntry returned.
CatalogEntry entryAt(int offset);
