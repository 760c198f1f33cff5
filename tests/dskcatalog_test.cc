// dskcatalog: the catalog of images made by dskblank and dskrecord, entries
// as other tools leave them, a damaged chain, and its refusals.
#include "dskrecord_test_helpers.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <regex>

using namespace dskrecord_test;

namespace {

std::string header(const std::string& image, int tracks, int sectors, int free)
{
    return "Catalog of '" + image + "': " + std::to_string(tracks) + " tracks, " + std::to_string(sectors) +
           " sectors per track, " + std::to_string(free) + " sectors free\n";
}

// An entry as another tool may leave it: the name's bytes with the high bit
// set, blank-padded to width, then the stamp's bytes if any.
void putEntry(Bytes& image, size_t at, uint8_t first, uint8_t type, const std::string& name, size_t width, int count,
              const Bytes& stamp = {})
{
    image[at] = first;
    image[at + 2] = type;
    for (size_t i = 0; i < width; ++i)
        image[at + 3 + i] = static_cast<uint8_t>((i < name.size() ? name[i] : ' ') | 0x80);
    std::copy(stamp.begin(), stamp.end(), image.begin() + static_cast<long>(at + 27));
    image[at + 33] = static_cast<uint8_t>(count & 0xFF);
    image[at + 34] = static_cast<uint8_t>(count >> 8);
}

} // namespace

// Blank, then with a one-sector file and one of two T/S lists, on every geometry.
TEST(Dskcatalog, ImagesMadeByDskblankAndDskrecord)
{
    TempDir dir;
    const std::string image = dir.file("d.dsk");
    writeText(dir.file("ab.s"), "A\nB\n");
    writeText(dir.file("big.s"), hostTextOfEncodedSize(123 * 256, 7).text);
    const std::string stamp = R"( 20\d\d-(0[1-9]|1[0-2])-[0-3]\d [0-2]\d:[0-5]\d:[0-6]\d)";
    for (const Geometry& g : AllGeometries) {
        SCOPED_TRACE(std::to_string(g.tracks) + "x" + std::to_string(g.sectors));
        const int free = (g.tracks - 4) * g.sectors;
        runProgram("dskblank", {"-f", image, std::to_string(g.tracks), std::to_string(g.sectors)}, "");
        RunResult blank = runProgram("dskcatalog", {image}, "");
        EXPECT_EQ(blank.status, 0);
        EXPECT_EQ(blank.output, header(image, g.tracks, g.sectors, free));

        runProgram("dskrecord", {}, image + "\n" + dir.path() + "\nab.s\nbig.s\n\n\n");
        RunResult listed = runProgram("dskcatalog", {image}, "");
        EXPECT_EQ(listed.status, 0);
        EXPECT_TRUE(std::regex_match(listed.output, std::regex(header(image, g.tracks, g.sectors, free - 127) +
                                                               " T 002 AB\\.S {20}" + stamp + "\n" +
                                                               " T 125 BIG\\.S {19}" + stamp + "\n")))
            << listed.output;
    }
}

TEST(Dskcatalog, EntriesAsOtherToolsLeaveThemAndALoopingChain)
{
    TempDir dir;
    const std::string image = dir.file("d.dsk");
    Bytes disk = blankImage(35, 16);
    const std::vector<size_t> entries = catalogEntries(disk, 16);
    putEntry(disk, entries[0], 0x12, 0x84, "PROG", 30, 0x102); // locked binary
    putEntry(disk, entries[1], 0xFF, 0x00, "GONE", 30, 2);     // deleted
    putEntry(disk, entries[2], 0x00, 0x00, "NEVER", 30, 2);    // free
    putEntry(disk, entries[3], 0x12, 0x00, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", 30, 2);
    putEntry(disk, entries[4], 0x12, 0x03, "BAD\x01\x7FX", 30, 1);
    putEntry(disk, entries[5], 0x12, 0x20, "NOTE", 24, 1, {0x09, 0x07, 0x14, 0x26, 0x05, 0x03});
    putEntry(disk, entries[6], 0x12, 0x10, "MONTH13", 24, 1, {0x09, 0x07, 0x14, 0x26, 0x05, 0x13});
    putEntry(disk, entries[7], 0x12, 0x02, "NEXT SECTOR", 30, 3);
    // Sectors 16-31 of a 16-sector image and track 17 are never handed out.
    disk[vtocAt(16, 0x38 + 4 * 5 + 2)] = 0xFF;
    disk[vtocAt(16, 0x38 + 4 * 17)] = 0xFF;
    writeFile(image, disk);
    const std::string listing = header(image, 35, 16, 496) + "*B 258 PROG\n"
                                                             " T 002 ABCDEFGHIJKLMNOPQRSTUVWXYZ0123\n"
                                                             " ? 001 BAD??X\n"
                                                             " A 001 NOTE                     2026-03-05 14:07:09\n"
                                                             " R 001 MONTH13                 ???&??\n";
    RunResult run = runProgram("dskcatalog", {image}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, listing + " A 003 NEXT SECTOR\n");

    disk[fileOffset(16, 17, 14) + 2] = 15; // the second catalog sector links back to the first
    writeFile(image, disk);
    RunResult loop = runProgram("dskcatalog", {image}, "");
    EXPECT_EQ(loop.status, 1);
    EXPECT_EQ(loop.output, listing + " A 003 NEXT SECTOR\n");
    EXPECT_EQ(loop.errors,
              "\nError, the catalog links back to track 17 sector 15, read already; the catalog ends there.\n\n");
}

TEST(Dskcatalog, RefusalsAndOptions)
{
    TempDir dir;
    writeText(dir.file("odd.dsk"), "not an image");
    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{dir.file("none.dsk")}, "\nError from stat() for diskette file '" + dir.file("none.dsk") + "'.\n\n"},
        {{dir.file("odd.dsk")},
         "\nError, the diskette size of '12' is not recognized for file '" + dir.file("odd.dsk") + "'.\n\n"},
        {{}, "dskcatalog: 0 arguments given; it takes exactly 1\nusage: dskcatalog IMAGE\nTry 'dskcatalog --help'.\n"},
    };
    for (const auto& [args, message] : refusals) {
        RunResult run = runProgram("dskcatalog", args, "");
        EXPECT_EQ(run.status, args.empty() ? 2 : 1) << message;
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.errors, message);
    }
    // Where standard output is the product, a closed one is a failure.
    const std::string image = dir.file("blank.dsk");
    writeFile(image, blankImage(35, 16));
    for (const std::string& command : {"dskcatalog " + image, "dskextract " + image + " none", "bin2array " + image}) {
        const RunResult closed = runProgram("/bin/sh", {"-c", programPath("") + command + " >&-"}, "");
        EXPECT_EQ(closed.status, 1) << command;
        EXPECT_EQ(closed.errors, "\nError from write() for standard output.\n\n") << command;
    }
    RunResult help = runProgram("dskcatalog", {"--help"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("  IMAGE  the diskette image to list"), std::string::npos) << help.output;
    EXPECT_TRUE(std::regex_match(runProgram("dskcatalog", {"--version"}, "").output,
                                 std::regex("dskcatalog [0-9]+\\.[0-9]+\\.[0-9]+\n")));
}
