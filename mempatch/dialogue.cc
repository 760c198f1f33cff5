#include "dialogue.h"

#include "console.h"
#include "change_file.h"
#include "memory_image.h"
#include "files.h"
#include "start_address.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <span>
#include <unistd.h>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFileFailed = 1; // a file could not be opened, or the output is the input
constexpr int PathSize = 128;
constexpr mode_t OutputMode = 0666; // narrowed by the process's file-creation mask

char InputPath[PathSize];
char OutputPath[PathSize];
char ChangePath[PathSize];

// Returns false on an empty answer (end of input included).
bool askPath(const char* prompt, std::span<char> path)
{
    if (Ask(prompt, PathSize - 1) == 0)
        return false;
    copyAnswer(path);
    return true;
}

// Asks until the answer is a start address the image buffer can hold.
// Returns false on an empty answer.
bool askStartAddress(int32_t& start)
{
    for (;;) {
        if (Ask("\nStart address:  0x", AnsSize - 1) == 0)
            return false;
        if (parseStartAddress(Ans, start))
            return true;
        std::printf("\nError, start address '%s' is not a hexadecimal number from 0 to d000.\n", Ans);
    }
}

} // namespace

int mempatchMain()
{
    if (!askPath("\n\nInput file:  ", InputPath))
        return ExitOk;
    const int inputFd = open(InputPath, O_RDONLY);
    if (inputFd < 0) {
        std::printf("\nError from open() for input file '%s'.\n\n", InputPath);
        return ExitFileFailed;
    }

    if (!askPath("\nOutput file:  ", OutputPath)) {
        close(inputFd);
        return ExitOk;
    }
    // The output is emptied later, so the input must be known to be another file first.
    if (isSameFile(InputPath, OutputPath)) {
        std::printf("\nError, output file '%s' is the same file as input file '%s'.\n\n", OutputPath, InputPath);
        close(inputFd);
        return ExitFileFailed;
    }
    // Created when missing, but not emptied yet: an ending before the start
    // address is accepted leaves an existing output as it was.
    const int outputFd = open(OutputPath, O_RDWR | O_CREAT, OutputMode);
    if (outputFd < 0) {
        std::printf("\nError from open() for output file '%s'.\n\n", OutputPath);
        close(inputFd);
        return ExitFileFailed;
    }

    if (!askPath("\nChange file:  ", ChangePath)) {
        close(inputFd);
        close(outputFd);
        return ExitOk;
    }
    // Writing the output would replace the change file's lines while they are read.
    if (isSameFile(ChangePath, OutputPath)) {
        std::printf("\nError, output file '%s' is the same file as change file '%s'.\n\n", OutputPath, ChangePath);
        close(inputFd);
        close(outputFd);
        return ExitFileFailed;
    }
    std::FILE* changeFile = std::fopen(ChangePath, "r");
    if (changeFile == nullptr) {
        std::printf("\nError from fopen() for change file '%s'.\n\n", ChangePath);
        close(inputFd);
        close(outputFd);
        return ExitFileFailed;
    }

    int32_t start = 0;
    if (!askStartAddress(start)) {
        std::fclose(changeFile);
        close(inputFd);
        close(outputFd);
        return ExitOk;
    }

    const auto image = std::span(MemoryImage).first(static_cast<size_t>(imageLength(start)));
    readImage(inputFd, image);
    applyChangeFile(changeFile, start, image, stdout);
    if (std::ferror(changeFile) != 0)
        std::printf("\nError from fgets() for change file '%s'; the rest of it was not applied.\n", ChangePath);
    emptyAndWrite(outputFd, image);

    Pause();
    close(inputFd);
    if (close(outputFd) != 0)
        std::printf("\nError from close() for output file '%s', errno = %d.\n", OutputPath, errno);
    std::fclose(changeFile);
    return ExitOk;
}
