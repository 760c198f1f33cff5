#include "dialogue.h"

#include "console.h"
#include "converter.h"

#include <cstdio>

namespace {

constexpr int ExitOk = 0; // every ending, failures included
constexpr int PathSize = 128;

char InputPath[PathSize];
// Large enough that reads cost little, small enough to keep the whole run within 4 MiB.
char InputBuffer[1 << 18];

} // namespace

int array2binMain()
{
    if (Ask("\nEnter path of input text file to process:  ", PathSize - 1) == 0)
        return ExitOk;
    copyAnswer(InputPath);

    std::FILE* input = std::fopen(InputPath, "r");
    if (input == nullptr) {
        std::printf("\nError from fopen() for input file '%s'.\n\n", InputPath);
        Pause();
        return ExitOk;
    }
    std::setvbuf(input, InputBuffer, _IOFBF, sizeof InputBuffer);

    const ConversionResult result = convertArrays(input, InputPath);
    // A read error looks like the end of the input to the line reader; it
    // must not pass for a finished conversion.
    const bool readFailed = std::ferror(input) != 0;
    std::fclose(input);
    if (readFailed)
        std::printf("\nError from fgets() for input file '%s'; the conversion stopped there.\n\n", InputPath);
    if (result.end == ConversionEnd::OutputOpenFailed || result.writeFailed || readFailed)
        Pause();
    return ExitOk;
}
