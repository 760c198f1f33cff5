#include "bin2array.h"

#include "console.h"
#include "files.h"
#include "output_file.h"
#include "program.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

char InputName[PathSize];
char OutputName[PathSize];
OutputFile Output;

// Opens the input to read. A folder opens but cannot be read; it is refused
// here, before the output is emptied for it.
std::FILE* openInput()
{
    return isDirectory(InputName) ? nullptr : std::fopen(InputName, "r");
}

// Opens the output named: the text goes to a temporary file beside it,
// which replaces it once written whole. Writing the input itself would
// destroy the very bytes about to be read: that output is refused.
std::FILE* outputStream()
{
    if (refuseSameFile(InputName, OutputName, "\nError, output file '%s' is the input file; it is left as it was.\n\n"))
        return nullptr;
    if (openOutput(Output, OutputName, OutputUse::Stream).failed()) {
        reportCallFailure("open", "output", OutputName);
        return nullptr;
    }
    return Output.stream;
}

// Standard output, when it is not the input file itself (bin2array x >> x):
// the text, longer than its bytes, would be read back as input without end.
std::FILE* standardOutput(std::FILE* input)
{
    if (refuseClosedStandardOutput())
        return nullptr;
    struct stat in{};
    struct stat out{};
    if (fstat(fileno(input), &in) == 0 && fstat(STDOUT_FILENO, &out) == 0 && in.st_dev == out.st_dev &&
        in.st_ino == out.st_ino) {
        reportFailure("\nError, standard output is the input file '%s'; nothing is written.\n\n", InputName);
        return nullptr;
    }
    return stdout;
}

// Reports the failures of the conversion itself.
void reportConversion(ArrayTextResult result, bool toStandardOutput)
{
    if (result.readFailed)
        reportFailure("\nError from read() for input file '%s'; the array ends where reading stopped.\n\n", InputName);
    if (result.writeFailed && toStandardOutput)
        reportFailure("\nError from write() for standard output; the array text is incomplete.\n\n");
    else if (result.writeFailed)
        reportFailure("\nError from write() for output file '%s'; the array text is incomplete.\n\n", OutputName);
    if (result.readFailed || result.writeFailed)
        Pause();
}

} // namespace

int bin2arrayMain()
{
    Ask("\nEnter name of input binary file to process:  ", PathSize - 1);
    copyAnswer(InputName);
    // Given as arguments, OUTPUT may be left out: the text goes to standard output.
    const bool toStandardOutput = argumentForm() && argumentAnswers().empty();
    if (!toStandardOutput) {
        Ask("Enter name of output text file to write:  ", PathSize - 1);
        copyAnswer(OutputName);
    }
    if (InputName[0] == '\0' || (OutputName[0] == '\0' && !toStandardOutput))
        return ExitOk;

    std::FILE* input = openInput();
    if (input == nullptr) {
        reportCallFailure("fopen", "input", InputName);
        Pause();
        return ExitOk;
    }
    std::FILE* output = toStandardOutput ? standardOutput(input) : outputStream();
    if (output == nullptr) {
        std::fclose(input);
        Pause();
        return ExitOk;
    }

    ArrayTextResult result = writeArrayText(input, output, InputName);
    std::fclose(input);
    // After a read failure the array ends where reading stopped, and is written so.
    if (output != stdout && result.writeFailed)
        abandonOutput(Output);
    else if (output != stdout && commitOutput(Output).failed())
        result.writeFailed = true;
    reportConversion(result, toStandardOutput);
    return ExitOk;
}
