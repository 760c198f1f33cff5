// dskputbin: host files recorded as binary files, in the sectors the
// recorder's allocator hands out, read back byte for byte by dskextract;
// every refusal leaves the image as it was; --replace keeps the entry's
// place and frees the old file's sectors.
#include "dskrecord_test_helpers.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace dskrecord_test;

namespace {

Bytes withHeader(unsigned address, size_t length, const Bytes& data)
{
    Bytes bytes{static_cast<uint8_t>(address & 0xFF), static_cast<uint8_t>(address >> 8),
                static_cast<uint8_t>(length & 0xFF), static_cast<uint8_t>(length >> 8)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

// A name as a catalog entry without a time stamp holds it: high bit set, 30 bytes blank-padded.
Bytes storedBytes(const std::string& upper)
{
    Bytes name(30, 0xA0);
    for (size_t i = 0; i < upper.size(); ++i)
        name[i] = static_cast<uint8_t>(upper[i] | 0x80);
    return name;
}

bool isFree(const Bytes& image, Place place)
{
    const BitmapBit bit = bitmapBit(place.first, place.second);
    return (image[vtocAt(16, bit.index)] & bit.mask) != 0;
}

std::string blank(const TempDir& dir)
{
    const std::string image = dir.file("d.dsk");
    writeFile(image, blankImage(35, 16));
    return image;
}

} // namespace

TEST(Dskputbin, RecordsWhereTheAllocatorSaysAndReadsBack)
{
    const std::string name30 = "A NAME OF EXACTLY 30 CHARACTER";
    struct Case {
        std::string host;              // FILE, in the test's folder
        Bytes bytes;                   // its contents
        std::vector<std::string> args; // besides IMAGE and FILE
        std::string stored;            // the name in the catalog
        int address;                   // -1 with --header
        int lists;
    };
    const Case cases[] = {
        {"one.bin", {0x60}, {"FFFF"}, "ONE.BIN", 0xFFFF, 1},
        {"sub/prog", patternBytes(256, 2), {"$0800", "prog"}, "PROG", 0x800, 1},
        {"b.bin", patternBytes(257, 3), {"0x6000", name30}, name30, 0x6000, 1},
        {"game.bin", patternBytes(31229, 4), {"6000"}, "GAME.BIN", 0x6000, 2},
        {"full.bin", patternBytes(65535, 5), {"0"}, "FULL.BIN", 0, 3},
        {"matching", withHeader(0x1000, 11, patternBytes(11, 7)), {"--header"}, "MATCHING", -1, 1},
        {"longer", withHeader(0x1000, 171, patternBytes(3, 8)), {"--header"}, "LONGER", -1, 1}, // as array2bin's
    };
    TempDir dir;
    std::filesystem::create_directory(dir.file("sub"));
    const std::vector<Place> order = allocationOrder(34, 0, 16);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        const std::string image = blank(dir);
        const std::string host = dir.file(c.host);
        writeFile(host, c.bytes);
        std::vector<std::string> args{image, host};
        for (const std::string& arg : c.args)
            args.insert(arg.starts_with("--") ? args.begin() : args.end(), arg);
        const RunResult run = runProgram("dskputbin", args, "");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.errors, c.host != "longer" ? "" : "\nNote: the header of input file '" + host +
                  "' gives a length of 171 bytes, but 3 bytes follow it; the file is recorded as it stands, and the "
                  "DOS will load 171 bytes.\n");

        const Bytes recorded = c.address < 0 ? c.bytes : withHeader(c.address, c.bytes.size(), c.bytes);
        const Bytes disk = readFile(image);
        const size_t entry = catalogEntries(disk, 16)[0];
        const ReadBack file = readBack(disk, 16, entry);
        const auto sectors = static_cast<long>(file.dataSectors + file.lists);
        const auto name = disk.begin() + static_cast<long>(entry) + 3;
        EXPECT_EQ(disk[entry + 2], 0x04);
        EXPECT_EQ(Bytes(name, name + 30), storedBytes(c.stored));
        EXPECT_EQ(disk[entry + 33] | disk[entry + 34] << 8, sectors);
        EXPECT_TRUE(file.wellFormed && holdsExactly(file, recorded));
        EXPECT_EQ(file.lists, c.lists);
        EXPECT_EQ(file.used, std::set<Place>(order.begin(), order.begin() + sectors)); // dskrecord's order

        // dskextract gives as many bytes as the header says, from the sector's zeros after FILE's own.
        EXPECT_EQ(runProgram("dskextract", {image, c.stored, dir.file("out")}, "").status, 0);
        Bytes loaded(recorded.begin() + 4, recorded.end());
        loaded.resize(static_cast<size_t>(recorded[2] | recorded[3] << 8));
        EXPECT_EQ(readFile(dir.file("out")), loaded);
    }
}

TEST(Dskputbin, RefusalsLeaveTheImageAsItWas)
{
    TempDir dir;
    const std::string image = blank(dir);
    writeFile(dir.file("game"), patternBytes(600, 1));
    ASSERT_EQ(runProgram("dskputbin", {image, dir.file("game"), "6000"}, "").status, 0);
    const Bytes recorded = readFile(image);
    const std::vector<size_t> entries = catalogEntries(recorded, 16);
    const size_t game = entries[0];
    const std::string host = dir.file("host");
    const std::string onImage = " on diskette file '" + image + "'";
    struct Refusal {
        std::vector<std::string> args; // IMAGE is put before them, after the options
        Bytes bytes;                   // written to host
        std::function<void(Bytes&)> damage;
        int status;
        std::string errors; // all of them, or the first line of a usage error
    };
    auto same = [](Bytes&) {};
    const Refusal refusals[] = {
        {{host, "800"}, {}, same, 1,
         "\nError, input file '" + host + "' is empty; a binary file holds at least one byte.\n\n"},
        {{host, "0"}, Bytes(65536), same, 1,
         "\nError, input file '" + host + "' holds more than 65535 bytes, the most a binary file holds.\n\n"},
        {{host, "FFFF"}, Bytes(2), same, 1,
         "\nError, input file '" + host + "' of 2 bytes loaded at $FFFF would end at $10000, past $FFFF.\n\n"},
        {{"--header", host}, Bytes(4), same, 1,
         "\nError, input file '" + host +
             "' holds 4 bytes; with --header it needs its 4-byte header and at least one byte after it.\n\n"},
        {{"--header", host}, withHeader(0xF000, 0x1001, Bytes(3)), same, 1,
         "\nError, the header of input file '" + host +
             "' gives address $F000 and length 4097: the file would end at $10000, past $FFFF.\n\n"},
        {{host, "800", std::string(31, 'N')}, Bytes(1), same, 1,
         "\nError, the name '" + std::string(31, 'N') +
             "' has 31 characters; a name on the diskette has 1 to 30 (give NAME to choose one).\n\n"},
        {{dir.path(), "800"}, {}, same, 1, "\nError, input file '" + dir.path() + "' is not a regular file.\n\n"},
        {{host, "800", "game"}, Bytes(1), same, 1,
         "\nError, 'game' is already" + onImage + "; give --replace to replace it.\n\n"},
        {{"--replace", host, "800", "game"}, Bytes(1), [&](Bytes& d) { d[game + 2] = 0x84; }, 1,
         "\nError, 'game' is locked" + onImage + ".\n\n"},
        {{"--replace", host, "800", "game"}, Bytes(1), [&](Bytes& d) { d[game + 2] = 0x00; }, 1,
         "\nError, 'game'" + onImage + " is not a binary file.\n\n"},
        {{host, "800"}, Bytes(1), [](Bytes& d) { d[vtocAt(16, 0x27)] = 0; }, 1,
         "\nError, diskette file '" + image +
             "' is not a DOS 3.3 diskette of 35 tracks and 16 sectors (its VTOC says 35 tracks, 16 sectors, 0 pairs "
             "per list); nothing written.\n\n"},
        {{host, "800"}, Bytes(1), [](Bytes& d) { d[fileOffset(16, 17, 15) + 1] = 40; }, 1,
         "\nError, the catalog links to track 40 sector 14, outside this diskette; the catalog ends there.\n\n"
         "\nError, the catalog of diskette file '" + image + "' is damaged; nothing written.\n\n"},
        // Deleted entries are never taken; a file of 257 bytes needs three sectors, and two are free.
        {{host, "800"}, Bytes(1), [&](Bytes& d) { for (size_t e : entries) d[e] = e == game ? d[e] : 0xFF; }, 1,
         "\nError, the catalog of diskette file '" + image + "' has no free entry for 'host'; nothing written.\n\n"},
        {{host, "800"}, Bytes(257), [](Bytes& d) { setFreeSectors(d, 35, 16, 0), d[vtocAt(16, 0x38 + 20)] = 0xC0; }, 1,
         "\nThere is insufficient disk space for file '" + host + "'.\n\n"},
        {{host, "60G0"}, Bytes(1), same, 2, "dskputbin: ADDRESS '60G0' is not a hexadecimal number\n"},
        {{host, "$10000"}, Bytes(1), same, 2,
         "dskputbin: ADDRESS '$10000' is past FFFF, the last address; it takes 0 to FFFF\n"},
        {{"--header", host, "800", "X"}, Bytes(5), same, 2,
         "dskputbin: 4 arguments given; it takes 2 or 3 with --header\n"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.errors);
        Bytes disk = recorded;
        refusal.damage(disk);
        writeFile(image, disk);
        writeFile(host, refusal.bytes);
        std::vector<std::string> args = refusal.args;
        const auto options = std::ranges::count_if(args, [](const std::string& arg) { return arg.starts_with("--"); });
        args.insert(args.begin() + options, image);
        const RunResult run = runProgram("dskputbin", args, "");
        EXPECT_EQ(run.status, refusal.status);
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(refusal.status == 2 ? run.errors.substr(0, run.errors.find('\n') + 1) : run.errors, refusal.errors);
        EXPECT_EQ(readFile(image), disk);
    }
}

TEST(Dskputbin, ReplaceKeepsTheEntryAndFreesTheOldSectors)
{
    TempDir dir;
    const std::string image = blank(dir);
    writeFile(dir.file("game"), patternBytes(3000, 1));
    writeFile(dir.file("other"), patternBytes(10, 2));
    writeFile(dir.file("new"), patternBytes(500, 3));
    ASSERT_EQ(runProgram("dskputbin", {image, dir.file("game"), "6000"}, "").status, 0);
    ASSERT_EQ(runProgram("dskputbin", {image, dir.file("other"), "300"}, "").status, 0);
    const Bytes before = readFile(image);
    const std::vector<size_t> entries = catalogEntries(before, 16);
    const ReadBack old = readBack(before, 16, entries[0]);
    const ReadBack other = readBack(before, 16, entries[1]);

    const RunResult run = runProgram("dskputbin", {"--replace", image, dir.file("new"), "7000", "Game"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output + run.errors, "");
    const Bytes after = readFile(image);
    const ReadBack replaced = readBack(after, 16, entries[0]);
    const auto name = after.begin() + static_cast<long>(entries[0]) + 3;
    EXPECT_EQ(Bytes(name, name + 30), storedBytes("GAME"));
    EXPECT_TRUE(holdsExactly(replaced, withHeader(0x7000, 500, patternBytes(500, 3))));
    EXPECT_EQ(readBack(after, 16, entries[1]).data, other.data);
    EXPECT_EQ(after[entries[2]], 0); // no new entry taken
    // The new file's sectors come after the old ones, which are all free now.
    const std::vector<Place> order = allocationOrder(34, 0, 16);
    const auto taken = order.begin() + static_cast<long>(old.used.size() + other.used.size());
    EXPECT_EQ(replaced.used, std::set<Place>(taken, taken + static_cast<long>(replaced.used.size())));
    for (const Place& place : old.used)
        EXPECT_TRUE(isFree(after, place)) << place.first << "/" << place.second;
    for (const Place& place : replaced.used)
        EXPECT_FALSE(isFree(after, place)) << place.first << "/" << place.second;
}
