// The diskette image held in memory: geometry table, sector layout, VTOC,
// free-sector bitmap, and the load and save of the image file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr int SectorBytes = 256;
inline constexpr int TrackSlotBytes = 8192; // room for 32 sectors, whatever the image has
inline constexpr int MaxTracks = 48;
inline constexpr int DiskBytes = MaxTracks * TrackSlotBytes;
inline constexpr int CatalogTrack = 17;

struct DiskSize {
    int32_t fileSize;
    int32_t tracks;
    int32_t sectors;
};

// The recognised image sizes, searched in this order.
inline constexpr std::array<DiskSize, 6> DiskSizes{{
    {143360, 35, 16},
    {163840, 40, 16},
    {196608, 48, 16},
    {286720, 35, 32},
    {327680, 40, 32},
    {393216, 48, 32},
}};

// Geometry of the loaded image; 0 until one is recognised.
extern int32_t NumTracks;
extern int32_t NumSectors;

// The image: sector s of track t lies at t * 8192 + s * 256.
extern std::array<uint8_t, DiskBytes> Disk;

// VTOC fields (track 17 sector 0).
inline constexpr int VtocOffset = CatalogTrack * TrackSlotBytes;
inline constexpr int VtocCatalogTrack = 0x01;
inline constexpr int VtocCatalogSector = 0x02;
inline constexpr int VtocLastAllocatedTrack = 0x30;
inline constexpr int VtocBitmap = 0x38; // four bytes per track

constexpr int sectorOffset(int track, int sector)
{
    return track * TrackSlotBytes + sector * SectorBytes;
}

// The 256 bytes of sector s of track t in Disk; both must be inside the buffer.
std::span<uint8_t, SectorBytes> sectorAt(int track, int sector);

// The VTOC as a sector of Disk.
std::span<uint8_t, SectorBytes> vtoc();

// Sets NumTracks and NumSectors from the first row of DiskSizes whose size
// equals fileSize. Returns false (geometry left as it was) when none does.
bool detectGeometry(int64_t fileSize);

// Reads the image at path into Disk, sector by sector, for the detected
// geometry. Prints the open or short-read message and returns -1 on failure.
int loadDisk(const char* path);

// Number of set bits in the bitmap bytes of the first NumTracks tracks.
int countFree();

// Writes Disk back over the existing file at path (never creating or
// truncating it). Prints the open or short-write message and returns -1 on failure.
int saveDisk(const char* path);

// The image question both diskette programs open with. Asks for the diskette
// image until its status can be got, detects its geometry and loads it into
// Disk. A failed status query is reported, paused on and asked again; an
// unrecognised size or a failed load is reported and paused on. Returns 0
// with the image loaded and its path in path, or -1 when the program should
// end (an empty answer included).
int askForImage(std::span<char> path);
