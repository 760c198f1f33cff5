// Stores one encoded text file in the image: T/S lists, data sectors and
// its catalog entry.
#pragma once

#include "catalog.h"
#include "console.h"

#include <cstdint>
#include <span>
#include <string_view>

// Fills a recorded text file's entry: first T/S list, type 0x00, the first
// 24 characters of name (blank-padded when shorter), the time stamp in
// packed BCD and the sector count.
void fillCatalogEntry(CatalogEntry entry, int32_t listTrack, int32_t listSector, std::string_view name,
                      const TimeRecord& time, int32_t sectorCount);

// Data sectors one T/S list describes.
inline constexpr int PairsPerList = 122;

// Takes sectors with getNextTS in file order (a T/S list, its data sectors,
// the next list after every 122 data sectors), copies text into the data
// sectors, prints a trace line for every sector and the completion line
// naming path, then fills entry for name with the current time. Returns the
// sector total (data and list sectors), or -1 when the sectors ran out;
// Disk is then part-written and must not be saved.
int32_t recordFile(std::span<const uint8_t> text, std::string_view name, CatalogEntry entry, const char* path);
