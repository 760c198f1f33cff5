// The conversion pass: the kinds of line in array text, the items of a byte
// line, the output file of each array and the check of each length line.
#include "array2bin.h"

#include "console.h"
#include "files.h"
#include "length_table.h"
#include "numbers.h"
#include "output_file.h"
#include "program.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

namespace {

// ---- The lines of array text

// Lines longer than this less one are cut; the name of an array fits too.
constexpr size_t LineSize = 256;

enum class LineKind {
    ArrayOpener, // "unsigned char NAME[] = {"
    LengthLine,  // "unsigned int NAME_len = COUNT;"
    Other,
};

constexpr std::string_view OpenerPrefix = "unsigned char";
constexpr std::string_view LengthPrefix = "unsigned int";
constexpr size_t ArrayNameStart = 14;
constexpr size_t LengthNameStart = 13;
constexpr size_t CountAfterUnderscore = 6; // "_len =" is passed over

// Only the start of the line counts; an opener is recognised first.
LineKind classifyLine(std::string_view line)
{
    if (line.starts_with(OpenerPrefix))
        return LineKind::ArrayOpener;
    if (line.starts_with(LengthPrefix))
        return LineKind::LengthLine;
    return LineKind::Other;
}

// The array name of an opener line: from the fifteenth character up to the
// first '[' or the end of the line (the fourteenth, normally a blank, is not
// looked at). Empty when the line has nothing after its fourteenth character.
std::string_view arrayNameOf(std::string_view openerLine)
{
    if (openerLine.size() <= ArrayNameStart)
        return {};
    const std::string_view rest = openerLine.substr(ArrayNameStart);
    return rest.substr(0, rest.find('['));
}

struct LengthDeclaration {
    bool hasName = false;   // the name part holds a '_'
    std::string_view name;  // from the fourteenth character up to that '_'
    bool hasNumber = false; // a decimal number follows where the count belongs
    int64_t number = 0;
};

// The name and the count of a length line. The count's text begins six
// characters after the '_' (past "_len =") and ends before the first ';'; it
// is read as "%d" reads it. Without a '_' there is neither name nor number.
LengthDeclaration parseLengthLine(std::string_view line)
{
    LengthDeclaration declaration;
    if (line.size() <= LengthNameStart)
        return declaration;
    const size_t underscore = line.find('_', LengthNameStart);
    if (underscore == std::string_view::npos)
        return declaration;
    declaration.hasName = true;
    declaration.name = line.substr(LengthNameStart, underscore - LengthNameStart);

    const size_t countStart = underscore + CountAfterUnderscore;
    if (countStart < line.size()) {
        std::string_view countText = line.substr(countStart);
        countText = countText.substr(0, countText.find(';'));
        // Values beyond 64 bits stay at the largest, which no byte count can equal.
        const ScannedNumber count = scanNumber(countText, 10, INT64_MAX);
        declaration.hasNumber = count.used > 0;
        const auto magnitude = static_cast<int64_t>(count.magnitude);
        declaration.number = count.negative ? -magnitude : magnitude;
    }
    return declaration;
}

// ---- The items of a byte line

// The byte an item stands for: blanks anywhere in it are dropped and the rest
// is read as "%x" reads it (an optional sign and 0x, then hex digits, the
// first other character ending it), keeping the low 8 bits. Empty when the
// item holds no hexadecimal number (nothing, only blanks, or text such as '}').
std::optional<uint8_t> itemValue(std::string_view item)
{
    // The item with its blanks dropped; it is part of one line, so it fits.
    std::array<char, LineSize> text;
    size_t length = 0;
    for (char ch : item)
        if (ch != ' ' && length < text.size())
            text[length++] = ch;
    const ScannedNumber number = scanNumber(std::string_view(text.data(), length), 16, UINT64_MAX);
    if (number.used == 0)
        return std::nullopt;
    // Only the last two digits reach the low 8 bits.
    auto value = static_cast<unsigned>(number.wrapped & 0xFFu);
    if (number.negative)
        value = (0x100u - value) & 0xFFu;
    return static_cast<uint8_t>(value);
}

// Reads the items of one byte line into out, left to right, and returns how
// many bytes they gave. An item ends at the next ',' or at the end of the
// line, so a comma at the end starts no item; items without a number give no
// byte. Stops when out is full (a line of n characters gives at most n/2+1).
size_t readItems(std::string_view line, std::span<uint8_t> out)
{
    size_t count = 0;
    while (!line.empty() && count < out.size()) {
        const size_t comma = line.find(',');
        const std::optional<uint8_t> value = itemValue(line.substr(0, comma));
        if (value)
            out[count++] = *value;
        if (comma == std::string_view::npos)
            break;
        line.remove_prefix(comma + 1);
    }
    return count;
}

// ---- The pass

char Line[LineSize];
char CurrentName[LineSize];
int64_t Ordinal;   // place of the next array among the input's arrays
int64_t ByteCount; // bytes written for the current array
std::array<uint8_t, LineSize> LineBytes;
OutputFile Output;

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

// Reports why no file may be written for the current array, if so. The name
// comes from a text file: it must not reach outside the current folder, nor
// empty the input while it is being read.
bool refuseArray(const char* inputPath)
{
    if (Ordinal >= MaxArrays) {
        reportSetback("\nError, array '%s' is beyond the %d arrays that have a length; no file is written for it.\n\n",
                      CurrentName, MaxArrays);
        return true;
    }
    if (std::strchr(CurrentName, '/') != nullptr) {
        reportSetback("\nError, array name '%s' holds a '/'; no file is written for it.\n\n", CurrentName);
        return true;
    }
    if (isSameFile(inputPath, CurrentName)) {
        reportSetback("\nError, output file '%s' is the input file; no file is written for it.\n\n", CurrentName);
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

    // Written beside the file of its name, which it replaces once it is whole.
    if (openOutput(Output, CurrentName, OutputUse::Stream).failed()) {
        reportCallFailure("fopen", "output", CurrentName);
        return ArrayEnd::OutputOpenFailed;
    }
    std::FILE* output = Output.stream;
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
    if (!written)
        abandonOutput(Output); // an existing file of the name stays as it was
    else if (commitOutput(Output).failed())
        written = false;
    if (written) {
        std::printf("File %s is done\n", CurrentName);
    } else {
        reportSetback("\nError from fwrite() for output file '%s'; the file is incomplete.\n\n", CurrentName);
        writeFailed = true;
    }
    return end;
}

// Confirms what a length line shares with the array read last: its name
// (case and all), then its count of bytes written. A mismatch prints nothing.
void checkLength()
{
    const LengthDeclaration declaration = parseLengthLine(Line);
    if (declaration.hasName && declaration.name == CurrentName)
        std::printf("Both file names compare to %s.\n", CurrentName);
    if (declaration.hasNumber && declaration.number == ByteCount)
        std::printf("Number of bytes read for %s is correct.\n", CurrentName);
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
            result.outputOpenFailed = end == ArrayEnd::OutputOpenFailed;
            if (end != ArrayEnd::Closed)
                return result;
            break;
        }
        case LineKind::LengthLine:
            checkLength();
            break;
        case LineKind::Other:
            reportSetback("Received unexpected parameter value:\n%s.\n", Line);
            break;
        }
        if (!nextLine(input))
            return result;
    }
}
