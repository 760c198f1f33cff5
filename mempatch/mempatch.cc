// The memory image patcher's dialogue: input, output and change file, the
// start address, then the copy read with one read, its changes, and the copy
// written beside the output and put in its place.
#include "mempatch.h"

#include "console.h"
#include "files.h"
#include "numbers.h"
#include "output_file.h"
#include "program.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int ExitFileFailed = 1; // a file could not be opened, or the output is another of the files

char InputPath[PathSize];
char OutputPath[PathSize];
char ChangePath[PathSize];

int InputFd = -1;
OutputFile Output;
std::FILE* ChangeFile = nullptr;

// Room for the largest copy; only its first imageLength(S) bytes are used.
std::array<uint8_t, imageLength(MaxStartAddress)> MemoryImage;

// Closes whatever is open, for an ending before the copy; returns status.
int endEarly(int status)
{
    if (ChangeFile != nullptr)
        std::fclose(ChangeFile);
    abandonOutput(Output);
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

// Writes image to the output, with one write call and further ones for any
// rest, and puts it in the output's place. A failure is reported with the
// error number of the call that failed, and the output is as it was.
void writeCopy(std::span<const uint8_t> image)
{
    if (const int error = writeAll(Output.fd, image); error != 0) {
        abandonOutput(Output);
        reportFailure("\nError form write(), errno = %d.\n", error);
        return;
    }
    const OutputFailure failure = commitOutput(Output);
    if (failure.failed() && std::string_view(failure.call) == "close")
        reportFailure("\nError from close() for output file '%s', errno = %d.\n", OutputPath, failure.error);
    else if (failure.failed())
        reportFailure("\nError form write(), errno = %d.\n", failure.error);
}

// Opens the change file to read. Only a regular file is one: a folder, a
// device or a pipe has no end of lines to reach. O_NONBLOCK keeps a pipe's
// open from waiting for a writer; it changes nothing for a regular file.
std::FILE* openChangeFile()
{
    const int fd = open(ChangePath, O_RDONLY | O_NONBLOCK);
    struct stat status{};
    std::FILE* file = fd >= 0 && fstat(fd, &status) == 0 && S_ISREG(status.st_mode) ? fdopen(fd, "r") : nullptr;
    if (file == nullptr && fd >= 0)
        close(fd);
    return file;
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
    // An output written through in place must not be the input; one
    // replaced would be refused all the same, before anything is created.
    if (refuseSameFile(InputPath, OutputPath, "\nError, output file '%s' is the same file as input file '%s'.\n\n"))
        return endEarly(ExitFileFailed);
    // The copy goes to a temporary file beside the output, so the output's
    // folder is tried here; the output itself is replaced only once the copy
    // is written whole, and an ending before that leaves it as it was.
    if (openOutput(Output, OutputPath).failed()) {
        reportCallFailure("open", "output", OutputPath);
        return endEarly(ExitFileFailed);
    }

    if (!askPath("\nChange file:  ", ChangePath))
        return endEarly(ExitOk);
    // Writing the output would replace the change file's lines while they are read.
    if (refuseSameFile(ChangePath, OutputPath, "\nError, output file '%s' is the same file as change file '%s'.\n\n"))
        return endEarly(ExitFileFailed);
    ChangeFile = openChangeFile();
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
        writeCopy(image);
    else
        abandonOutput(Output);

    Pause();
    close(InputFd);
    std::fclose(ChangeFile);
    return ExitOk;
}
