// The memory image patcher's dialogue: input, output and change file, the
// start address, then the copy read with one read, its changes, and the copy
// written over the output in place.
#include "mempatch.h"

#include "console.h"
#include "files.h"
#include "numbers.h"
#include "program.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int ExitFileFailed = 1;   // a file could not be opened, or the output is another of the files
constexpr mode_t OutputMode = 0666; // narrowed by the process's file-creation mask

char InputPath[PathSize];
char OutputPath[PathSize];
char ChangePath[PathSize];

int InputFd = -1;
int OutputFd = -1;
std::FILE* ChangeFile = nullptr;

// Room for the largest copy; only its first imageLength(S) bytes are used.
std::array<uint8_t, imageLength(MaxStartAddress)> MemoryImage;

// Closes whatever is open, for an ending before the copy; returns status.
int endEarly(int status)
{
    if (ChangeFile != nullptr)
        std::fclose(ChangeFile);
    if (OutputFd >= 0)
        close(OutputFd);
    if (InputFd >= 0)
        close(InputFd);
    return status;
}

// Returns false on an empty answer (end of input included).
bool askPath(const char* prompt, std::span<char> path)
{
    if (Ask(prompt, PathSize - 1) == 0)
        return false;
    copyAnswer(path);
    return true;
}

// Asks until the answer is a start address the image buffer can hold.
// Returns false on an empty answer (in the argument form also after a refusal).
bool askStartAddress(int32_t& start)
{
    for (;;) {
        if (Ask("\nStart address:  0x", AnsSize - 1) == 0)
            return false;
        if (parseStartAddress(Ans, start))
            return true;
        reportFailure("\nError, start address '%s' is not a hexadecimal number from 0 to d000.\n", Ans);
    }
}

// Fills image from the input with one read call. Bytes the read does not
// reach are zero. A failed or short read is reported and the run goes on.
void readImage(std::span<uint8_t> image)
{
    // A short read must not leave bytes of an earlier image behind.
    std::fill(image.begin(), image.end(), uint8_t{0});
    const ssize_t got = read(InputFd, image.data(), image.size());
    if (got < 0)
        reportSetback("\nError from read(), errno = %d.\n", errno);
    else if (static_cast<size_t>(got) < image.size())
        reportSetback("\nError from read(), nRead = 0x%0x.\n", static_cast<unsigned>(got));
}

// Empties the output and writes image to it, with one write call and
// further ones for any rest. A failure is reported with the error number of
// the call that failed.
void emptyAndWrite(std::span<const uint8_t> image)
{
    // Emptied in place, so the output keeps its inode and mode; a device
    // (or anything else that cannot be cut) is written as it is.
    struct stat status{};
    if (fstat(OutputFd, &status) == 0 && S_ISREG(status.st_mode) && ftruncate(OutputFd, 0) != 0) {
        reportFailure("\nError form write(), errno = %d.\n", errno);
        return;
    }
    if (const int error = writeAll(OutputFd, image); error != 0)
        reportFailure("\nError form write(), errno = %d.\n", error);
}

} // namespace

bool parseStartAddress(std::string_view answer, int32_t& start)
{
    while (!answer.empty() && isBlank(answer.front()))
        answer.remove_prefix(1);
    while (!answer.empty() && isBlank(answer.back()))
        answer.remove_suffix(1);
    if (answer.empty())
        return false;

    int32_t value = 0;
    for (char ch : answer) {
        const int digit = hexDigitValue(ch);
        if (digit < 0)
            return false;
        value = value * 16 + digit;
        if (value > MaxStartAddress) // also keeps a long answer from overflowing
            return false;
    }
    start = value;
    return true;
}

int mempatchMain()
{
    if (!askPath("\n\nInput file:  ", InputPath))
        return ExitOk;
    InputFd = open(InputPath, O_RDONLY);
    if (InputFd < 0) {
        reportCallFailure("open", "input", InputPath);
        return ExitFileFailed;
    }

    if (!askPath("\nOutput file:  ", OutputPath))
        return endEarly(ExitOk);
    // The output is emptied later, so the input must be known to be another file first.
    if (refuseSameFile(InputPath, OutputPath, "\nError, output file '%s' is the same file as input file '%s'.\n\n"))
        return endEarly(ExitFileFailed);
    // Created when missing, but not emptied yet: an ending before the start
    // address is accepted leaves an existing output as it was.
    OutputFd = open(OutputPath, O_RDWR | O_CREAT, OutputMode);
    if (OutputFd < 0) {
        reportCallFailure("open", "output", OutputPath);
        return endEarly(ExitFileFailed);
    }

    if (!askPath("\nChange file:  ", ChangePath))
        return endEarly(ExitOk);
    // Writing the output would replace the change file's lines while they are read.
    if (refuseSameFile(ChangePath, OutputPath, "\nError, output file '%s' is the same file as change file '%s'.\n\n"))
        return endEarly(ExitFileFailed);
    ChangeFile = std::fopen(ChangePath, "r");
    if (ChangeFile == nullptr) {
        reportCallFailure("fopen", "change", ChangePath);
        return endEarly(ExitFileFailed);
    }

    int32_t start = 0;
    if (!askStartAddress(start))
        return endEarly(ExitOk);

    const auto image = std::span(MemoryImage).first(static_cast<size_t>(imageLength(start)));
    readImage(image);
    applyChangeFile(ChangeFile, start, image);
    if (std::ferror(ChangeFile) != 0)
        reportFailure("\nError from fgets() for change file '%s'; the rest of it was not applied.\n", ChangePath);
    // The dialogue writes the copy even so; the argument form's run has ended
    // there, and an existing output stays as it was.
    if (!runEnded())
        emptyAndWrite(image);

    Pause();
    close(InputFd);
    if (close(OutputFd) != 0)
        reportFailure("\nError from close() for output file '%s', errno = %d.\n", OutputPath, errno);
    std::fclose(ChangeFile);
    return ExitOk;
}
