// dskextract: writes a text file of a diskette image back as host text.
#include "file_sectors.h"
#include "files.h"
#include "output_file.h"
#include "program.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const ProgramForm Form{
    "dskextract", "IMAGE NAME [OUT]", 2, 3,
    "  IMAGE  the diskette image; it is only read\n"
    "  NAME   the text file's name on the diskette, as dskrecord was given it (hello.s finds HELLO.S)\n"
    "  OUT    the host file to write, replaced whole; without it the text goes to standard output\n",
    false};

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
    const uint8_t type = entryAt(Found)[EntryType];
    if ((type & 0x7F) != TextFileType) {
        reportFailure("\nError, file '%s' is of type %c, not a text file; nothing written.\n\n", name,
                      typeLetter(type));
        return ExitFailure;
    }
    if (gatherText(name, image) != 0)
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
