// Writing a file into the diskette image in memory: the sector allocator,
// the space a file takes, and the recording of a file's data with its
// track/sector lists and catalog entry. dskrecord and dskputbin record
// their files through these, in the same order.
#pragma once

#include "catalog.h"
#include "file_sectors.h"

#include <cstdint>
#include <span>

// Takes the next free sector: from the track in VTOC byte 0x30 down to
// track 0, passing over the catalog track when stepping down, and within a
// track from the highest sector down to 0. The sector is marked used in the
// bitmap, cleared to zeros, and its track is written to byte 0x30.
// Returns 0, or -1 (both results -1, byte 0x30 = 0xFF, nothing else
// changed) when no free sector is left.
//
// Only sectors the image file holds are handed out: tracks below NumTracks
// (a start track above them begins at the highest) and sectors below
// NumSectors, so bitmap bits of sectors 16 to 31 on a 16-sector image are
// ignored; a file placed there would be lost when the image is saved.
int getNextTS(int32_t& track, int32_t& sector);

// The sectors a file of size bytes takes: its data sectors (at least one)
// and one T/S list for every 122 of them begun.
int32_t sectorsNeeded(int32_t size);

// Whether a file of size bytes fits in the sectors the allocator can still
// hand out, its T/S lists included: a file that passes always fits.
bool roomFor(int32_t size);

// Gets the diskette in Disk ready for recordings: passes over what the
// catalogued files and the catalog use even where the bitmap marks it free
// (those sectors are marked used, and a note says how many when there are
// any: in the dialogue on standard output, given arguments on standard
// error), then sets VTOC byte 0x30 so the allocator starts on the highest
// track. Returns how many sectors were marked.
int prepareRecording();

// Called for every sector a recording takes, for a trace of the recording.
using SectorTrace = void (*)(FilePart part, int32_t track, int32_t sector);

// Records data as a file: takes sectors with getNextTS in file order (a T/S
// list, its data sectors, the next list after every 122 data sectors, each
// list's bytes 5-6 holding the number of its first data sector), copies the
// data into the data sectors, then fills entry: the first list, type, the
// 30 bytes of name, and the sector count (data and list sectors). Returns
// that count, or -1 when the sectors ran out; Disk is then part-written and
// must not be saved.
int32_t recordFile(std::span<const uint8_t> data, uint8_t type, const StoredName& name, CatalogEntry entry,
                   SectorTrace trace = nullptr);

// ---- Replacing a file

// Whether the old file of entry may be replaced by a new one of type, for a
// file the user named given: not locked (checked first), of that type (the
// lock bit aside; text and binary types are told by name), and with T/S
// lists that are not broken. Otherwise reports why (a failure) and returns
// false.
bool replaceable(CatalogEntry entry, uint8_t type, const char* given, const char* imagePath);

// The entry a new file of type named name goes into when the catalog holds
// that name already (the first match in chain order, as the DOS finds it),
// for a file the user named given. Returns NewEntry when no file has the
// name; the entry's offset in Disk when replace is set and that file may be
// replaced (replaceable); otherwise reports why (without replace: the name
// is on the diskette already) and returns Refused.
inline constexpr int NewEntry = -1;
inline constexpr int Refused = -2;
int entryForName(const StoredName& name, uint8_t type, bool replace, const char* given, const char* imagePath);

// Adds to toFree every sector the file of entry uses that no other
// catalogued file, and not the catalog, also uses (usage as found before
// the run changed anything). The sectors are freed in the bitmap only by
// freeSectors, once the run has recorded everything: a sector freed by a
// run is never handed out again in the same run, and the save frees it
// only after the catalog no longer names it.
void collectSectorsToFree(CatalogEntry entry, const DiskUsage& usage, SectorSet& toFree);

// Marks free in the bitmap every sector of toFree.
void freeSectors(const SectorSet& toFree);
