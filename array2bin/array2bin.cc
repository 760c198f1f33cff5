// array2bin's dialogue: the input question, then the conversion pass.
#include "array2bin.h"

#include "console.h"
#include "files.h"
#include "program.h"

#include <cstdio>

namespace {

char InputPath[PathSize];

} // namespace

int array2binMain()
{
    if (Ask("\nEnter path of input text file to process:  ", PathSize - 1) == 0)
        return ExitOk;
    copyAnswer(InputPath);

    std::FILE* input = std::fopen(InputPath, "r");
    if (input == nullptr) {
        reportCallFailure("fopen", "input", InputPath);
        Pause();
        return ExitOk;
    }

    const ConversionResult result = convertArrays(input, InputPath);
    // A read error looks like the end of the input to the line reader; it
    // must not pass for a finished conversion.
    const bool readFailed = std::ferror(input) != 0;
    std::fclose(input);
    if (readFailed)
        reportFailure("\nError from fgets() for input file '%s'; the conversion stopped there.\n\n", InputPath);
    if (result.outputOpenFailed || result.writeFailed || readFailed)
        Pause();
    return ExitOk;
}
