#include "disk_image.h"

#include "catalog.h"
#include "console.h"
#include "file_sectors.h"
#include "program.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <string_view>
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

void setSectorFree(int track, int sector, bool free)
{
    const BitmapBit bit = bitmapBit(track, sector);
    uint8_t& byte = vtoc()[static_cast<size_t>(bit.index)];
    byte = static_cast<uint8_t>(free ? byte | bit.mask : byte & ~bit.mask);
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

bool prodosOrderName(const char* path)
{
    const std::string_view name = path;
    if (name.size() < 3)
        return false;
    const std::string_view end = name.substr(name.size() - 3);
    return end[0] == '.' && (end[1] == 'p' || end[1] == 'P') && (end[2] == 'o' || end[2] == 'O');
}

bool dos33Vtoc()
{
    const auto table = vtoc();
    return table[VtocPairsPerList] == 122 && table[VtocTracks] == NumTracks && table[VtocSectors] == NumSectors;
}

namespace {

// What was loaded, for the image a program changes: the file must still
// hold it when the changes are written back.
std::array<uint8_t, DiskBytes> Loaded{};
// The image opened for writing and locked, from the load to the end of the run.
int HeldFd = -1;
// The loaded image is kept in ProDOS sector order.
bool ProdosOrder = false;

// The file sector that holds sector s of a track: the same, or its place in ProDOS order.
int fileSector(int sector)
{
    return ProdosOrder ? ProdosPlace[static_cast<size_t>(sector)] : sector;
}

int64_t fileOffset(int track, int sector)
{
    return (int64_t{track} * NumSectors + fileSector(sector)) * SectorBytes;
}

// A non-blocking advisory lock. Only another holder refuses it: on a file
// system without locks the run goes on, the read-back before the save
// still guarding the image; a writer says so.
bool lockTaken(int fd, int operation, const char* path)
{
    if (flock(fd, operation | LOCK_NB) == 0)
        return true;
    if (errno != EWOULDBLOCK) {
        if (operation == LOCK_EX) {
            std::fflush(stdout);
            std::fprintf(stderr,
                         "\nNote: diskette file '%s' cannot be locked; another program could change it while this "
                         "one runs.\n",
                         path);
        }
        return true;
    }
    reportFailure("\nError, diskette file '%s' is in use by another program.\n\n", path);
    return false;
}

void reportShortRead(const char* path, ssize_t got)
{
    reportFailure("\nError from read() for diskette file '%s', read %d bytes and not %d bytes.\n\n", path,
                  static_cast<int>(got), SectorBytes);
}

// Reads the file's sectors one after another, each into its place in Disk.
int readSectors(int fd, const char* path)
{
    Disk.fill(0);
    for (int track = 0; track < NumTracks; ++track) {
        for (int stored = 0; stored < NumSectors; ++stored) {
            const ssize_t got = read(fd, sectorAt(track, fileSector(stored)).data(), SectorBytes);
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

std::span<const uint8_t, SectorBytes> loadedSector(int track, int sector)
{
    return std::span<const uint8_t, SectorBytes>(Loaded.data() + sectorOffset(track, sector), SectorBytes);
}

// Whether the path still names the file that was loaded and is held: the
// same device and inode, not unlinked. A file renamed over the path, or
// removed, is not the image the user named any more.
bool pathNamesHeldFile(const char* path, const struct stat& held)
{
    struct stat named{};
    return held.st_nlink > 0 && stat(path, &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino;
}

// Whether the file still holds what was loaded: its size and every sector.
bool fileUnchanged(const char* path, bool& readFailed)
{
    struct stat status{};
    if (fstat(HeldFd, &status) != 0 || !pathNamesHeldFile(path, status) ||
        status.st_size != int64_t{NumTracks} * NumSectors * SectorBytes)
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
            if (!std::ranges::equal(sector, loadedSector(track, s)))
                return false;
        }
    }
    return true;
}

// The sectors of the catalog chain as it was loaded, walked with the guard.
using SectorFlags = std::array<std::array<bool, MaxSectors>, MaxTracks>;

SectorFlags loadedCatalog()
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

int writeSector(const char* path, int track, int sector, std::span<const uint8_t, SectorBytes> bytes)
{
    const ssize_t put = pwrite(HeldFd, bytes.data(), SectorBytes, fileOffset(track, sector));
    if (put == SectorBytes)
        return 0;
    reportFailure("\nError from write() for diskette file '%s', wrote %d bytes and not %d bytes.\n\n", path,
                  static_cast<int>(put), SectorBytes);
    return -1;
}

// fdatasync, or close for the descriptor's last use. When it is the save's
// last call, a failure means the sectors were written but may not have
// reached the device.
int syncImage(const char* path, bool last)
{
    if (fdatasync(HeldFd) == 0)
        return 0;
    if (last)
        reportFailure("\nError from fdatasync() for diskette file '%s'; the sectors were written but may not have "
                      "reached the device.\n\n",
                      path);
    else
        reportFailure("\nError from fdatasync() for diskette file '%s'.\n\n", path);
    return -1;
}

// The save's plan: which changed sectors go in which step.
struct SavePlan {
    SectorFlags catalog;                          // the loaded catalog chain
    std::array<uint8_t, SectorBytes> interimVtoc; // the VTOC with the sectors this run frees still used
    bool frees = false;                           // the run frees sectors
};

// The VTOC written before the catalog: as it is now, but every sector that
// was used when loaded and is free now still marked used.
void planVtoc(SavePlan& plan)
{
    const auto now = vtoc();
    const auto loaded = loadedSector(CatalogTrack, 0);
    std::ranges::copy(now, plan.interimVtoc.begin());
    for (int i = VtocBitmap; i < VtocBitmap + 4 * NumTracks && i < SectorBytes; ++i) {
        const auto at = static_cast<size_t>(i);
        const auto freed = static_cast<uint8_t>(now[at] & ~loaded[at]);
        plan.interimVtoc[at] = static_cast<uint8_t>(now[at] & ~freed);
        plan.frees = plan.frees || freed != 0;
    }
}

bool differs(std::span<const uint8_t, SectorBytes> bytes, int track, int sector)
{
    return !std::ranges::equal(bytes, loadedSector(track, sector));
}

// Writes the changed sectors that are neither the VTOC nor the catalog's,
// then syncs. Returns 1 when it wrote something, 0 when nothing, -1 on a failure.
int writeRest(const char* path, const SavePlan& plan)
{
    int wrote = 0;
    for (int track = 0; track < NumTracks; ++track) {
        for (int sector = 0; sector < NumSectors; ++sector) {
            const bool isVtoc = track == CatalogTrack && sector == 0;
            if (isVtoc || plan.catalog[static_cast<size_t>(track)][static_cast<size_t>(sector)] ||
                !differs(sectorAt(track, sector), track, sector))
                continue;
            if (writeSector(path, track, sector, sectorAt(track, sector)) != 0)
                return -1;
            wrote = 1;
        }
    }
    return wrote;
}

// Names the files of this run that the catalog sectors in written now hold:
// the entries in use that differ from what was loaded.
void nameRecordedFiles(const SectorFlags& written)
{
    for (int track = 0; track < NumTracks; ++track) {
        for (int sector = 0; sector < NumSectors; ++sector) {
            if (!written[static_cast<size_t>(track)][static_cast<size_t>(sector)])
                continue;
            for (int32_t offset : EntryOffsets) {
                CatalogEntry entry(sectorAt(track, sector).subspan(static_cast<size_t>(offset), EntryBytes));
                const auto was = loadedSector(track, sector).subspan(static_cast<size_t>(offset), EntryBytes);
                if (!entryInUse(entry) || std::ranges::equal(entry, was))
                    continue;
                char name[FullNameBytes + 1];
                entryShownName(entry, name);
                std::fprintf(argumentForm() ? stderr : stdout, "  %s\n", name);
            }
        }
    }
}

// After a failed write in the catalog step: the catalog sectors tried so far
// are written back as they were loaded, so the catalog names none of this
// run's files; the VTOC may keep their sectors marked used, which loses
// nothing. Says whether that worked.
void restoreCatalog(const SectorFlags& tried)
{
    bool restored = true;
    for (int track = 0; track < NumTracks; ++track)
        for (int sector = 0; sector < NumSectors; ++sector)
            if (tried[static_cast<size_t>(track)][static_cast<size_t>(sector)])
                restored = pwrite(HeldFd, loadedSector(track, sector).data(), SectorBytes,
                                  fileOffset(track, sector)) == SectorBytes &&
                           restored;
    restored = fdatasync(HeldFd) == 0 && restored;
    std::FILE* stream = argumentForm() ? stderr : stdout;
    if (restored) {
        std::fprintf(stream, "The catalog sectors already written were put back as they were loaded: the catalog "
                             "names none of the files of this run.\n\n");
    } else {
        std::fprintf(stream, "The catalog sectors already written could not be put back; the catalog now names "
                             "these files of this run:\n");
        nameRecordedFiles(tried);
        std::fprintf(stream, "\n");
    }
    std::fflush(stream);
}

// Writes the changed catalog sectors, in track and sector order. Returns 1 when it wrote something, 0 when nothing, -1 on a failure.
int writeCatalog(const char* path, const SavePlan& plan)
{
    SectorFlags tried{};
    int wrote = 0;
    for (int track = 0; track < NumTracks; ++track) {
        for (int sector = 0; sector < NumSectors; ++sector) {
            if (!plan.catalog[static_cast<size_t>(track)][static_cast<size_t>(sector)] ||
                !differs(sectorAt(track, sector), track, sector))
                continue;
            tried[static_cast<size_t>(track)][static_cast<size_t>(sector)] = true;
            if (writeSector(path, track, sector, sectorAt(track, sector)) != 0) {
                restoreCatalog(tried);
                return -1;
            }
            wrote = 1;
        }
    }
    return wrote;
}

} // namespace

int loadDisk(const char* path, DiskUse use)
{
    ProdosOrder = prodosOrderName(path) && NumSectors == 16;
    const int fd = open(path, O_RDONLY);
    if (fd < 0) {
        reportFailure("\nError from open() to read diskette file '%s'.\n\n", path);
        return -1;
    }
    const bool changes = use == DiskUse::Change || use == DiskUse::Record;
    const bool read = (changes || lockTaken(fd, LOCK_SH, path)) && readSectors(fd, path) == 0;
    close(fd); // only read: nothing to lose on a failed close
    if (!read)
        return -1;
    return changes ? holdForChange(path) : 0;
}

int saveDisk(const char* path)
{
    if (HeldFd < 0) {
        reportFailure("\nError from open() to write diskette file '%s'.\n\n", path);
        return -1;
    }
    // What the run told must have reached its reader before its work is saved.
    if (!flushStandardOutput())
        return -1;
    bool readFailed = false;
    if (!fileUnchanged(path, readFailed)) {
        if (!readFailed)
            reportFailure("\nError, diskette file '%s' changed since it was loaded; nothing saved.\n\n", path);
        return -1;
    }
    static SavePlan plan;
    plan.catalog = loadedCatalog();
    planVtoc(plan);
    const bool vtocChanged = differs(plan.interimVtoc, CatalogTrack, 0);
    const bool catalogChanges = [&] {
        for (int t = 0; t < NumTracks; ++t)
            for (int s = 0; s < NumSectors; ++s)
                if (plan.catalog[static_cast<size_t>(t)][static_cast<size_t>(s)] && differs(sectorAt(t, s), t, s))
                    return true;
        return false;
    }();

    // Each step that writes is synced before the next; the last one's sync is the save's end.
    const int rest = writeRest(path, plan);
    if (rest < 0 || (rest > 0 && syncImage(path, !vtocChanged && !catalogChanges && !plan.frees) != 0))
        return -1;
    if (vtocChanged && (writeSector(path, CatalogTrack, 0, plan.interimVtoc) != 0 ||
                        syncImage(path, !catalogChanges && !plan.frees) != 0))
        return -1;
    const int catalog = writeCatalog(path, plan);
    if (catalog < 0 || (catalog > 0 && syncImage(path, !plan.frees) != 0))
        return -1;
    if (plan.frees) {
        if (writeSector(path, CatalogTrack, 0, vtoc()) != 0) {
            reportFailure("The files of this run are saved, but the sectors it freed stay marked used.\n\n");
            return -1;
        }
        if (syncImage(path, true) != 0)
            return -1;
    }
    const int fd = HeldFd;
    HeldFd = -1;
    if (close(fd) != 0) {
        // A failed close can mean the data never reached the disk (NFS, full disk).
        reportFailure("\nError from close() for diskette file '%s'; the sectors were written but may not have "
                      "reached the device.\n\n",
                      path);
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
    if (prodosOrderName(path) && NumSectors != 16) {
        reportFailure("\nError, diskette file '%s' is named .po, but an image of %d sectors per track has no "
                      "ProDOS order.\n\n",
                      path, static_cast<int>(NumSectors));
        return -1;
    }
    if (loadDisk(path, use) != 0)
        return -1;
    if (use == DiskUse::Inspect || dos33Vtoc()) {
        if (use != DiskUse::Record)
            return 0;
        static DiskUsage usage; // large: kept out of the stack
        findDiskUsage(usage);
        return refuseDamagedDiskette(usage, path) ? -1 : 0;
    }
    const auto table = vtoc();
    const int tracks = table[VtocTracks];
    const int sectors = table[VtocSectors];
    const int pairs = table[VtocPairsPerList];
    if (use == DiskUse::Read) {
        reportNote("\nNote: the VTOC of diskette file '%s' does not describe a DOS 3.3 diskette of %d tracks and "
                   "%d sectors (it says %d tracks, %d sectors, %d pairs per list); it is read as it stands.\n",
                   path, static_cast<int>(NumTracks), static_cast<int>(NumSectors), tracks, sectors, pairs);
        return 0;
    }
    reportFailure("\nError, diskette file '%s' is not a DOS 3.3 diskette of %d tracks and %d sectors (its VTOC "
                  "says %d tracks, %d sectors, %d pairs per list); nothing written.\n\n",
                  path, static_cast<int>(NumTracks), static_cast<int>(NumSectors), tracks, sectors, pairs);
    return -1;
}

int askForImage(std::span<char> path)
{
    const int maxLength = static_cast<int>(path.size()) - 1;
    for (;;) {
        if (Ask("\nEnter path of diskette image to process:  ", maxLength) == 0)
            return -1;
        copyAnswer(path);
        const int loaded = loadImage(path.data(), DiskUse::Record);
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
