#include "disk_image.h"

#include "console.h"
#include "program.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

int32_t NumTracks = 0;
int32_t NumSectors = 0;
std::array<uint8_t, DiskBytes> Disk{};

std::span<uint8_t, SectorBytes> sectorAt(int track, int sector)
{
    return std::span<uint8_t, SectorBytes>(Disk.data() + sectorOffset(track, sector), SectorBytes);
}

std::span<uint8_t, SectorBytes> vtoc()
{
    return sectorAt(CatalogTrack, 0);
}

bool detectGeometry(int64_t fileSize)
{
    for (const DiskSize& row : DiskSizes) {
        if (row.fileSize == fileSize) {
            NumTracks = row.tracks;
            NumSectors = row.sectors;
            return true;
        }
    }
    return false;
}

bool isSectorFree(int track, int sector)
{
    const BitmapBit bit = bitmapBit(track, sector);
    return (vtoc()[static_cast<size_t>(bit.index)] & bit.mask) != 0;
}

int countFree()
{
    int count = 0;
    auto table = vtoc();
    for (int i = VtocBitmap; i < VtocBitmap + 4 * NumTracks && i < SectorBytes; ++i)
        count += std::popcount(table[i]);
    return count;
}

int countAllocatable(int32_t fromTrack)
{
    int count = 0;
    for (int32_t track = std::min(fromTrack, NumTracks - 1); track >= 0; --track)
        for (int sector = 0; sector < NumSectors && track != CatalogTrack; ++sector)
            count += isSectorFree(track, sector) ? 1 : 0;
    return count;
}

namespace {

// What was loaded, for the image a program changes: the file must still
// hold it when the changes are written back.
std::array<uint8_t, DiskBytes> Loaded{};
// The image opened for writing and locked, from the load to the end of the run.
int HeldFd = -1;

int64_t fileOffset(int track, int sector)
{
    return (int64_t{track} * NumSectors + sector) * SectorBytes;
}

// A non-blocking advisory lock. Only another holder refuses it: on a file
// system without locks the run goes on, the read-back before the save
// still guarding the image.
bool lockTaken(int fd, int operation, const char* path)
{
    if (flock(fd, operation | LOCK_NB) == 0 || errno != EWOULDBLOCK)
        return true;
    reportFailure("\nError, diskette file '%s' is in use by another program.\n\n", path);
    return false;
}

void reportShortRead(const char* path, ssize_t got)
{
    reportFailure("\nError from read() for diskette file '%s', read %d bytes and not %d bytes.\n\n", path,
                  static_cast<int>(got), SectorBytes);
}

int readSectors(int fd, const char* path)
{
    Disk.fill(0);
    for (int track = 0; track < NumTracks; ++track) {
        for (int sector = 0; sector < NumSectors; ++sector) {
            const ssize_t got = read(fd, sectorAt(track, sector).data(), SectorBytes);
            if (got != SectorBytes) {
                reportShortRead(path, got);
                return -1;
            }
        }
    }
    return 0;
}

// Opens the loaded image for writing and locks it for the rest of the run.
int holdForChange(const char* path)
{
    const int fd = open(path, O_RDWR);
    if (fd < 0) {
        reportFailure("\nError from open() to write diskette file '%s'.\n\n", path);
        return -1;
    }
    if (!lockTaken(fd, LOCK_EX, path)) {
        close(fd);
        return -1;
    }
    if (HeldFd >= 0) // one image a run: an earlier one is let go
        close(HeldFd);
    HeldFd = fd;
    Loaded = Disk;
    return 0;
}

std::span<const uint8_t> loadedSector(int track, int sector)
{
    return std::span(Loaded).subspan(static_cast<size_t>(sectorOffset(track, sector)), SectorBytes);
}

bool sectorChanged(int track, int sector)
{
    const auto now = sectorAt(track, sector);
    return !std::equal(now.begin(), now.end(), loadedSector(track, sector).begin());
}

// Whether the file still holds what was loaded: its size and every sector.
bool fileUnchanged(const char* path, bool& readFailed)
{
    struct stat status{};
    if (fstat(HeldFd, &status) != 0 || status.st_size != fileOffset(NumTracks, 0))
        return false;
    std::array<uint8_t, SectorBytes> sector{};
    for (int track = 0; track < NumTracks; ++track) {
        for (int s = 0; s < NumSectors; ++s) {
            const ssize_t got = pread(HeldFd, sector.data(), SectorBytes, fileOffset(track, s));
            if (got != SectorBytes) {
                reportShortRead(path, got);
                readFailed = true;
                return false;
            }
            if (!std::equal(sector.begin(), sector.end(), loadedSector(track, s).begin()))
                return false;
        }
    }
    return true;
}

// The sectors of the catalog chain as it was loaded, walked with the guard.
using SectorSet = std::array<std::array<bool, MaxSectors>, MaxTracks>;

SectorSet loadedCatalog()
{
    CatalogWalk walk{};
    const auto loadedVtoc = loadedSector(CatalogTrack, 0);
    int32_t track = loadedVtoc[CatalogNextTrack];
    int32_t sector = loadedVtoc[CatalogNextSector];
    while (followLink(walk, track, sector) == CatalogLink::Follow) {
        const auto catalog = loadedSector(track, sector);
        track = catalog[CatalogNextTrack];
        sector = catalog[CatalogNextSector];
    }
    return walk.visited;
}

int writeSector(const char* path, int track, int sector)
{
    ssize_t put = -1;
    if (lseek(HeldFd, fileOffset(track, sector), SEEK_SET) >= 0)
        put = write(HeldFd, sectorAt(track, sector).data(), SectorBytes);
    if (put == SectorBytes)
        return 0;
    reportFailure("\nError from write() for diskette file '%s', wrote %d bytes and not %d bytes.\n\n", path,
                  static_cast<int>(put), SectorBytes);
    return -1;
}

int syncImage(const char* path)
{
    if (fdatasync(HeldFd) == 0)
        return 0;
    reportFailure("\nError from fdatasync() for diskette file '%s'.\n\n", path);
    return -1;
}

// The three steps of the save, in order: the rest, the VTOC, the catalog.
enum class SaveStep { Rest, Vtoc, Catalog };

// Writes the changed sectors that belong to step, then makes them reach the device.
int writeStep(const char* path, SaveStep step, const SectorSet& catalog)
{
    bool wrote = false;
    for (int track = 0; track < NumTracks; ++track) {
        for (int sector = 0; sector < NumSectors; ++sector) {
            const bool isVtoc = track == CatalogTrack && sector == 0;
            const SaveStep belongs = isVtoc ? SaveStep::Vtoc
                                     : catalog[static_cast<size_t>(track)][static_cast<size_t>(sector)]
                                         ? SaveStep::Catalog
                                         : SaveStep::Rest;
            if (belongs != step || !sectorChanged(track, sector))
                continue;
            if (writeSector(path, track, sector) != 0)
                return -1;
            wrote = true;
        }
    }
    return wrote ? syncImage(path) : 0;
}

} // namespace

int loadDisk(const char* path, DiskUse use)
{
    const int fd = open(path, O_RDONLY);
    if (fd < 0) {
        reportFailure("\nError from open() to read diskette file '%s'.\n\n", path);
        return -1;
    }
    const bool read = (use == DiskUse::Change || lockTaken(fd, LOCK_SH, path)) && readSectors(fd, path) == 0;
    close(fd); // only read: nothing to lose on a failed close
    if (!read)
        return -1;
    return use == DiskUse::Change ? holdForChange(path) : 0;
}

int saveDisk(const char* path)
{
    if (HeldFd < 0) {
        reportFailure("\nError from open() to write diskette file '%s'.\n\n", path);
        return -1;
    }
    bool readFailed = false;
    if (!fileUnchanged(path, readFailed)) {
        if (!readFailed)
            reportFailure("\nError, diskette file '%s' changed since it was loaded; nothing saved.\n\n", path);
        return -1;
    }
    const SectorSet catalog = loadedCatalog();
    for (SaveStep step : {SaveStep::Rest, SaveStep::Vtoc, SaveStep::Catalog})
        if (writeStep(path, step, catalog) != 0)
            return -1;
    const int fd = HeldFd;
    HeldFd = -1;
    if (close(fd) != 0) {
        // A failed close can mean the data never reached the disk (NFS, full disk).
        reportFailure("\nError from close() for diskette file '%s'.\n\n", path);
        return -1;
    }
    return 0;
}

int loadImage(const char* path, DiskUse use)
{
    struct stat status{};
    if (stat(path, &status) != 0) {
        reportFailure("\nError from stat() for diskette file '%s'.\n\n", path);
        return ImageMissing;
    }
    if (!detectGeometry(status.st_size)) {
        reportFailure("\nError, the diskette size of '%lld' is not recognized for file '%s'.\n\n",
                      static_cast<long long>(status.st_size), path);
        return -1;
    }
    return loadDisk(path, use);
}

int askForImage(std::span<char> path)
{
    const int maxLength = static_cast<int>(path.size()) - 1;
    for (;;) {
        if (Ask("\nEnter path of diskette image to process:  ", maxLength) == 0)
            return -1;
        copyAnswer(path);
        const int loaded = loadImage(path.data(), DiskUse::Change);
        if (loaded == 0)
            return 0;
        Pause();
        if (loaded != ImageMissing) // only a path without status is asked for again
            return -1;
    }
}

CatalogLink followLink(CatalogWalk& walk, int32_t track, int32_t sector)
{
    if (sector == 0) // only the sector ends the chain; the track is not tested
        return CatalogLink::End;
    if (track < 0 || track >= NumTracks || sector < 0 || sector >= NumSectors)
        return CatalogLink::OutsideImage;
    bool& seen = walk.visited[static_cast<size_t>(track)][static_cast<size_t>(sector)];
    if (seen)
        return CatalogLink::Revisited;
    seen = true;
    return CatalogLink::Follow;
}
