// dskcheck: each finding made by damaging an image recorded by dskrecord,
// found, and put right by --repair where it may act (a second check finds
// nothing) or refused with the image as it was.
#include "dskrecord_test_helpers.h"

#include <functional>

using namespace dskrecord_test;

namespace {

// Sets the bitmap bit of (t, s) of a 16-sector image: free when free is set.
void markSector(Bytes& d, int t, int s, bool free)
{
    uint8_t& byte = d[vtocAt(16, 0x38 + 4 * t + (s < 8 ? 1 : 0))];
    byte = static_cast<uint8_t>(free ? byte | 1u << (s % 8) : byte & ~(1u << (s % 8)));
}

// What --repair does with the findings.
enum class Repair { Done, Left, Refused, NotLoaded };

} // namespace

TEST(Dskcheck, FindsEachFindingAndRepairsTheBitmapOnly)
{
    TempDir dir;
    const std::string image = recordThreeFiles(dir);
    const Bytes recorded = readFile(image);
    const std::vector<size_t> entries = catalogEntries(recorded, 16);
    const size_t bigList2 = fileOffset(16, 27, 2);
    const std::string unsure = "; no repair can be sure, nothing written.\n\n";
    struct Case {
        std::function<void(Bytes&)> damage;
        std::string found; // the finding lines
        Repair repair = Repair::Done;
        std::string told = {}; // the repair lines, or the refusal on standard error
    };
    const Case cases[] = {
        {[](Bytes& d) { d = blankImage(35, 16); }, ""}, // as dskblank makes it
        {[](Bytes&) {}, ""},
        {[](Bytes& d) {
             for (auto [t, s] : {Place{5, 0}, {5, 1}, {5, 2}, {5, 3}, {5, 15}, {9, 3}})
                 markSector(d, t, s, false);
         },
         "track 5 sectors 0-3: marked used but used by nothing (leaked)\n"
         "track 5 sector 15: marked used but used by nothing (leaked)\n"
         "track 9 sector 3: marked used but used by nothing (leaked)\n",
         Repair::Done,
         "marked free: track 5 sectors 0-3\nmarked free: track 5 sector 15\nmarked free: track 9 sector 3\n"},
        {[](Bytes& d) { markSector(d, 34, 14, true), markSector(d, 34, 13, true); },
         "track 34 sector 13: used by file 'BIG.S' but marked free\n"
         "track 34 sector 14: used by file 'A.S' but marked free\n",
         Repair::Done, "marked used: track 34 sectors 13-14\n"},
        {[](Bytes& d) { markSector(d, 17, 15, true); }, "track 17 sector 15: used by the catalog but marked free\n",
         Repair::Left},
        {[&](Bytes& d) { d[entries[0] + 33] = 7; },
         "file 'A.S': sector count 7 in its entry, 2 sectors found (lists and data)\n", Repair::Left},
        {[&](Bytes& d) { d[fileOffset(16, 26, 15) + 0x0C] = 34, d[bigList2 + 0x0C] = 34, d[bigList2 + 0x0D] = 14,
                         d[bigList2 + 0x0E] = 26, d[bigList2 + 0x0F] = 15; },
         "track 26 sector 15: used by file 'BIG.S' and file 'C.S'\n"
         "track 34 sector 14: used by file 'A.S', file 'BIG.S' and 1 more\n"
         "track 26 sector 14: marked used but used by nothing (leaked)\n"
         "track 27 sectors 0-1: marked used but used by nothing (leaked)\n",
         Repair::Refused, "\nError, sectors of diskette file '" + image + "' are used twice" + unsure},
        {[](Bytes& d) { d[fileOffset(16, 17, 15) + 2] = 15; },
         "catalog: links back to track 17 sector 15, read already\n",
         Repair::Refused, "\nError, the catalog chain of diskette file '" + image + "' is broken" + unsure},
        {[&](Bytes& d) { d[entries[2]] = 40; },
         "file 'C.S': a track/sector list at track 40 sector 15, outside this diskette\n"
         "track 26 sectors 14-15: marked used but used by nothing (leaked)\n",
         Repair::Refused,
         "\nError, the track/sector lists of a file on diskette file '" + image + "' are broken" + unsure},
        {[](Bytes& d) { d[vtocAt(16, 0x34)] = 40; },
         "VTOC: not a DOS 3.3 diskette of 35 tracks and 16 sectors (it says 40 tracks, 16 sectors, 122 pairs per "
         "list)\n",
         Repair::NotLoaded,
         "\nError, diskette file '" + image + "' is not a DOS 3.3 diskette of 35 tracks and 16 sectors (its VTOC "
         "says 40 tracks, 16 sectors, 122 pairs per list); nothing written.\n\n"},
    };
    const auto summary = [&](long n, const std::string& repaired) {
        return n == 0 ? "No findings on diskette file '" + image + "'.\n"
                      : std::to_string(n) + (n == 1 ? " finding" : " findings") + " on diskette file '" + image +
                            "'" + repaired + ".\n";
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.found);
        Bytes damaged = recorded;
        test.damage(damaged);
        writeFile(image, damaged);
        const long n = std::ranges::count(test.found, '\n');
        const RunResult check = runProgram("dskcheck", {image}, "");
        EXPECT_EQ(check.status, n == 0 ? 0 : 1);
        EXPECT_EQ(check.output, test.found + summary(n, ""));
        EXPECT_EQ(check.errors, "");

        const RunResult repair = runProgram("dskcheck", {"--repair", image}, "");
        const bool done = test.repair == Repair::Done;
        EXPECT_EQ(repair.status, done ? 0 : 1);
        EXPECT_EQ(repair.output, test.repair == Repair::NotLoaded ? ""
                                 : done ? test.found + test.told + summary(n, "; " + std::to_string(n) + " repaired")
                                        : test.found + summary(n, "; 0 repaired"));
        EXPECT_EQ(repair.errors, done || test.repair == Repair::Left ? "" : test.told);
        if (done)
            EXPECT_EQ(runProgram("dskcheck", {image}, "").output, summary(0, ""));
        else
            EXPECT_EQ(readFile(image), damaged);
    }
    EXPECT_EQ(runProgram("dskcheck", {"--fix", image}, "").status, 2);
}
