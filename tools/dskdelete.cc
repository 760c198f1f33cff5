// dskdelete: deletes files from a diskette image as the DOS deletes them:
// the entry marked deleted, the file's sectors freed in the bitmap.
#include "file_writer.h"
#include "program.h"

#include <algorithm>
#include <array>
#include <span>

namespace {

const ProgramForm Form{
    "dskdelete", "IMAGE NAME...", 2, AnyNumber,
    "  IMAGE  the diskette image; it is written only when every NAME can be deleted\n"
    "  NAME   a file's name on the diskette, as dskrecord was given it (hello.s finds HELLO.S)\n",
    false};

// Every entry a catalog can hold: seven in each sector of the image.
constexpr int MaxEntries = MaxTracks * MaxSectors * static_cast<int>(EntryOffsets.size());

// A file to delete: its entry, the name it was given by, and how the walk of its lists went.
struct Doomed {
    int entry; // offset in Disk
    const char* given;
    FileWalk walk;
};
std::array<Doomed, MaxEntries> Files;
int FileCount = 0;

DiskUsage Usage; // large: kept out of the stack
SectorSet ToFree;

// Finds the file of each name, each once however often it is named. A name
// that finds no file, or a locked file, is reported; returns false then.
bool findFiles(std::span<char*> names, const char* image)
{
    for (const char* name : names) {
        const int found = findFile(storedName(name));
        if (found < 0) {
            reportFailure("\nError, no file named '%s' in the catalog of diskette file '%s'; nothing deleted.\n\n",
                          name, image);
            continue;
        }
        if ((entryAt(found)[EntryType] & LockedBit) != 0) {
            reportFailure("\nError, file '%s' on diskette file '%s' is locked; nothing deleted.\n\n", name, image);
            continue;
        }
        const auto named = std::span(Files).first(static_cast<size_t>(FileCount));
        if (FileCount < MaxEntries &&
            std::ranges::none_of(named, [&](const Doomed& file) { return file.entry == found; }))
            Files[static_cast<size_t>(FileCount++)] = {found, name, {}};
    }
    return !runEnded();
}

// Deletes the files one after another, each as if the ones before it were
// gone already: a sector is freed by the last of the deleted files that
// uses it, once no catalogued file is left that uses it too. The entry keeps
// its first list's track in byte 32 and gets 0xFF in byte 0.
void deleteFiles()
{
    findDiskUsage(Usage);
    ToFree = {};
    for (Doomed& file : std::span(Files).first(static_cast<size_t>(FileCount))) {
        const CatalogEntry entry = entryAt(file.entry);
        collectSectorsToFree(entry, Usage, ToFree);
        SectorSet used{};
        file.walk = fileSectors(entry, used);
        for (int t = 0; t < NumTracks; ++t)
            for (int s = 0; s < NumSectors; ++s) {
                uint8_t& users = Usage.files[static_cast<size_t>(t)][static_cast<size_t>(s)];
                // A count held at 255 stands for "many": it is never brought down to a sector to free.
                if (used[static_cast<size_t>(t)][static_cast<size_t>(s)] && users != 255 && users > 0)
                    --users;
            }
        entry[EntryDeletedTrack] = entry[EntryListTrack];
        entry[EntryListTrack] = DeletedEntry;
    }
    freeSectors(ToFree);
}

int deleteMain()
{
    const std::span<char*> args = argumentAnswers();
    const char* image = args[0];
    if (loadImage(image, DiskUse::Change) != 0)
        return ExitFailure;
    // Past a break in the catalog there may be files whose sectors could be freed by mistake.
    if (walkCatalog([](CatalogEntry) { return false; }) == WalkEnd::Guard) {
        reportFailure("\nError, the catalog of diskette file '%s' is broken, so the sectors of the files past the "
                      "break are not known; nothing deleted.\n\n",
                      image);
        return ExitFailure;
    }
    if (!findFiles(args.subspan(1), image))
        return ExitFailure;
    deleteFiles();
    if (saveDisk(image) != 0)
        return ExitFailure;
    for (const Doomed& file : std::span(Files).first(static_cast<size_t>(FileCount)))
        if (file.walk.broken != ListBreak::None)
            reportNote("\nNote: the track/sector lists of file '%s' on diskette file '%s' break at track %d sector "
                       "%d; the file is deleted, and only the sectors reached before the break are freed.\n",
                       file.given, image, static_cast<int>(file.walk.track), static_cast<int>(file.walk.sector));
    return ExitOk;
}

} // namespace

int main(int argc, char** argv)
{
    return programMain(Form, argc, argv, deleteMain);
}
