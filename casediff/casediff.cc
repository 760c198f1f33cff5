// The case-difference extractor's dialogue: the input and output paths, then
// the condensed listing and the pause.
#include "casediff.h"

#include "console.h"
#include "files.h"
#include "program.h"

#include <cstdio>

namespace {

char InputPath[PathSize];
char OutputPath[PathSize];

// Room for many listing pieces per write call.
char OutputBuffer[65536];

} // namespace

int casediffMain()
{
    if (Ask("\nEnter path of input file to process:  ", PathSize - 1) == 0)
        return ExitOk;
    copyAnswer(InputPath);
    if (Ask("\nEnter path of output file:  ", PathSize - 1) == 0)
        return ExitOk;
    copyAnswer(OutputPath);

    std::FILE* in = std::fopen(InputPath, "r");
    if (in == nullptr) {
        reportCallFailure("fopen", "input", InputPath);
        Pause();
        return ExitOk;
    }
    // Opening the output empties it, so it must not be the listing itself.
    if (refuseSameFile(InputPath, OutputPath, "\nError, output file '%s' is the same file as input file '%s'.\n\n")) {
        std::fclose(in);
        Pause();
        return ExitOk;
    }
    std::FILE* out = std::fopen(OutputPath, "w");
    if (out == nullptr) {
        reportCallFailure("fopen", "output", OutputPath);
        std::fclose(in);
        Pause();
        return ExitOk;
    }
    std::setvbuf(out, OutputBuffer, _IOFBF, sizeof OutputBuffer);

    if (!condenseListing(in, out))
        reportFailure("\nError from fgets() for input file '%s'; the listing was not read to its end.\n\n",
                      InputPath);
    // Flushed before the pause, so a failed write is told while the user is still there. A read
    // failure that ended the run has told already that the output is not complete.
    if (!runEnded() && (std::fflush(out) != 0 || std::ferror(out) != 0))
        reportFailure("\nError from fwrite() for output file '%s'; the output is not complete.\n\n", OutputPath);

    Pause();
    std::fclose(in);
    std::fclose(out);
    return ExitOk;
}
