// dskcatalog: lists the catalog of a diskette image, one line a file, as
// the diskette's DOS shows it.
#include "catalog_reading.h"
#include "program.h"

#include <array>
#include <cstdio>

namespace {

const ProgramForm Form{"dskcatalog", "IMAGE", 1, 1, "  IMAGE  the diskette image to list; it is only read\n", false};

// A name byte as the terminal may show it: high bit cleared, control characters as '?'.
char shownCharacter(uint8_t byte)
{
    const int ch = byte & 0x7F;
    return ch < 0x20 || ch == 0x7F ? '?' : static_cast<char>(ch);
}

// "*T 003 NAME" and the time stamp when there is one; trailing blanks dropped.
bool printEntry(CatalogEntry entry)
{
    std::array<char, 96> line{};
    const uint8_t type = entry[EntryType];
    const int count = entry[EntryCountLow] | entry[EntryCountHigh] << 8;
    int length = std::snprintf(line.data(), line.size(), "%c%c %03d ", (type & 0x80) != 0 ? '*' : ' ',
                               typeLetter(type), count);
    Stamp stamp{};
    const bool stamped = entryStamp(entry, stamp);
    for (int i = 0; i < (stamped ? CatalogNameBytes : FullNameBytes); ++i)
        line[static_cast<size_t>(length++)] = shownCharacter(entry[static_cast<size_t>(EntryName + i)]);
    if (stamped)
        length += std::snprintf(&line[static_cast<size_t>(length)], line.size() - static_cast<size_t>(length),
                                " 20%02d-%02d-%02d %02d:%02d:%02d", stamp.year, stamp.month, stamp.day, stamp.hours,
                                stamp.minutes, stamp.seconds);
    while (length > 0 && line[static_cast<size_t>(length - 1)] == ' ')
        --length;
    std::printf("%.*s\n", length, line.data());
    return false; // on to the next entry
}

} // namespace

int main(int argc, char** argv)
{
    const int started = startProgram(Form, argc, argv);
    if (started >= 0)
        return started;
    const char* path = argumentAnswers()[0];
    if (loadImage(path, DiskUse::Read) != 0)
        return ExitFailure;
    std::printf("Catalog of '%s': %d tracks, %d sectors per track, %d sectors free\n", path, NumTracks, NumSectors,
                countAllocatable(NumTracks - 1));
    const WalkEnd end = walkCatalog(printEntry);
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        reportFailure("\nError from write() for standard output.\n\n");
        return ExitFailure;
    }
    return end == WalkEnd::Guard ? ExitFailure : ExitOk;
}
