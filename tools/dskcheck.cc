// dskcheck: checks the structure of a diskette image and tells what it
// finds, one line each; with --repair it puts the bitmap right where no
// doubt is left about what the files use.
#include "file_writer.h"
#include "program.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <optional>
#include <span>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 1> Options{"--repair"};
const ProgramForm Form{
    "dskcheck", "[--repair] IMAGE", 1, 1,
    "  --repair  mark used the sectors in use that the bitmap marks free, and free the leaked ones\n"
    "  IMAGE     the diskette image to check; it is only read without --repair\n",
    false, Options};

// The DOS's own tracks and the catalog track: their bitmap is never judged
// for leaks, and never changed.
constexpr bool reservedTrack(int track)
{
    return track <= 2 || track == CatalogTrack;
}

// Who uses a sector: a file (its entry's offset in Disk), or one of these.
constexpr int NoOwner = -1;
constexpr int VtocOwner = -2;
constexpr int CatalogOwner = -3;

const char* ImagePath = nullptr;
DiskUsage Usage; // large: kept out of the stack
// How many files use each sector (not held at 255 as in DiskUsage), and
// the first two of them in catalog order.
using SectorTable = std::array<std::array<int, MaxSectors>, MaxTracks>;
SectorTable FileUsers;
SectorTable FirstFile;
SectorTable SecondFile;
SectorSet ToMarkUsed; // the repairs, for --repair
SectorSet ToFree;
int Findings = 0;
int Repairable = 0; // findings the repair can put right
bool CatalogBroken = false;
bool ListsBroken = false;
bool SectorsShared = false;

void finding(const char* format, ...) __attribute__((format(printf, 1, 2)));
void finding(const char* format, ...)
{
    va_list list;
    va_start(list, format);
    std::vprintf(format, list);
    va_end(list);
    std::putchar('\n');
    ++Findings;
}

// "file 'NAME'", "the catalog" or "the VTOC".
using OwnerText = std::array<char, FullNameBytes + 8>;
OwnerText describeOwner(int owner)
{
    OwnerText text{};
    if (owner == VtocOwner) {
        std::snprintf(text.data(), text.size(), "the VTOC");
    } else if (owner == CatalogOwner) {
        std::snprintf(text.data(), text.size(), "the catalog");
    } else {
        char name[FullNameBytes + 1];
        entryShownName(entryAt(owner), name);
        std::snprintf(text.data(), text.size(), "file '%s'", name);
    }
    return text;
}

// "track T sector S", or "track T sectors S-L" for a run.
using SectorsText = std::array<char, 64>;
SectorsText describeSectors(int track, int first, int last)
{
    SectorsText text{};
    if (first == last)
        std::snprintf(text.data(), text.size(), "track %d sector %d", track, first);
    else
        std::snprintf(text.data(), text.size(), "track %d sectors %d-%d", track, first, last);
    return text;
}

// How many use the sector (the VTOC, the catalog and the files), and the first two of them.
struct Owners {
    int count = 0;
    std::array<int, 2> first{NoOwner, NoOwner};
    bool operator==(const Owners&) const = default;
};

Owners ownersOf(int t, int s)
{
    const auto ts = static_cast<size_t>(t);
    const auto ss = static_cast<size_t>(s);
    Owners owners;
    auto add = [&](int owner) {
        if (owners.count < 2)
            owners.first[static_cast<size_t>(owners.count)] = owner;
        ++owners.count;
    };
    if (t == CatalogTrack && s == 0)
        add(VtocOwner);
    if (Usage.catalog[ts][ss])
        add(CatalogOwner);
    if (FileUsers[ts][ss] > 0)
        add(FirstFile[ts][ss]);
    if (FileUsers[ts][ss] > 1)
        add(SecondFile[ts][ss]);
    owners.count += FileUsers[ts][ss] > 2 ? FileUsers[ts][ss] - 2 : 0;
    return owners;
}

// Calls report(track, first, last, key) for each run of sectors of a track
// that have the same key; sectors without one are passed over.
template <class Key, class Report>
void forEachRun(Key key, Report report)
{
    for (int t = 0; t < NumTracks; ++t) {
        for (int s = 0; s < NumSectors;) {
            const auto k = key(t, s);
            if (!k) {
                ++s;
                continue;
            }
            int last = s;
            while (last + 1 < NumSectors && key(t, last + 1) == k)
                ++last;
            report(t, s, last, *k);
            s = last + 1;
        }
    }
}

// Where the catalog chain breaks, if it does: the link of the last catalog
// sector read (or of the VTOC) leads outside the image or back.
void checkCatalog()
{
    int lastEntry = -1;
    const WalkEnd end = walkCatalog(
        [&](CatalogEntry entry) {
            lastEntry = static_cast<int>(entry.data() - Disk.data());
            return false;
        },
        false);
    if (end != WalkEnd::Guard)
        return;
    CatalogBroken = true;
    const auto from =
        lastEntry < 0 ? vtoc() : sectorAt(lastEntry / TrackSlotBytes, lastEntry % TrackSlotBytes / SectorBytes);
    const int t = from[CatalogNextTrack];
    const int s = from[CatalogNextSector];
    if (onImage(t, s))
        finding("catalog: links back to track %d sector %d, read already", t, s);
    else
        finding("catalog: links to track %d sector %d, outside this diskette", t, s);
}

// Each file's lists and sector count, and who uses each sector.
void checkFiles()
{
    for (auto& track : FirstFile)
        track.fill(NoOwner);
    for (auto& track : SecondFile)
        track.fill(NoOwner);
    walkFiles(
        [](CatalogEntry entry) {
            const int at = static_cast<int>(entry.data() - Disk.data());
            char name[FullNameBytes + 1];
            entryShownName(entry, name);
            SectorSet used{};
            const FileWalk walk = fileSectors(entry, used);
            const int t = walk.track;
            const int s = walk.sector;
            switch (walk.broken) {
            case ListBreak::ListOutside:
                finding("file '%s': a track/sector list at track %d sector %d, outside this diskette", name, t, s);
                break;
            case ListBreak::ListRevisited:
                finding("file '%s': its track/sector lists link back to track %d sector %d, read already", name, t, s);
                break;
            case ListBreak::DataOutside:
                finding("file '%s': a data sector at track %d sector %d, outside this diskette", name, t, s);
                break;
            case ListBreak::None:
                if (entrySectorCount(entry) != walk.lists + walk.dataSectors)
                    finding("file '%s': sector count %d in its entry, %d sectors found (lists and data)", name,
                            entrySectorCount(entry), walk.lists + walk.dataSectors);
                break;
            }
            ListsBroken = ListsBroken || walk.broken != ListBreak::None;
            for (size_t ts = 0; ts < used.size(); ++ts)
                for (size_t ss = 0; ss < used[ts].size(); ++ss)
                    if (!used[ts][ss])
                        continue;
                    else if (++FileUsers[ts][ss] == 1)
                        FirstFile[ts][ss] = at;
                    else if (FileUsers[ts][ss] == 2)
                        SecondFile[ts][ss] = at;
            return false;
        },
        false);
}

void checkSharing()
{
    forEachRun(
        [](int t, int s) {
            const Owners owners = ownersOf(t, s);
            return owners.count > 1 ? std::optional(owners) : std::nullopt;
        },
        [](int t, int first, int last, const Owners& owners) {
            SectorsText sectors = describeSectors(t, first, last);
            OwnerText one = describeOwner(owners.first[0]);
            OwnerText two = describeOwner(owners.first[1]);
            SectorsShared = true;
            if (owners.count == 2)
                finding("%s: used by %s and %s", sectors.data(), one.data(), two.data());
            else
                finding("%s: used by %s, %s and %d more", sectors.data(), one.data(), two.data(),
                        owners.count - 2);
        });
}

void checkBitmap()
{
    forEachRun(
        [](int t, int s) {
            const Owners owners = ownersOf(t, s);
            return owners.count > 0 && isSectorFree(t, s) ? std::optional(owners.first[0]) : std::nullopt;
        },
        [](int t, int first, int last, int owner) {
            finding("%s: used by %s but marked free", describeSectors(t, first, last).data(),
                    describeOwner(owner).data());
            if (reservedTrack(t))
                return;
            ++Repairable;
            for (int s = first; s <= last; ++s)
                ToMarkUsed[static_cast<size_t>(t)][static_cast<size_t>(s)] = true;
        });
    forEachRun(
        [](int t, int s) {
            return !reservedTrack(t) && ownersOf(t, s).count == 0 && !isSectorFree(t, s) ? std::optional(true)
                                                                                       : std::nullopt;
        },
        [](int t, int first, int last, bool) {
            finding("%s: marked used but used by nothing (leaked)", describeSectors(t, first, last).data());
            ++Repairable;
            for (int s = first; s <= last; ++s)
                ToFree[static_cast<size_t>(t)][static_cast<size_t>(s)] = true;
        });
}

// Prints "LABEL: track T sectors S-L" for each run of the set.
void tellRepairs(const char* label, const SectorSet& sectors)
{
    forEachRun(
        [&](int t, int s) {
            return sectors[static_cast<size_t>(t)][static_cast<size_t>(s)] ? std::optional(true) : std::nullopt;
        },
        [&](int t, int first, int last, bool) {
            std::printf("%s: %s\n", label, describeSectors(t, first, last).data());
        });
}

// Puts the bitmap right and saves the image. Returns how many findings it
// repaired: none when a repair cannot be sure or the save fails.
int repair()
{
    if (CatalogBroken)
        reportFailure("\nError, the catalog chain of diskette file '%s' is broken; no repair can be sure, nothing "
                      "written.\n\n",
                      ImagePath);
    if (ListsBroken)
        reportFailure("\nError, the track/sector lists of a file on diskette file '%s' are broken; no repair can be "
                      "sure, nothing written.\n\n",
                      ImagePath);
    if (SectorsShared)
        reportFailure("\nError, sectors of diskette file '%s' are used twice; no repair can be sure, nothing "
                      "written.\n\n",
                      ImagePath);
    if (runEnded() || Repairable == 0)
        return 0;
    // Only the sectors the files and the catalog use off the reserved tracks are marked.
    static DiskUsage outside;
    outside = Usage;
    for (int t = 0; t < NumTracks; ++t)
        if (reservedTrack(t)) {
            outside.files[static_cast<size_t>(t)].fill(0);
            outside.catalog[static_cast<size_t>(t)].fill(false);
        }
    markUsedSectorsUsed(outside);
    freeSectors(ToFree);
    if (saveDisk(ImagePath) != 0)
        return 0;
    tellRepairs("marked used", ToMarkUsed);
    tellRepairs("marked free", ToFree);
    return Repairable;
}

int checkMain()
{
    ImagePath = argumentAnswers()[0];
    const bool repairing = optionGiven("--repair");
    if (loadImage(ImagePath, repairing ? DiskUse::Change : DiskUse::Inspect) != 0)
        return ExitFailure;
    if (!dos33Vtoc()) {
        const auto table = vtoc();
        finding("VTOC: not a DOS 3.3 diskette of %d tracks and %d sectors (it says %d tracks, %d sectors, %d pairs "
                "per list)",
                static_cast<int>(NumTracks), static_cast<int>(NumSectors), table[VtocTracks], table[VtocSectors],
                table[VtocPairsPerList]);
    } else {
        findDiskUsage(Usage);
        checkCatalog();
        checkFiles();
        checkSharing();
        checkBitmap();
    }
    const int repaired = repairing && Findings > 0 ? repair() : 0;
    if (Findings == 0)
        std::printf("No findings on diskette file '%s'.\n", ImagePath);
    else if (!repairing)
        std::printf("%d finding%s on diskette file '%s'.\n", Findings, Findings == 1 ? "" : "s", ImagePath);
    else
        std::printf("%d finding%s on diskette file '%s'; %d repaired.\n", Findings, Findings == 1 ? "" : "s",
                    ImagePath, repaired);
    if (Findings > repaired)
        countFailure();
    return ExitOk;
}

} // namespace

int main(int argc, char** argv)
{
    return programMain(Form, argc, argv, checkMain);
}
