// The diskette's catalog as the suite reads and writes it: where the file
// entries lie in a catalog sector, their fields, how names and track
// numbers are stored, and why a walk along the chain ended early. (The walk
// itself, followLink, is part of the image model, whose save needs it.)
#pragma once

#include "disk_image.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>

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

inline constexpr int CatalogNameBytes = 24; // of a recorded file; 30 with the stamp's room
inline constexpr uint8_t TextFileType = 0x00;

using CatalogEntry = std::span<uint8_t, EntryBytes>;

// A track number as the diskette stores it: track 0 as 0x40.
uint8_t diskTrackByte(int32_t track);

// One character of a file name as the catalog stores it: from 'a' (taken
// as a signed byte) on, 0x20 less; then the high bit set.
uint8_t catalogNameByte(char ch);

// Prints on stream why the walk ended at (track, sector), for the links
// followLink calls OutsideImage and Revisited.
void printCatalogGuard(std::FILE* stream, CatalogLink link, int32_t track, int32_t sector);
