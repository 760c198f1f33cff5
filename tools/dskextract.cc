// dskextract: writes a text file of a diskette image back as host text, and a
// binary file as its bytes.
#include "file_sectors.h"
#include "files.h"
#include "output_file.h"
#include "program.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <span>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view Options[]{"--header"};
const ProgramForm Form{
    "dskextract", "[--header] IMAGE NAME [OUT]", 2, 3,
    "  --header  a binary file's load address and length first, as dskputbin --header takes them\n"
    "  IMAGE     the diskette image; it is only read\n"
    "  NAME      the file's name on the diskette, as it was recorded (hello.s finds HELLO.S)\n"
    "  OUT       the host file to write, replaced whole; without it the bytes go to standard output\n",
    false, Options};

// The entry found, inside Disk.
int Found = -1;
// The text, gathered whole before anything is written.
std::array<uint8_t, DiskBytes> Text;
size_t TextLength = 0;

enum class Gather { More, End, TooLong };

// Adds a data sector's bytes as host text, up to the text's end, its first zero byte.
Gather appendSector(std::span<const uint8_t, SectorBytes> data)
{
    for (uint8_t byte : data) {
        if (byte == 0)
            return Gather::End;
        if (TextLength == Text.size())
            return Gather::TooLong;
        const auto ch = static_cast<uint8_t>(byte & 0x7F);
        Text[TextLength++] = ch == '\r' ? uint8_t{'\n'} : ch;
    }
    return Gather::More;
}

// Follows the file's T/S lists and gathers its text, which ends at the
// first pair 0/0 or zero byte. Broken lists, or more text than a diskette
// holds, are reported.
int gatherText(const char* name, const char* image)
{
    Gather got = Gather::More;
    const FileWalk walk = walkFile(entryAt(Found), [&](FilePart part, int32_t track, int32_t sector) {
        if (part == FilePart::List)
            return false;
        got = part == FilePart::Hole ? Gather::End : appendSector(sectorAt(track, sector));
        return got != Gather::More;
    });
    if (got == Gather::TooLong) {
        reportFailure("\nError, file '%s' holds more text than a diskette can; nothing written.\n\n", name);
        return -1;
    }
    if (walk.broken != ListBreak::None) {
        reportBrokenFile(name, image, walk);
        return -1;
    }
    return 0;
}

// A binary file's data: its load address and length, two bytes each, low
// byte first, then the bytes the DOS loads.
constexpr size_t HeaderBytes = 4;
constexpr size_t MostBinaryBytes = HeaderBytes + 0xFFFF;

// Adds a data sector's bytes as they stand, as far as a binary file reaches.
Gather appendBinary(std::span<const uint8_t, SectorBytes> data)
{
    const size_t count = std::min(data.size(), MostBinaryBytes - TextLength);
    std::copy_n(data.begin(), count, Text.begin() + static_cast<std::ptrdiff_t>(TextLength));
    TextLength += count;
    return TextLength == MostBinaryBytes ? Gather::End : Gather::More;
}

// Follows the file's T/S lists and gathers its bytes: as many as its header's
// length says, after the header, or with withHeader the header and those.
// The DOS reads a binary file from its start, so its data ends at the first
// pair 0/0; a file that ends before the header's length is told in a note,
// and what it holds is taken. Broken lists, or data too short for the
// header, are reported.
int gatherBinary(const char* name, const char* image, bool withHeader)
{
    const FileWalk walk = walkFile(entryAt(Found), [&](FilePart part, int32_t track, int32_t sector) {
        if (part == FilePart::List)
            return false;
        return part == FilePart::Hole || appendBinary(sectorAt(track, sector)) == Gather::End;
    });
    if (walk.broken != ListBreak::None) {
        reportBrokenFile(name, image, walk);
        return -1;
    }
    if (TextLength < HeaderBytes) {
        reportFailure("\nError, binary file '%s' ends before its 4-byte load address and length; nothing "
                      "written.\n\n",
                      name);
        return -1;
    }
    const auto length = static_cast<size_t>(Text[2] | Text[3] << 8);
    const size_t held = TextLength - HeaderBytes;
    if (held < length)
        reportNote("\nNote: the header of binary file '%s' gives a length of %d bytes, but its data sectors hold "
                   "only %d after the header; those are written.\n",
                   name, static_cast<int>(length), static_cast<int>(held));
    const size_t kept = std::min(held, length);
    if (withHeader) {
        TextLength = HeaderBytes + kept;
    } else {
        const auto data = Text.begin() + HeaderBytes;
        std::copy(data, data + static_cast<std::ptrdiff_t>(kept), Text.begin());
        TextLength = kept;
    }
    return 0;
}

bool writeText(int fd)
{
    return writeAll(fd, std::span(Text).first(TextLength)) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int started = startProgram(Form, argc, argv);
    if (started >= 0)
        return started;
    const std::span<char*> args = argumentAnswers();
    const char* image = args[0];
    const char* name = args[1];
    const char* out = args.size() > 2 ? args[2] : nullptr;
    if (out == nullptr && refuseClosedStandardOutput())
        return ExitFailure;
    if (out != nullptr &&
        refuseSameFile(image, out, "\nError, output file '%s' is the diskette file '%s'; nothing written.\n\n"))
        return ExitFailure;
    if (loadImage(image, DiskUse::Read) != 0)
        return ExitFailure;

    Found = findFile(storedName(name));
    if (Found < 0) {
        reportFailure("\nError, no file named '%s' in the catalog of diskette file '%s'.\n\n", name, image);
        return ExitFailure;
    }
    const auto type = static_cast<uint8_t>(entryAt(Found)[EntryType] & ~LockedBit);
    if (type != TextFileType && type != BinaryFileType) {
        reportFailure("\nError, file '%s' is of type %c, not a text or binary file; nothing written.\n\n", name,
                      typeLetter(type));
        return ExitFailure;
    }
    const bool header = optionGiven("--header");
    if (header && type == TextFileType) {
        reportFailure("\nError, file '%s' is a text file, which has no load address and length; --header is for "
                      "binary files; nothing written.\n\n",
                      name);
        return ExitFailure;
    }
    if ((type == BinaryFileType ? gatherBinary(name, image, header) : gatherText(name, image)) != 0)
        return ExitFailure;
    if (out != nullptr) {
        const OutputFailure failure = writeOutput(out, std::span(Text).first(TextLength));
        if (failure.failed())
            reportCallFailure(failure.call, "output", out);
        return failure.failed() ? ExitFailure : ExitOk;
    }
    if (!writeText(STDOUT_FILENO)) {
        reportFailure("\nError from write() for standard output.\n\n");
        return ExitFailure;
    }
    return ExitOk;
}
