// The DOS installer's dialogue: the version menu, the image, the DOS file,
// then the placement, the save and the pause.
#include "dskputdos.h"

#include "console.h"
#include "disk_image.h"
#include "dos_layout.h"
#include "files.h"
#include "numbers.h"
#include "program.h"

#include <cstdio>
#include <string_view>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

char ImagePath[PathSize];
char DosPath[PathSize];

// The menu until it gets 1, 2 or 3. An answer that is a version's name,
// blanks around it allowed, selects its line ("3.3" is line 1); any other is
// read as "%d" reads it: blanks, a sign, digits, the rest ignored; no number
// (or one out of range) shows the menu again. Returns 0 when the user gave
// an empty answer. The menu's lines are prompts: the argument form shows
// none of them.
int askVersion()
{
    for (;;) {
        if (!argumentForm()) {
            std::puts("\nEnter DOS version number:\n");
            std::puts("1)  DOS 3.3\n");
            std::puts("2)  DOS 4.0 - 35 sectors\n");
            std::puts("3)  DOS 4.1 - 32 sectors\n");
        }
        if (Ask("Enter selection:  ", AnsSize - 1) == 0)
            return 0;
        std::string_view answer = Ans;
        while (!answer.empty() && isBlank(answer.front()))
            answer.remove_prefix(1);
        while (!answer.empty() && isBlank(answer.back()))
            answer.remove_suffix(1);
        if (const int named = dosVersionNamed(answer); named != 0)
            return named;
        int32_t choice = 0;
        if (scanDecimal(Ans, choice) != 0 && choice >= 1 && choice <= DosVersions)
            return choice;
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
        reportCallFailure("stat", "DOS", DosPath);
        Pause();
    }
}

// Opens the DOS file once it is known to be a regular file of 8960 bytes.
// Returns the descriptor, or -1 after the message of the failure.
int openDosFile(const struct stat& status)
{
    // Tested before the open: a FIFO would hold the open until a writer came.
    if (!S_ISREG(status.st_mode)) {
        reportFailure("\nError, DOS file '%s' is not a regular file.\n\n", DosPath);
        return -1;
    }
    const int fd = open(DosPath, O_RDONLY);
    if (fd < 0) {
        reportFailure("\nError from open() to read DOS file '%s'.\n\n", DosPath);
        return -1;
    }
    // The size is compared whole: a file of 4 GiB + 8960 bytes is not a DOS file.
    if (status.st_size != DosFileBytes) {
        reportFailure("\nExpecting DOS to be 35 sectors in size.\n\n");
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

int dskputdosMain()
{
    NumTracks = 0;
    NumSectors = 0;

    // The argument form takes the six names only; the menu reads the one it is given.
    if (argumentForm() && dosVersionArgument(argumentAnswers()[0]) == 0)
        return ExitOk;
    const int version = askVersion();
    if (version == 0)
        return ExitOk;
    if (askForImage(ImagePath) != 0)
        return ExitOk;
    if (refuseOverFiles(version, ImagePath)) {
        Pause();
        return ExitOk;
    }

    clearDosTracks();
    std::printf("\nFree space on this diskette is %d sectors.\n\n", countFree());

    struct stat status{};
    if (!askForDosFile(status))
        return ExitOk;
    std::printf("\nDOS size is 0x%04llx.\n", static_cast<unsigned long long>(status.st_size));

    const int fd = openDosFile(status);
    if (fd < 0) {
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
