// The case-difference extractor's dialogue: the input and output paths, then
// the condensed listing and the pause.
#include "casediff.h"

#include "console.h"
#include "files.h"
#include "output_file.h"
#include "program.h"

#include <cstdio>

namespace {

char InputPath[PathSize];
char OutputPath[PathSize];
OutputFile Output;

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
    // The output is replaced, so it must not be the listing itself.
    if (refuseSameFile(InputPath, OutputPath, "\nError, output file '%s' is the same file as input file '%s'.\n\n")) {
        std::fclose(in);
        Pause();
        return ExitOk;
    }
    // Written beside the output, which it replaces once it is whole.
    if (openOutput(Output, OutputPath, OutputUse::Stream).failed()) {
        reportCallFailure("fopen", "output", OutputPath);
        std::fclose(in);
        Pause();
        return ExitOk;
    }
    std::FILE* out = Output.stream;
    std::setvbuf(out, OutputBuffer, _IOFBF, sizeof OutputBuffer);

    const ListingCount listing = condenseListing(in, out);
    if (!listing.readToEnd)
        reportFailure("\nError from fgets() for input file '%s'; the listing was not read to its end.\n\n",
                      InputPath);
    // Put in place before the pause, so a failed write is told while the user is still there; after
    // a read failure the output holds what was condensed before it. A read failure that ended the
    // run has told already that the output is not complete.
    if (commitOutput(Output).failed() && !runEnded())
        reportFailure("\nError from fwrite() for output file '%s'; the output is not complete.\n\n", OutputPath);
    // An empty output can be right, but a listing of no compare line at all is most likely another
    // listing's form (cmp -l prints decimal offsets and octal bytes).
    if (argumentForm() && listing.lines > 0 && listing.compareLines == 0)
        std::fprintf(stderr,
                     "\nNote, no line of input file '%s' has the compare form address-byteA (byteB) in "
                     "hexadecimal, as in 0300-C8 (E8); the output is empty. The lines of cmp -l need "
                     "converting first: see man casediff.\n\n",
                     InputPath);

    Pause();
    std::fclose(in);
    return ExitOk;
}
