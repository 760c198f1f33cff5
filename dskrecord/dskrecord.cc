// The recorder's dialogue: the image, the text folder, then one host file
// for each free catalog entry along the chain, and the save.
#include "dskrecord.h"

#include "console.h"
#include "disk_image.h"
#include "file_writer.h"
#include "files.h"
#include "program.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr int FileNameSize = 31;

char ImagePath[PathSize];
char TextFolder[PathSize];
char FileName[FileNameSize];
char DataPath[PathSize];
std::array<uint8_t, EncodedTextBytes> EncodedText;
int32_t FreeCount = 0;
int Recorded = 0; // files recorded in this run

// How the dialogue goes on after one step.
enum class Next {
    Continue, // on to the next catalog entry
    Save,     // the recording is over: write the image back
    Abandon,  // end without writing anything
};

// Asks until the answer names a folder. Returns false on an empty answer.
bool askForTextFolder()
{
    for (;;) {
        if (Ask("\nEnter path of text files:  ", PathSize - 1) == 0)
            return false;
        copyAnswer(TextFolder);
        if (isDirectory(TextFolder))
            return true;
        reportFailure("\nError, path '%s' is not a directory.\n\n", TextFolder);
        Pause();
    }
}

// Asks for the next host file and checks that it can be read as text.
// Returns its size on the host, or -1 on an empty answer.
int32_t askForDataFile()
{
    for (;;) {
        if (Ask("\nEnter text file to record:  ", FileNameSize - 1) == 0)
            return -1;
        copyAnswer(FileName);
        const int pathLength = std::snprintf(DataPath, sizeof DataPath, "%s/%s", TextFolder, FileName);
        if (pathLength < 0 || pathLength >= PathSize) {
            reportFailure("\nError, the data file path '%s/%s' is longer than %d characters; "
                          "please enter a shorter name.\n",
                          TextFolder, FileName, PathSize - 1);
            continue;
        }
        struct stat status{};
        if (stat(DataPath, &status) != 0) {
            reportCallFailure("stat", "data", DataPath);
            Pause();
            continue;
        }
        // Read as text, a folder would go down as an empty file, and a pipe could hang the run.
        if (!S_ISREG(status.st_mode)) {
            reportFailure("\nError, data file '%s' is not a regular file.\n\n", DataPath);
            Pause();
            continue;
        }
        return static_cast<int32_t>(status.st_size);
    }
}

// Asks for host files until one is recorded into entry, or the dialogue ends.
Next recordIntoEntry(CatalogEntry entry)
{
    for (;;) {
        const int32_t hostSize = askForDataFile();
        if (hostSize < 0)
            return Next::Save;
        std::FILE* in = std::fopen(DataPath, "r");
        if (in == nullptr) {
            reportCallFailure("open", "data", DataPath);
            Pause();
            continue;
        }
        const int32_t size = encodeText(in, EncodedText);
        std::fclose(in); // read only: nothing to lose on a failed close

        // A text too large for the encoder's buffer is larger than any diskette.
        if (size >= 0)
            std::printf("Processing complete on file '%s'; file size before/after is %d/%d.\n\n", DataPath,
                        static_cast<int>(hostSize), static_cast<int>(size));
        // The sectors it really needs, its T/S lists included, against those
        // the allocator can still hand out: a file that passes always fits.
        if (!roomFor(size)) {
            reportFailure("\nThere is insufficient disk space for file '%s'.\n\n", DataPath);
            Pause();
            continue;
        }

        const int32_t total = recordTextFile(std::span(EncodedText).first(static_cast<size_t>(size)), FileName,
                                             entry, DataPath);
        if (total < 0) {
            reportFailure("\nError from getNextTS(); no sectors left.\n\n");
            Pause();
            return Next::Abandon;
        }
        FreeCount -= total;
        ++Recorded;
        return Next::Continue;
    }
}

// Offers every free entry along the catalog chain, in order.
Next offerFreeEntries()
{
    Next next = Next::Save;
    walkCatalog([&](CatalogEntry entry) {
        if (entry[EntryListTrack] != 0) // taken, or 0xFF for a deleted file
            return false;
        next = recordIntoEntry(entry);
        return next != Next::Continue;
    });
    return next == Next::Continue ? Next::Save : next;
}

// The walk over the catalog with the text folder set. In the argument form
// every FILE must find an entry: those left when the catalog ends fail the
// run, so that it records all its files or none.
Next recordFiles(int32_t freeCount)
{
    FreeCount = freeCount;
    Recorded = 0;
    const Next end = offerFreeEntries();
    if (end == Next::Save && !runEnded())
        for (const char* file : argumentAnswers())
            reportFailure("\nError, the catalog has no free entry for '%s'.\n\n", file);
    return end;
}

// Whether the recording is to be written back: a file was recorded (a run
// that records nothing writes nothing, not even the start track set before
// the walk), and the run did not end on a failure.
bool toBeSaved(Next end)
{
    return end == Next::Save && Recorded > 0 && !runEnded();
}

} // namespace

bool recordAlongCatalog(std::string_view textFolder, int32_t freeCount)
{
    const size_t length = std::min(textFolder.size(), sizeof TextFolder - 1);
    std::memcpy(TextFolder, textFolder.data(), length);
    TextFolder[length] = '\0';
    return toBeSaved(recordFiles(freeCount));
}

int dskrecordMain()
{
    NumTracks = 0;
    NumSectors = 0;
    if (askForImage(ImagePath) != 0)
        return ExitOk;

    FreeCount = countFree();
    std::printf("\nFree space on this diskette is %d sectors.\n\n", static_cast<int>(FreeCount));
    // Allocation starts on the highest track, and passes over what the files
    // use whatever the bitmap says; this reaches the file only with the save.
    prepareRecording();

    if (!askForTextFolder())
        return ExitOk;
    const Next end = recordFiles(FreeCount);
    if (toBeSaved(end))
        saveDisk(ImagePath);
    if (end == Next::Save) // an abandoned run has paused on its message already
        Pause();
    return ExitOk;
}
