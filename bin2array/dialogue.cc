#include "dialogue.h"

#include "console.h"
#include "files.h"
#include "writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int ExitOk = 0; // every ending, failures included
constexpr int NameSize = 128;

char InputName[NameSize];
char OutputName[NameSize];

// Copies a command-line name; false when it does not fit the name buffer.
bool takeArgument(const char* argument, std::span<char> dest)
{
    const size_t length = std::strlen(argument);
    if (length >= dest.size())
        return false;
    std::memcpy(dest.data(), argument, length + 1);
    return true;
}

bool namesFromArguments(std::span<char* const> args)
{
    const bool fits = takeArgument(args[0], InputName) && (args.size() < 2 || takeArgument(args[1], OutputName));
    if (!fits) {
        std::printf("\nError, a file name on the command line is longer than %d characters.\n\n", NameSize - 1);
        Pause();
    }
    return fits;
}

// Opens the input to read. A folder opens but cannot be read; it is refused
// here, before the output is emptied for it.
int openInput()
{
    const int fd = open(InputName, O_RDONLY);
    if (fd < 0)
        return -1;
    struct stat status{};
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

int bin2arrayMain(std::span<char* const> args)
{
    InputName[0] = '\0';
    OutputName[0] = '\0';

    if (!args.empty() && !namesFromArguments(args))
        return ExitOk;
    if (args.empty()) {
        Ask("\nEnter name of input binary file to process:  ", NameSize - 1);
        copyAnswer(InputName);
    }
    if (args.size() < 2) {
        Ask("Enter name of output text file to write:  ", NameSize - 1);
        copyAnswer(OutputName);
    }
    if (InputName[0] == '\0' || OutputName[0] == '\0')
        return ExitOk;

    const int input = openInput();
    if (input < 0) {
        std::printf("\nError from fopen() for input file '%s'.\n\n", InputName);
        Pause();
        return ExitOk;
    }
    // Opening the output empties it; when it is the input, that would
    // destroy the very bytes about to be read.
    if (isSameFile(InputName, OutputName)) {
        close(input);
        std::printf("\nError, output file '%s' is the input file; it is left as it was.\n\n", OutputName);
        Pause();
        return ExitOk;
    }
    const int output = open(OutputName, O_RDWR | O_CREAT | O_TRUNC, 0666);
    if (output < 0) {
        close(input);
        std::printf("\nError from open() for output file '%s'.\n\n", OutputName);
        Pause();
        return ExitOk;
    }

    ArrayTextResult result = writeArrayText(input, output, InputName);
    close(input);
    if (close(output) != 0)
        result.writeFailed = true;

    if (result.readFailed)
        std::printf("\nError from read() for input file '%s'; the array ends where reading stopped.\n\n",
                    InputName);
    if (result.writeFailed)
        std::printf("\nError from write() for output file '%s'; the array text is incomplete.\n\n", OutputName);
    if (result.readFailed || result.writeFailed)
        Pause();
    return ExitOk;
}
