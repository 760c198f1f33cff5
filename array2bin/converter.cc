#include "converter.h"

#include "console.h"
#include "header.h"
#include "items.h"
#include "length_check.h"
#include "line_kind.h"
#include "files.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

// Lines longer than this less one are cut; the name of an array fits too.
constexpr size_t LineSize = 256;

char Line[LineSize];
char CurrentName[LineSize];
int64_t Ordinal;   // place of the next array among the input's arrays
int64_t ByteCount; // bytes written for the current array
std::array<uint8_t, LineSize> LineBytes;
char OutputBuffer[1 << 16];

bool nextLine(std::FILE* input)
{
    return readConfigLine(Line, input) >= 0;
}

void setCurrentName(std::string_view name)
{
    const size_t length = std::min(name.size(), sizeof CurrentName - 1);
    std::copy_n(name.begin(), length, CurrentName);
    CurrentName[length] = '\0';
}

// Prints why no file may be written for the current array, if so. The name
// comes from a text file: it must not reach outside the current folder, nor
// empty the input while it is being read.
bool refuseArray(const char* inputPath)
{
    if (Ordinal >= MaxArrays) {
        std::printf("\nError, array '%s' is beyond the %d arrays that have a length; no file is written for it.\n\n",
                    CurrentName, MaxArrays);
        return true;
    }
    if (std::strchr(CurrentName, '/') != nullptr) {
        std::printf("\nError, array name '%s' holds a '/'; no file is written for it.\n\n", CurrentName);
        return true;
    }
    if (isSameFile(inputPath, CurrentName)) {
        std::printf("\nError, output file '%s' is the input file; no file is written for it.\n\n", CurrentName);
        return true;
    }
    return false;
}

enum class ArrayEnd { Closed, InputEnded, OutputOpenFailed };

// Reads lines up to the '}' that closes the array; false when the input ends first.
bool skipArray(std::FILE* input)
{
    while (nextLine(input))
        if (Line[0] == '}')
            return true;
    return false;
}

// Converts the array whose opener is in Line.
ArrayEnd convertArray(std::FILE* input, const char* inputPath, bool& writeFailed)
{
    setCurrentName(arrayNameOf(Line));
    ByteCount = 0;
    if (refuseArray(inputPath)) {
        // Nothing was written, so no length line can confirm it.
        CurrentName[0] = '\0';
        ++Ordinal;
        return skipArray(input) ? ArrayEnd::Closed : ArrayEnd::InputEnded;
    }

    std::FILE* output = std::fopen(CurrentName, "w");
    if (output == nullptr) {
        std::printf("\nError from fopen() for output file '%s'.\n\n", CurrentName);
        return ArrayEnd::OutputOpenFailed;
    }
    std::setvbuf(output, OutputBuffer, _IOFBF, sizeof OutputBuffer);
    const std::array<uint8_t, 4> header = headerFor(static_cast<int>(Ordinal));
    bool written = std::fwrite(header.data(), 1, header.size(), output) == header.size();

    ArrayEnd end = ArrayEnd::Closed;
    for (;;) {
        if (!nextLine(input)) {
            end = ArrayEnd::InputEnded;
            break;
        }
        if (Line[0] == '}')
            break;
        const size_t count = readItems(Line, LineBytes);
        if (count > 0 && std::fwrite(LineBytes.data(), 1, count, output) != count)
            written = false;
        ByteCount += static_cast<int64_t>(count);
    }

    ++Ordinal;
    if (std::fclose(output) != 0)
        written = false;
    if (written) {
        std::printf("File %s is done\n", CurrentName);
    } else {
        std::printf("\nError from fwrite() for output file '%s'; the file is incomplete.\n\n", CurrentName);
        writeFailed = true;
    }
    return end;
}

} // namespace

ConversionResult convertArrays(std::FILE* input, const char* inputPath)
{
    ConversionResult result;
    Ordinal = 0;
    ByteCount = 0;
    CurrentName[0] = '\0';
    if (!nextLine(input))
        return result;
    for (;;) {
        switch (classifyLine(Line)) {
        case LineKind::ArrayOpener: {
            const ArrayEnd end = convertArray(input, inputPath, result.writeFailed);
            if (end == ArrayEnd::OutputOpenFailed)
                result.end = ConversionEnd::OutputOpenFailed;
            if (end != ArrayEnd::Closed)
                return result;
            break;
        }
        case LineKind::LengthLine:
            reportLengthCheck(checkLengthLine(Line, CurrentName, ByteCount), CurrentName);
            break;
        case LineKind::Other:
            std::printf("Received unexpected parameter value:\n%s.\n", Line);
            break;
        }
        if (!nextLine(input))
            return result;
    }
}
