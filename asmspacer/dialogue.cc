#include "dialogue.h"

#include "console.h"
#include "files.h"
#include "spacer.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string_view>

namespace {

constexpr int ExitOk = 0; // every ending, failures included

// The path limits are tight, so every refusal says how to keep paths short.
constexpr const char* ShortPathHint =
    "Hint: change to the files' directory first and answer . as the directory; that keeps paths short.\n";

char Directory[DirectorySize];
char FileName[FileNameSize];
char InputPath[PathSize];
char OutputPath[PathSize];

// Writes the parts one after another into dest as a string. Returns false
// when they do not fit whole; dest is not to be used then.
bool joinInto(std::span<char> dest, std::initializer_list<std::string_view> parts)
{
    size_t length = 0;
    for (std::string_view part : parts) {
        if (part.size() >= dest.size() - length)
            return false;
        std::copy(part.begin(), part.end(), dest.begin() + static_cast<std::ptrdiff_t>(length));
        length += part.size();
    }
    dest[length] = '\0';
    return true;
}

// Asks until the name fits beside the directory. Returns false on an empty answer.
bool askForFileName()
{
    for (;;) {
        if (Ask("\nEnter raw ASM text file to process:  ", FileNameSize - 1, true, ShortPathHint) == 0)
            return false;
        copyAnswer(FileName);
        if (formPaths(Directory, FileName, InputPath, OutputPath))
            return true;
        std::printf("\nError, directory and file name together are longer than %d characters; "
                    "please enter a shorter name.\n%s",
                    DirectoryAndNameLimit, ShortPathHint);
        std::fflush(stdout);
    }
}

// Closes both files; a failed close of the output loses text, so it is reported.
void closeFiles(std::FILE* in, std::FILE* out, bool failureReported)
{
    std::fclose(in);
    if (std::fclose(out) != 0 && !failureReported)
        std::printf("\nError in writing to output file '%s'.\n\n", OutputPath);
}

} // namespace

bool formPaths(const char* directory, const char* fileName, std::span<char> inputPath,
               std::span<char> outputPath)
{
    if (joinInto(inputPath, {directory, "/", fileName}) && joinInto(outputPath, {directory, "/", fileName, "T"}))
        return true;
    inputPath[0] = '\0';
    outputPath[0] = '\0';
    return false;
}

int asmspacerMain()
{
    if (Ask("\nEnter path of raw ASM text files directory:  ", DirectorySize - 1, true, ShortPathHint) == 0)
        return ExitOk;
    copyAnswer(Directory);

    while (askForFileName()) {
        std::printf("\nProcessing file '%s'\n\n", InputPath);
        std::printf("\n  Creating file '%s'\n\n", OutputPath);
        std::fflush(stdout);

        // A directory opens for reading but has no text; it is no input file.
        std::FILE* in = isDirectory(InputPath) ? nullptr : std::fopen(InputPath, "rb");
        if (in == nullptr) {
            std::printf("\nError from open() for input file '%s'.\n\n", InputPath);
            Pause();
            return ExitOk;
        }
        // Opening the output empties it; when it is the input under another name, that loses the input.
        if (isSameFile(InputPath, OutputPath)) {
            std::printf("\nError, output file '%s' is the input file itself; it is left as it is.\n\n", OutputPath);
            std::fclose(in);
            Pause();
            return ExitOk;
        }
        std::FILE* out = std::fopen(OutputPath, "wb");
        if (out == nullptr) {
            std::printf("\nError from open() for output file '%s'.\n\n", OutputPath);
            std::fclose(in);
            Pause();
            return ExitOk;
        }

        const SpaceResult result = spaceFile(in, out);
        if (result == SpaceResult::WriteFailed)
            std::printf("\nError in writing to output file '%s'.\n\n", OutputPath);
        else if (result == SpaceResult::ReadFailed)
            std::printf("\nError in reading input file '%s'; the output file holds the lines before it.\n\n",
                        InputPath);
        closeFiles(in, out, result == SpaceResult::WriteFailed);
        Pause();
    }
    Pause();
    return ExitOk;
}
