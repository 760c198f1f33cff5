// dskcatalog: lists the catalog of a diskette image, one line a file, as
// the diskette's DOS shows it.
#include "catalog.h"
#include "program.h"

#include <cstdio>

namespace {

const ProgramForm Form{"dskcatalog", "IMAGE", 1, 1, "  IMAGE  the diskette image to list; it is only read\n", false};

// "*T 003 NAME" and the time stamp when there is one; trailing blanks dropped.
bool printEntry(CatalogEntry entry)
{
    const uint8_t type = entry[EntryType];
    char name[FullNameBytes + 1];
    entryShownName(entry, name);
    char line[96];
    int length = std::snprintf(line, sizeof line, "%c%c %03d %-24s", (type & LockedBit) != 0 ? '*' : ' ',
                               typeLetter(type), entrySectorCount(entry), name);
    Stamp stamp{};
    if (entryStamp(entry, stamp))
        length += std::snprintf(line + length, sizeof line - static_cast<size_t>(length), " 20%02d-%02d-%02d %02d:%02d:%02d",
                                stamp.year, stamp.month, stamp.day, stamp.hours, stamp.minutes, stamp.seconds);
    while (length > 0 && line[length - 1] == ' ')
        --length;
    std::printf("%.*s\n", length, line);
    return false; // on to the next entry
}

} // namespace

int main(int argc, char** argv)
{
    const int started = startProgram(Form, argc, argv);
    if (started >= 0)
        return started;
    const char* path = argumentAnswers()[0];
    if (refuseClosedStandardOutput() || loadImage(path, DiskUse::Read) != 0)
        return ExitFailure;
    std::printf("Catalog of '%s': %d tracks, %d sectors per track, %d sectors free\n", path, NumTracks, NumSectors,
                countAllocatable(NumTracks - 1));
    const WalkEnd end = walkFiles(printEntry);
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        reportFailure("\nError from write() for standard output.\n\n");
        return ExitFailure;
    }
    return end == WalkEnd::Guard ? ExitFailure : ExitOk;
}
