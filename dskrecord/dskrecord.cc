// The recorder's dialogue: the image, the text folder, then one host file
// for each free catalog entry along the chain, and the save. Given
// arguments, each FILE in turn goes into the next free entry, or with
// --replace into the entry of the file of its name.
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
// The argument form's options, and the sectors of the files it replaces.
NameLayout Layout = NameLayout::Stamped;
bool Replace = false;
SectorSet ToFree;
DiskUsage Usage; // what the files and the catalog use, as loaded

// How the recording goes on after one step.
enum class Next {
    Continue, // on to the next catalog entry, or the next FILE
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

// Asks for the next host file until the path it names fits, into FileName
// and DataPath. Returns false on an empty answer.
bool askForFileName()
{
    for (;;) {
        if (Ask("\nEnter text file to record:  ", FileNameSize - 1) == 0)
            return false;
        copyAnswer(FileName);
        const int pathLength = std::snprintf(DataPath, sizeof DataPath, "%s/%s", TextFolder, FileName);
        if (pathLength >= 0 && pathLength < PathSize)
            return true;
        reportFailure("\nError, the data file path '%s/%s' is longer than %d characters; "
                      "please enter a shorter name.\n",
                      TextFolder, FileName, PathSize - 1);
    }
}

// The size on the host of the file in DataPath, once it is known to be a
// regular file; -1 after a reported failure.
int32_t dataFileSize()
{
    struct stat status{};
    if (stat(DataPath, &status) != 0) {
        reportCallFailure("stat", "data", DataPath);
        return -1;
    }
    // Read as text, a folder would go down as an empty file, and a pipe could hang the run.
    if (!S_ISREG(status.st_mode)) {
        reportFailure("\nError, data file '%s' is not a regular file.\n\n", DataPath);
        return -1;
    }
    return static_cast<int32_t>(status.st_size);
}

// Encodes the file in DataPath into EncodedText and tells its sizes. A file
// that cannot be opened or read to its end is a reported failure (false): a
// part of it is never recorded as if it were the whole. size is -1 for a
// text too large for the encoder's buffer, which is larger than any diskette.
bool encodeDataFile(int32_t hostSize, int32_t& size)
{
    std::FILE* in = std::fopen(DataPath, "r");
    if (in == nullptr) {
        reportCallFailure("open", "data", DataPath);
        return false;
    }
    size = encodeText(in, EncodedText);
    const bool readWhole = std::ferror(in) == 0;
    std::fclose(in); // read only: nothing to lose on a failed close
    if (!readWhole) {
        reportCallFailure("read", "data", DataPath);
        return false;
    }
    if (size >= 0)
        std::printf("Processing complete on file '%s'; file size before/after is %d/%d.\n\n", DataPath,
                    static_cast<int>(hostSize), static_cast<int>(size));
    return true;
}

// The sectors it really needs, its T/S lists included, against those the
// allocator can still hand out: a file that passes always fits. Sectors
// this run frees are not among them.
bool spaceFor(int32_t size)
{
    if (roomFor(size))
        return true;
    reportFailure("\nThere is insufficient disk space for file '%s'.\n\n", DataPath);
    return false;
}

// Records the encoded text of size bytes into entry.
Next storeFile(CatalogEntry entry, int32_t size)
{
    const int32_t total =
        recordTextFile(std::span(EncodedText).first(static_cast<size_t>(size)), FileName, entry, DataPath, Layout);
    if (total < 0) {
        reportFailure("\nError from getNextTS(); no sectors left.\n\n");
        Pause();
        return Next::Abandon;
    }
    FreeCount -= total;
    ++Recorded;
    return Next::Continue;
}

// ---- The dialogue: one host file for each free entry along the chain

// Asks for host files until one is recorded into entry, or the dialogue ends.
Next recordIntoEntry(CatalogEntry entry)
{
    for (;;) {
        if (!askForFileName())
            return Next::Save;
        int32_t size = -1;
        const int32_t hostSize = dataFileSize();
        if (hostSize < 0 || !encodeDataFile(hostSize, size) || !spaceFor(size)) {
            Pause();
            continue;
        }
        return storeFile(entry, size);
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

// The dialogue's walk over the catalog with the text folder set.
Next recordFiles(int32_t freeCount)
{
    FreeCount = freeCount;
    Recorded = 0;
    return offerFreeEntries();
}

// ---- The argument form: every FILE in the order given

// Whether a FILE before this one would be stored under the same name: the
// name bytes the layout keeps.
bool givenBefore(std::span<char* const> earlier, const StoredName& name)
{
    const auto kept = static_cast<std::ptrdiff_t>(Layout == NameLayout::Dos ? FullNameBytes : CatalogNameBytes);
    return std::ranges::any_of(earlier, [&](const char* file) {
        const StoredName other = storedName(file);
        return std::equal(name.begin(), name.begin() + kept, other.begin());
    });
}

// The catalog is full: told for the FILE that needs a free entry and for
// each one after it that does, those that replace a file aside.
void reportNoFreeEntry(std::span<char* const> files)
{
    for (const char* file : files)
        if (!Replace || findFile(storedName(file)) < 0)
            reportFailure("\nError, the catalog has no free entry for '%s'.\n\n", file);
}

// Records the FILE at index of files: into the entry of the file of its
// name when it replaces one, otherwise into the first free entry.
Next recordArgument(std::span<char* const> files, size_t index)
{
    if (!askForFileName())
        return Next::Save;
    const StoredName name = storedName(FileName);
    if (givenBefore(files.first(index), name)) {
        reportFailure("\nError, '%s' is given twice.\n\n", FileName);
        return Next::Abandon;
    }
    int at = entryForName(name, TextFileType, Replace, FileName, ImagePath);
    if (at == Refused)
        return Next::Abandon;
    const bool replacing = at >= 0;
    if (!replacing)
        at = findFreeEntry();
    if (at < 0) {
        reportNoFreeEntry(files.subspan(index));
        return Next::Abandon;
    }
    int32_t size = -1;
    const int32_t hostSize = dataFileSize();
    if (hostSize < 0 || !encodeDataFile(hostSize, size) || !spaceFor(size))
        return Next::Abandon;
    const CatalogEntry entry = entryAt(at);
    // Its old sectors are freed only once the run has recorded everything.
    if (replacing)
        collectSectorsToFree(entry, Usage, ToFree);
    return storeFile(entry, size);
}

// Records every FILE, or fails the run at the first that cannot be.
Next recordArguments()
{
    Layout = optionGiven("--dos-names") ? NameLayout::Dos : NameLayout::Stamped;
    Replace = optionGiven("--replace");
    ToFree = {};
    findDiskUsage(Usage);
    Recorded = 0;
    const std::span<char* const> files = argumentAnswers();
    Next next = Next::Continue;
    for (size_t index = 0; next == Next::Continue; ++index)
        next = recordArgument(files, index);
    return next;
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
    const Next end = argumentForm() ? recordArguments() : recordFiles(FreeCount);
    if (toBeSaved(end)) {
        // The replaced files' sectors: free only now, so none was handed out again in this run.
        freeSectors(ToFree);
        saveDisk(ImagePath);
    }
    if (end == Next::Save) // an abandoned run has paused on its message already
        Pause();
    return ExitOk;
}
