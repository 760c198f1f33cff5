// The diskette image held in memory: geometry table, sector layout, VTOC,
// free-sector bitmap, the catalog chain, and the load and save of the
// image file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr int SectorBytes = 256;
inline constexpr int TrackSlotBytes = 8192; // room for 32 sectors, whatever the image has
inline constexpr int MaxTracks = 48;
inline constexpr int MaxSectors = 32;
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
inline constexpr int VtocPairsPerList = 0x27; // 122 on a DOS 3.3 diskette
inline constexpr int VtocTracks = 0x34;
inline constexpr int VtocSectors = 0x35;
inline constexpr int VtocBitmap = 0x38; // four bytes per track

// Where DOS sector s of a track lies within the track in an image kept in
// ProDOS order (a ".po" file): 256 x ProdosPlace[s] from the track's start.
// The table is its own inverse. Only 16-sector images have this order.
inline constexpr std::array<int, 16> ProdosPlace{0, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 15};

// Whether the path names an image in ProDOS order: its name ends in ".po",
// in any case. Every other name is in DOS order.
bool prodosOrderName(const char* path);

constexpr int sectorOffset(int track, int sector)
{
    return track * TrackSlotBytes + sector * SectorBytes;
}

// The 256 bytes of sector s of track t in Disk; both must be inside the buffer.
std::span<uint8_t, SectorBytes> sectorAt(int track, int sector);

// The VTOC as a sector of Disk.
std::span<uint8_t, SectorBytes> vtoc();

// Where the bitmap keeps sector s of track t: four bytes a track, sectors
// 15-8, 7-0, 31-24, 23-16, the highest sector of each byte in bit 7.
struct BitmapBit {
    int index; // VTOC byte
    uint8_t mask;
};
constexpr BitmapBit bitmapBit(int track, int sector)
{
    const int byte = sector >= 16 ? 2 + (31 - sector) / 8 : (15 - sector) / 8;
    return {VtocBitmap + 4 * track + byte, static_cast<uint8_t>(1u << (sector % 8))};
}

// Whether the bitmap marks sector s of track t free.
bool isSectorFree(int track, int sector);

// Marks sector s of track t free, or used, in the bitmap.
void setSectorFree(int track, int sector, bool free);

// Sets NumTracks and NumSectors from the first row of DiskSizes whose size
// equals fileSize. Returns false (geometry left as it was) when none does.
bool detectGeometry(int64_t fileSize);

// Number of set bits in the bitmap bytes of the first NumTracks tracks.
int countFree();

// The sectors a recording can still be given: free sectors below
// NumSectors on the tracks from fromTrack down to 0, the catalog track
// passed over. This is what the allocator can hand out when it starts on
// fromTrack.
int countAllocatable(int32_t fromTrack);

// Whether the VTOC in Disk describes a DOS 3.3 diskette of the loaded
// geometry: 122 pairs per T/S list, NumTracks tracks, NumSectors sectors.
bool dos33Vtoc();

// How the program uses the image it loads.
enum class DiskUse {
    Read,       // only read, under a shared lock; a VTOC that is not DOS 3.3's is told, and read as it stands
    Inspect,    // only read, under a shared lock; the VTOC is the program's to judge
    ReadStrict, // only read, under a shared lock; what is not a DOS 3.3 diskette is refused
    Change,     // written back: opened for writing and locked to the end of the run; only a DOS 3.3 diskette
    Record,     // as Change, and a diskette with a file whose T/S lists are broken is refused
};

// Reads the image at path into Disk, sector by sector, for the detected
// geometry, in the order its name says (DOS order, or ProDOS order for a
// ".po" name). For DiskUse::Change and Record the image is then opened for
// writing and locked for the rest of the run, so no other program of the
// suite changes it meanwhile, and what was loaded is kept to compare the
// file with before the save. Prints the message of a failure (open, short
// read, open for writing, in use) and returns -1.
int loadDisk(const char* path, DiskUse use);

// Writes back the sectors of Disk that differ from what was loaded, in an
// order that keeps every catalogued file whole at every moment: first the
// sectors that are neither the VTOC nor in the catalog chain, then the VTOC
// (still marking used the sectors this run frees), then the catalog sectors,
// and last the VTOC with those sectors free; each step reaches the device
// before the next. So a sector is freed only once the catalog no longer
// names it. Nothing is written when the path no longer names the file that
// was loaded, or the file no longer holds what was loaded, or standard
// output cannot be written (argument form). A failed write in the catalog
// step puts back the catalog sectors already written. Prints the message of
// a failure and returns -1; nothing more is written after one.
int saveDisk(const char* path);

// Gets the status of the image at path, detects its geometry from its size
// and loads it (loadDisk), then judges it as use says. Reports each
// failure; returns 0, ImageMissing when the status could not be got, or -1.
inline constexpr int ImageMissing = -2;
int loadImage(const char* path, DiskUse use);

// The image question both diskette programs open with. Asks for the diskette
// image until its status can be got, detects its geometry and loads it into
// Disk for a recording (DiskUse::Record). A failed status query is reported, paused on and asked
// again; an unrecognised size or a failed load is reported and paused on.
// Returns 0 with the image loaded and its path in path, or -1 when the
// program should end (an empty answer included).
int askForImage(std::span<char> path);

// A walk along the catalog chain. Links are followed as they stand, but one
// that leaves the image or comes back to a sector already read ends the
// walk, so nothing outside the image is read and the walk always ends.
inline constexpr int CatalogNextTrack = 0x01; // the link, in a catalog sector and in the VTOC
inline constexpr int CatalogNextSector = 0x02;

struct CatalogWalk {
    std::array<std::array<bool, MaxSectors>, MaxTracks> visited{};
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
