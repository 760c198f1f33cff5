#include "dialogue.h"

#include "console.h"
#include "disk_image.h"
#include "disk_image.h"
#include "placement.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int ExitOk = 0; // every ending, failures included
constexpr int PathSize = 128;

char ImagePath[PathSize];
char DosPath[PathSize];

// The menu answer read as "%d" would: blanks, a sign, digits; the rest ignored.
// Returns 0 when no number can be read.
long menuChoice(const char* answer)
{
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(answer, &end, 10);
    if (end == answer || errno == ERANGE)
        return 0;
    return value;
}

// Returns 1 to 3, or 0 when the user gave an empty answer.
int askVersion()
{
    for (;;) {
        std::puts("\nEnter DOS version number:\n");
        std::puts("1)  DOS 3.3\n");
        std::puts("2)  DOS 4.0 - 35 sectors\n");
        std::puts("3)  DOS 4.1 - 32 sectors\n");
        if (Ask("Enter selection:  ", AnsSize - 1) == 0)
            return 0;
        long choice = menuChoice(Ans);
        if (choice >= 1 && choice <= 3)
            return static_cast<int>(choice);
    }
}

// Asks until the DOS file's status can be got. Returns false on an empty answer.
bool askForDosFile(struct stat& status)
{
    for (;;) {
        if (Ask("\nEnter path of DOS file:  ", PathSize - 1) == 0)
            return false;
        copyAnswer(DosPath);
        if (stat(DosPath, &status) == 0)
            return true;
        std::printf("\nError from stat() for DOS file '%s'.\n\n", DosPath);
        Pause();
    }
}

void clearTrack(int track)
{
    auto slot = std::span(Disk).subspan(static_cast<size_t>(sectorOffset(track, 0)),
                                         static_cast<size_t>(NumSectors) * SectorBytes);
    std::fill(slot.begin(), slot.end(), uint8_t{0});
}

} // namespace

int dskputdosMain()
{
    NumTracks = 0;
    NumSectors = 0;

    const int version = askVersion();
    if (version == 0)
        return ExitOk;
    if (askForImage(ImagePath) != 0)
        return ExitOk;

    clearTrack(0);
    clearTrack(1);
    std::printf("\nFree space on this diskette is %d sectors.\n\n", countFree());

    struct stat status{};
    if (!askForDosFile(status))
        return ExitOk;
    std::printf("\nDOS size is 0x%04llx.\n", static_cast<unsigned long long>(status.st_size));

    // Tested before the open: a FIFO would hold the open until a writer came.
    if (!S_ISREG(status.st_mode)) {
        std::printf("\nError, DOS file '%s' is not a regular file.\n\n", DosPath);
        Pause();
        return ExitOk;
    }
    int fd = open(DosPath, O_RDONLY);
    if (fd < 0) {
        std::printf("\nError from open() to read DOS file '%s'.\n\n", DosPath);
        Pause();
        return ExitOk;
    }
    // The size is compared whole: a file of 4 GiB + 8960 bytes is not a DOS file.
    if (status.st_size != DosFileBytes) {
        std::puts("\nExpecting DOS to be 35 sectors in size.\n");
        close(fd);
        Pause();
        return ExitOk;
    }
    const int placedInFree = placeDos(version, fd, DosPath);
    close(fd);
    if (placedInFree < 0) {
        Pause();
        return ExitOk;
    }
    // The bitmap stays as loaded; a DOS in sectors it calls free is not safe from a later recording.
    if (placedInFree > 0)
        std::printf("\nNote: %d of the DOS sectors are marked free in the bitmap; a later recording may "
                    "overwrite the DOS.\n",
                    placedInFree);

    saveDisk(ImagePath);
    Pause();
    return ExitOk;
}
