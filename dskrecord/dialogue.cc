#include "dialogue.h"

#include "console.h"
#include "catalog.h"
#include "disk_image.h"
#include "encoder.h"
#include "disk_image.h"
#include "files.h"
#include "recorder.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr int ExitOk = 0; // every ending, failures included
constexpr int PathSize = 128;
constexpr int FileNameSize = 31;

char ImagePath[PathSize];
char TextFolder[PathSize];
char FileName[FileNameSize];
char DataPath[PathSize];
std::array<uint8_t, EncodedTextBytes> EncodedText;
int32_t FreeCount = 0;
int Recorded = 0; // files recorded in this run

// The sectors a file of size encoded bytes takes: its data sectors (at
// least one) and one T/S list for every 122 of them begun.
int32_t sectorsNeeded(int32_t size)
{
    const int32_t data = std::max<int32_t>(1, (size + SectorBytes - 1) / SectorBytes);
    return data + (data + PairsPerList - 1) / PairsPerList;
}

// How the dialogue goes on after one step.
enum class Next {
    Continue, // on to the next catalog entry
    Save,     // the recording is over: write the image back
    Abandon,  // end without writing anything
};
Next WalkEnd = Next::Save;

// Asks until the answer names a folder. Returns false on an empty answer.
bool askForTextFolder()
{
    for (;;) {
        if (Ask("\nEnter path of text files:  ", PathSize - 1) == 0)
            return false;
        copyAnswer(TextFolder);
        if (isDirectory(TextFolder))
            return true;
        std::printf("\nError, path '%s' is not a directory.\n\n", TextFolder);
        Pause();
    }
}

// Asks for host files until one is recorded into entry, or the dialogue ends.
Next recordIntoEntry(CatalogEntry entry)
{
    for (;;) {
        if (Ask("\nEnter text file to record:  ", FileNameSize - 1) == 0)
            return Next::Save;
        copyAnswer(FileName);
        const int pathLength = std::snprintf(DataPath, sizeof DataPath, "%s/%s", TextFolder, FileName);
        if (pathLength < 0 || pathLength >= PathSize) {
            std::printf("\nError, the data file path '%s/%s' is longer than %d characters; "
                        "please enter a shorter name.\n",
                        TextFolder, FileName, PathSize - 1);
            continue;
        }

        struct stat status{};
        if (stat(DataPath, &status) != 0) {
            std::printf("\nError from stat() for data file '%s'.\n\n", DataPath);
            Pause();
            continue;
        }
        // Read as text, a folder would go down as an empty file, and a pipe could hang the run.
        if (!isRegularFile(DataPath)) {
            std::printf("\nError, data file '%s' is not a regular file.\n\n", DataPath);
            Pause();
            continue;
        }
        const auto hostSize = static_cast<int32_t>(status.st_size);
        std::FILE* in = std::fopen(DataPath, "r");
        if (in == nullptr) {
            std::printf("\nError from open() for data file '%s'.\n\n", DataPath);
            Pause();
            continue;
        }
        const int32_t size = encodeText(in, EncodedText);
        std::fclose(in); // read only: nothing to lose on a failed close

        // A text too large for the encoder's buffer is larger than any diskette.
        if (size >= 0)
            std::printf("Processing complete on file '%s'; file size before/after is %d/%d.\n\n", DataPath,
                        static_cast<int>(hostSize), static_cast<int>(size));
        if (size < 0 || sectorsNeeded(size) > countAllocatable(vtoc()[VtocLastAllocatedTrack])) {
            std::printf("\nThere is insufficient disk space for file '%s'.\n\n", DataPath);
            Pause();
            continue;
        }

        const int32_t total = recordFile(std::span(EncodedText).first(static_cast<size_t>(size)), FileName,
                                         entry, DataPath);
        if (total < 0) {
            std::printf("\nError from getNextTS(); no sectors left.\n\n");
            Pause();
            return Next::Abandon;
        }
        FreeCount -= total;
        ++Recorded;
        return Next::Continue;
    }
}

// Offers every free entry along the catalog chain, in order.
Next walkCatalog()
{
    CatalogWalk walk{};
    int32_t track = vtoc()[CatalogNextTrack];
    int32_t sector = vtoc()[CatalogNextSector];
    for (;;) {
        const CatalogLink link = followLink(walk, track, sector);
        switch (link) {
        case CatalogLink::End:
            return Next::Save;
        case CatalogLink::OutsideImage:
        case CatalogLink::Revisited:
            printCatalogGuard(stdout, link, track, sector);
            return Next::Save;
        case CatalogLink::Follow:
            break;
        }
        auto catalog = sectorAt(track, sector);
        for (int32_t offset : EntryOffsets) {
            CatalogEntry entry(catalog.subspan(static_cast<size_t>(offset), EntryBytes));
            if (entry[0] != 0) // taken, or 0xFF for a deleted file
                continue;
            const Next next = recordIntoEntry(entry);
            if (next != Next::Continue)
                return next;
        }
        track = catalog[CatalogNextTrack];
        sector = catalog[CatalogNextSector];
    }
}

} // namespace

bool recordAlongCatalog(std::string_view textFolder, int32_t freeCount)
{
    // The dialogue passes TextFolder itself, hence a move rather than a copy.
    const size_t length = std::min(textFolder.size(), sizeof TextFolder - 1);
    std::memmove(TextFolder, textFolder.data(), length);
    TextFolder[length] = '\0';
    FreeCount = freeCount;
    Recorded = 0;
    WalkEnd = walkCatalog();
    // Nothing recorded, nothing written: not even the start track set before the walk.
    return WalkEnd == Next::Save && Recorded > 0;
}

int dskrecordMain()
{
    NumTracks = 0;
    NumSectors = 0;
    if (askForImage(ImagePath) != 0)
        return ExitOk;

    FreeCount = countFree();
    std::printf("\nFree space on this diskette is %d sectors.\n\n", static_cast<int>(FreeCount));
    // Allocation starts on the highest track; this reaches the file only with the save.
    vtoc()[VtocLastAllocatedTrack] = static_cast<uint8_t>(NumTracks - 1);

    if (!askForTextFolder())
        return ExitOk;
    if (recordAlongCatalog(TextFolder, FreeCount))
        saveDisk(ImagePath);
    if (WalkEnd == Next::Save) // an abandoned run has paused on its message already
        Pause();
    return ExitOk;
}
