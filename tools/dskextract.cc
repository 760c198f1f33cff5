// dskextract: writes a text file of a diskette image back as host text.
#include "catalog_reading.h"
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

// A T/S list sector: the link to the next list, then track and sector of each data sector.
constexpr size_t ListNext = 0x01;
constexpr size_t ListPairs = 0x0C;
constexpr uint8_t TrackZero = 0x40; // how the diskette stores track 0

// NAME as the catalog stores it, blank-padded to the longest name.
std::array<uint8_t, FullNameBytes> Wanted;
// The entry found, inside Disk.
std::span<uint8_t> Found;
// The text, gathered whole before anything is written.
std::array<uint8_t, DiskBytes> Text;
size_t TextLength = 0;

bool matchesName(CatalogEntry entry)
{
    for (int i = 0; i < entryNameLength(entry); ++i)
        if (entry[static_cast<size_t>(EntryName + i)] != Wanted[static_cast<size_t>(i)])
            return false;
    Found = entry;
    return true;
}

int32_t trackOf(uint8_t byte)
{
    return byte == TrackZero ? 0 : byte;
}

bool insideImage(int32_t track, int32_t sector)
{
    return track < NumTracks && sector < NumSectors;
}

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

// Follows the file's T/S lists and gathers its text. A list or data sector
// outside the image, a list read twice, or more text than a diskette holds
// is reported.
int gatherText(const char* name)
{
    std::array<std::array<bool, MaxSectors>, MaxTracks> seen{};
    int32_t track = trackOf(Found[EntryListTrack]);
    int32_t sector = Found[EntryListSector];
    for (;;) {
        if (!insideImage(track, sector)) {
            reportFailure("\nError, file '%s' has a track/sector list at track %d sector %d, outside this "
                          "diskette; nothing written.\n\n", name, track, sector);
            return -1;
        }
        bool& read = seen[static_cast<size_t>(track)][static_cast<size_t>(sector)];
        if (read) {
            reportFailure("\nError, the track/sector lists of file '%s' link back to track %d sector %d, read "
                          "already; nothing written.\n\n", name, track, sector);
            return -1;
        }
        read = true;
        const auto list = sectorAt(track, sector);
        for (size_t pair = ListPairs; pair < SectorBytes; pair += 2) {
            if (list[pair] == 0 && list[pair + 1] == 0)
                return 0;
            const int32_t dataTrack = trackOf(list[pair]);
            const int32_t dataSector = list[pair + 1];
            if (!insideImage(dataTrack, dataSector)) {
                reportFailure("\nError, file '%s' has a data sector at track %d sector %d, outside this diskette; "
                              "nothing written.\n\n", name, dataTrack, dataSector);
                return -1;
            }
            const Gather got = appendSector(sectorAt(dataTrack, dataSector));
            if (got == Gather::End)
                return 0;
            if (got == Gather::TooLong) {
                reportFailure("\nError, file '%s' holds more text than a diskette can; nothing written.\n\n", name);
                return -1;
            }
        }
        if (list[ListNext] == 0 && list[ListNext + 1] == 0)
            return 0;
        track = trackOf(list[ListNext]);
        sector = list[ListNext + 1];
    }
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

    const std::string_view given = name;
    for (size_t i = 0; i < Wanted.size(); ++i)
        Wanted[i] = catalogNameByte(i < given.size() ? given[i] : ' ');
    if (walkCatalog(matchesName) != WalkEnd::Stopped) {
        reportFailure("\nError, no file named '%s' in the catalog of diskette file '%s'.\n\n", name, image);
        return ExitFailure;
    }
    const uint8_t type = Found[EntryType];
    if ((type & 0x7F) != TextFileType) {
        reportFailure("\nError, file '%s' is of type %c, not a text file; nothing written.\n\n", name,
                      typeLetter(type));
        return ExitFailure;
    }
    if (gatherText(name) != 0)
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
