#include "bin2array.h"

#include "console.h"
#include "files.h"
#include "program.h"

#include <cstring>

namespace {

char InputName[PathSize];
char OutputName[PathSize];

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
        std::printf("\nError, a file name on the command line is longer than %d characters.\n\n", PathSize - 1);
        Pause();
    }
    return fits;
}

// Opens the input to read. A folder opens but cannot be read; it is refused
// here, before the output is emptied for it.
std::FILE* openInput()
{
    return isDirectory(InputName) ? nullptr : std::fopen(InputName, "r");
}

// Reports the failures of the conversion itself.
void reportConversion(ArrayTextResult result)
{
    if (result.readFailed)
        reportFailure("\nError from read() for input file '%s'; the array ends where reading stopped.\n\n", InputName);
    if (result.writeFailed)
        reportFailure("\nError from write() for output file '%s'; the array text is incomplete.\n\n", OutputName);
    if (result.readFailed || result.writeFailed)
        Pause();
}

} // namespace

int bin2arrayMain(std::span<char* const> args)
{
    InputName[0] = '\0';
    OutputName[0] = '\0';

    if (!args.empty() && !namesFromArguments(args))
        return ExitOk;
    if (args.empty()) {
        Ask("\nEnter name of input binary file to process:  ", PathSize - 1);
        copyAnswer(InputName);
    }
    if (args.size() < 2) {
        Ask("Enter name of output text file to write:  ", PathSize - 1);
        copyAnswer(OutputName);
    }
    if (InputName[0] == '\0' || OutputName[0] == '\0')
        return ExitOk;

    std::FILE* input = openInput();
    if (input == nullptr) {
        reportCallFailure("fopen", "input", InputName);
        Pause();
        return ExitOk;
    }
    // Opening the output empties it; when it is the input, that would
    // destroy the very bytes about to be read.
    if (refuseSameFile(InputName, OutputName,
                       "\nError, output file '%s' is the input file; it is left as it was.\n\n")) {
        std::fclose(input);
        Pause();
        return ExitOk;
    }
    std::FILE* output = std::fopen(OutputName, "w+");
    if (output == nullptr) {
        std::fclose(input);
        reportCallFailure("open", "output", OutputName);
        Pause();
        return ExitOk;
    }

    ArrayTextResult result = writeArrayText(input, output, InputName);
    std::fclose(input);
    if (std::fclose(output) != 0)
        result.writeFailed = true;
    reportConversion(result);
    return ExitOk;
}
