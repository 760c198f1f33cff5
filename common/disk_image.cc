#include "disk_image.h"

#include "console.h"
#include "program.h"

#include <bit>
#include <cstdio>
#include <fcntl.h>
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

int loadDisk(const char* path)
{
    int fd = open(path, O_RDONLY);
    if (fd < 0) {
        reportFailure("\nError from open() to read diskette file '%s'.\n\n", path);
        return -1;
    }
    Disk.fill(0);
    for (int track = 0; track < NumTracks; ++track) {
        for (int sector = 0; sector < NumSectors; ++sector) {
            ssize_t got = read(fd, sectorAt(track, sector).data(), SectorBytes);
            if (got != SectorBytes) {
                reportFailure("\nError from read() for diskette file '%s', read %d bytes and not %d bytes.\n\n",
                            path, static_cast<int>(got), SectorBytes);
                close(fd);
                return -1;
            }
        }
    }
    close(fd);
    return 0;
}

int countFree()
{
    int count = 0;
    auto table = vtoc();
    for (int i = VtocBitmap; i < VtocBitmap + 4 * NumTracks && i < SectorBytes; ++i)
        count += std::popcount(table[i]);
    return count;
}

int saveDisk(const char* path)
{
    int fd = open(path, O_WRONLY);
    if (fd < 0) {
        reportFailure("\nError from open() to write diskette file '%s'.\n\n", path);
        return -1;
    }
    for (int track = 0; track < NumTracks; ++track) {
        for (int sector = 0; sector < NumSectors; ++sector) {
            ssize_t put = write(fd, sectorAt(track, sector).data(), SectorBytes);
            if (put != SectorBytes) {
                reportFailure("\nError from write() for diskette file '%s', wrote %d bytes and not %d bytes.\n\n",
                            path, static_cast<int>(put), SectorBytes);
                close(fd);
                return -1;
            }
        }
    }
    if (close(fd) != 0) {
        // A failed close can mean the data never reached the disk (NFS, full disk).
        reportFailure("\nError from close() for diskette file '%s'.\n\n", path);
        return -1;
    }
    return 0;
}

int askForImage(std::span<char> path)
{
    const int maxLength = static_cast<int>(path.size()) - 1;
    struct stat status{};
    for (;;) {
        if (Ask("\nEnter path of diskette image to process:  ", maxLength) == 0)
            return -1;
        copyAnswer(path);
        if (stat(path.data(), &status) == 0)
            break;
        reportFailure("\nError from stat() for diskette file '%s'.\n\n", path.data());
        Pause();
    }
    if (!detectGeometry(status.st_size)) {
        reportFailure("\nError, the diskette size of '%lld' is not recognized for file '%s'.\n\n",
                      static_cast<long long>(status.st_size), path.data());
        Pause();
        return -1;
    }
    if (loadDisk(path.data()) != 0) {
        Pause();
        return -1;
    }
    return 0;
}
