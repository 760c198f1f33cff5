// The DOS installer's dialogue: the version menu, the image, the DOS file,
// then the placement, the save and the pause.
#include "dskputdos.h"

#include "console.h"
#include "disk_image.h"
#include "files.h"
#include "numbers.h"
#include "program.h"

#include <cstdio>
#include <span>
#include <string_view>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

char ImagePath[PathSize];
char DosPath[PathSize];

// The argument form names the version (its first of three answers) as the
// menu's number or as the version itself. "3.3" read as the menu reads it
// would be 3, so each name is turned into its number before the menu reads
// the argument; anything else is refused. Returns false after the refusal.
bool takeVersionArgument()
{
    constexpr std::string_view Versions[3][2]{{"1", "3.3"}, {"2", "4.0"}, {"3", "4.1"}};
    static char MenuNumbers[3][2]{"1", "2", "3"};
    const std::span<char*> answers = argumentAnswers();
    for (size_t choice = 0; choice < 3; ++choice) {
        if (answers[0] == Versions[choice][0] || answers[0] == Versions[choice][1]) {
            answers[0] = MenuNumbers[choice];
            return true;
        }
    }
    reportFailure("\nError, DOS version '%s' is not 1, 2, 3, 3.3, 4.0 or 4.1.\n\n", answers[0]);
    return false;
}

// The menu until it gets 1, 2 or 3, read as "%d" reads it: blanks, a sign,
// digits, the rest ignored; no number (or one out of range) shows the menu
// again. Returns 0 when the user gave an empty answer. The menu's lines are
// prompts: the argument form shows none of them.
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
        int32_t choice = 0;
        if (scanDecimal(Ans, choice) != 0 && choice >= 1 && choice <= 3)
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

    if (argumentForm() && !takeVersionArgument())
        return ExitOk;
    const int version = askVersion();
    if (version == 0)
        return ExitOk;
    if (askForImage(ImagePath) != 0)
        return ExitOk;

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
