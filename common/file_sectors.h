// The sectors a catalogued file uses, found along its track/sector lists,
// and what all the files of a diskette use together. Every program that
// reads, writes, frees or checks a file's sectors goes through this walk.
//
// The walk: from the list named in entry bytes 0-1, each list along its link
// (bytes 1-2; 0/0 ends the chain), and in each list all 122 pairs from byte
// 0x0C. A pair 0/0 is a hole: it uses no sector, and the walk goes on past
// it. A stored track 0x40 stands for track 0. A list or pair outside the
// image, or a link back to a list read already, breaks the walk there.
#pragma once

#include "catalog.h"

#include <array>
#include <cstdint>

inline constexpr int PairsPerList = 122;
// Offsets within a T/S list sector.
inline constexpr int ListNextTrack = 0x01; // and the sector at 0x02
inline constexpr int ListFirstSector = 0x05; // the file's data sector number of pair 0, two bytes
inline constexpr int ListPairs = 0x0C;     // track and sector of data sector k at 0x0C + 2k

using SectorSet = std::array<std::array<bool, MaxSectors>, MaxTracks>;

enum class FilePart {
    List, // a T/S list sector, before its pairs
    Data, // a data sector
    Hole, // a pair 0/0: no sector
};

enum class ListBreak {
    None,
    ListOutside,   // a list (the first one, or a link) outside the image
    ListRevisited, // a link back to a list read already
    DataOutside,   // a data pair outside the image
};

struct FileWalk {
    ListBreak broken = ListBreak::None;
    int32_t track = 0; // where it broke
    int32_t sector = 0;
    int lists = 0;       // lists read
    int dataSectors = 0; // pairs that name a sector
};

// Whether (track, sector) lies on the loaded image.
bool onImage(int32_t track, int32_t sector);

// Walks the file of entry: calls visit(part, track, sector) for each list,
// then for each of its pairs in order, until visit returns true (the walk
// then ends where it is, unbroken).
template <class Visit>
FileWalk walkFile(CatalogEntry entry, Visit&& visit)
{
    FileWalk walk;
    SectorSet listsRead{};
    int32_t track = trackOfByte(entry[EntryListTrack]);
    int32_t sector = entry[EntryListSector];
    auto breakAt = [&](ListBreak why, int32_t t, int32_t s) {
        walk.broken = why;
        walk.track = t;
        walk.sector = s;
        return walk;
    };
    for (;;) {
        if (!onImage(track, sector))
            return breakAt(ListBreak::ListOutside, track, sector);
        bool& read = listsRead[static_cast<size_t>(track)][static_cast<size_t>(sector)];
        if (read)
            return breakAt(ListBreak::ListRevisited, track, sector);
        read = true;
        ++walk.lists;
        if (visit(FilePart::List, track, sector))
            return walk;
        const auto list = sectorAt(track, sector);
        for (int pair = ListPairs; pair < SectorBytes; pair += 2) {
            const uint8_t trackByte = list[static_cast<size_t>(pair)];
            const uint8_t sectorByte = list[static_cast<size_t>(pair) + 1];
            if (trackByte == 0 && sectorByte == 0) {
                if (visit(FilePart::Hole, 0, 0))
                    return walk;
                continue;
            }
            const int32_t dataTrack = trackOfByte(trackByte);
            if (!onImage(dataTrack, sectorByte))
                return breakAt(ListBreak::DataOutside, dataTrack, sectorByte);
            ++walk.dataSectors;
            if (visit(FilePart::Data, dataTrack, sectorByte))
                return walk;
        }
        if (list[ListNextTrack] == 0 && list[ListNextTrack + 1] == 0)
            return walk;
        track = trackOfByte(list[ListNextTrack]);
        sector = list[ListNextTrack + 1];
    }
}

// Every sector the file of entry uses, lists and data, into used (added to
// what it holds).
FileWalk fileSectors(CatalogEntry entry, SectorSet& used);

// What the catalogued files and the catalog of the diskette in Disk use.
struct DiskUsage {
    // How many catalogued files use each sector (at most 255).
    std::array<std::array<uint8_t, MaxSectors>, MaxTracks> files{};
    SectorSet catalog{}; // the catalog chain's sectors, as far as the guard lets the walk go
    int brokenEntry = -1; // offset in Disk of the first file whose lists are broken, or -1
    FileWalk brokenWalk;
};

// Walks the catalog chain (silently: the guard is told where the catalog is
// read for its entries) and every file entry in use.
void findDiskUsage(DiskUsage& usage);

// The first catalogued file in chain order whose lists or data use track t
// sector s: its entry's offset in Disk, or -1 when none does.
int fileUsing(int32_t track, int32_t sector);

// Marks used in the bitmap every sector a file or the catalog uses that the
// bitmap marks free; returns how many it marked.
int markUsedSectorsUsed(const DiskUsage& usage);

// Reports the break of a file's lists with the file's name as the user gave
// it or as the catalog shows it and the image's path, "; nothing written."
// at the end (a failure: it ends the argument form's run).
void reportBrokenFile(const char* name, const char* imagePath, const FileWalk& walk);

// For the writers: when a catalogued file's lists are broken the diskette is
// damaged and nothing is written into it. Reports that file and returns
// true then.
bool refuseDamagedDiskette(const DiskUsage& usage, const char* imagePath);
