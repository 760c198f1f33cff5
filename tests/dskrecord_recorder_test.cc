// Storing a file: the allocator's order (in process), and the T/S lists,
// data sectors and catalog entry a recording leaves in the image.
#include "dskrecord.h"
#include "file_writer.h"
#include "dskrecord_test_helpers.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace dskrecord_test;

namespace {

Place next()
{
    int32_t track = 99;
    int32_t sector = 99;
    const int status = getNextTS(track, sector);
    EXPECT_EQ(status == 0, track >= 0 && sector >= 0);
    return {track, sector};
}

} // namespace

// Every free sector in order, each cleared, then exhaustion that changes
// nothing but byte 0x30. Track 17 and, on 16-sector images, bits of sectors
// 16 to 31 are marked free and must never be handed out.
TEST(Allocator, HandsOutEverySectorInOrderThenRunsOut)
{
    for (int sectors : {16, 32}) {
        SCOPED_TRACE(sectors);
        Bytes image = blankImage(35, sectors);
        for (int t = 0; t < 35; ++t)
            for (int b = 0; b < 4; ++b)
                if (t == 17 || (b >= 2 && sectors == 16))
                    image[vtocAt(sectors, 0x38 + 4 * t + b)] = 0xFF;
        image[vtocAt(sectors, 0x30)] = 34;
        useImage(image, 35, sectors);
        for (const auto& [t, s] : allocationOrder(34, 3, sectors))
            std::ranges::fill(sectorAt(t, s), uint8_t{0xAA}); // old data the allocator must clear

        for (const Place& expected : allocationOrder(34, 3, sectors)) {
            ASSERT_EQ(next(), expected);
            EXPECT_EQ(vtoc()[0x30], expected.first);
            auto taken = sectorAt(expected.first, expected.second);
            EXPECT_TRUE(std::all_of(taken.begin(), taken.end(), [](uint8_t b) { return b == 0; }));
        }
        auto before = Disk;
        EXPECT_EQ(next(), Place(-1, -1));
        before[VtocOffset + 0x30] = 0xFF;
        EXPECT_TRUE(Disk == before);
    }
}

TEST(Allocator, StartsAtByte0x30AndReachesTrackZero)
{
    Bytes image = blankImage(35, 32);
    setFreeSectors(image, 35, 32, 32 * 34); // every track but the catalog's
    useImage(image, 35, 32);
    vtoc()[0x30] = 5; // tracks above are free but never examined
    for (int s = 31; s >= 0; --s)
        EXPECT_EQ(next(), Place(5, s));
    EXPECT_EQ(next(), Place(4, 31));

    vtoc()[0x30] = 1;
    vtoc()[0x38 + 4] = vtoc()[0x39 + 4] = vtoc()[0x3A + 4] = vtoc()[0x3B + 4] = 0;
    EXPECT_EQ(next(), Place(0, 31));

    vtoc()[0x30] = 200; // a start beyond the image begins on its top track
    EXPECT_EQ(next(), Place(34, 31));
}

// Only tracks 3 to 0 are free: a file of 122 * 256 + 1 bytes gets its second
// list on track 0, and the next file its first list there; each track byte
// 0 is written as 0x40. The name keeps its first 24 characters, upper case.
TEST(Recorder, SecondListAndTrackZeroWrittenAs0x40)
{
    TempDir dir;
    Bytes image = blankImage(35, 32);
    setFreeSectors(image, 35, 32, 0);
    for (int i = 0x38; i < 0x38 + 4 * 4; ++i)
        image[vtocAt(32, i)] = 0xFF;
    writeFile(dir.file("d.dsk"), image);
    const HostText big = hostTextOfEncodedSize(122 * 256 + 1, 3);
    const HostText small = hostTextOfEncodedSize(10, 4);
    const std::string longName = "abcdefghijklmnopqrstuvwxyz0123";
    writeText(dir.file("big"), big.text);
    writeText(dir.file(longName), small.text);

    const RunResult run =
        runProgram("dskrecord", {}, dir.file("d.dsk") + "\n" + dir.path() + "\nbig\n" + longName + "\n\n\n");
    EXPECT_NE(run.output.find("Obtained data track = 0x00 and sector = 0x05.\n"
                              "Obtained tsTrack = 0x00 and tsSector = 0x04.\n\n"
                              "Obtained data track = 0x00 and sector = 0x03.\n"
                              "\nProcessing complete for file '" + dir.file("big") + "' with sector count of 125.\n\n"),
              std::string::npos)
        << run.output;

    const Bytes after = readFile(dir.file("d.dsk"));
    auto at = [&](int t, int s, size_t from, size_t count) {
        const auto begin = after.begin() + static_cast<long>(fileOffset(32, t, s) + from);
        return Bytes(begin, begin + static_cast<long>(count));
    };
    EXPECT_EQ(at(3, 31, 1, 2), Bytes({0x40, 0x04}));
    // The second list begins with the file's data sector 122: bytes 5-6 say so, as the DOS needs.
    EXPECT_EQ(at(0, 4, 0, 0x10), Bytes({0, 0, 0, 0, 0, 122, 0, 0, 0, 0, 0, 0, 0x40, 0x03, 0, 0}));
    EXPECT_EQ(at(3, 31, 5, 2), Bytes({0, 0}));
    const size_t first = fileOffset(32, 17, 31) + 11;
    const size_t second = first + 35;
    EXPECT_EQ(at(17, 31, 11, 3), Bytes({3, 31, 0}));
    EXPECT_EQ(at(17, 31, 46, 3), Bytes({0x40, 0x02, 0}));
    EXPECT_EQ(at(17, 31, 46 + 3, 24), Bytes({0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC,
                                            0xCD, 0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8}));
    EXPECT_EQ(after[first + 33], 125);
    EXPECT_EQ(after[second + 33], 2);

    const ReadBack big1 = readBack(after, 32, first);
    EXPECT_TRUE(big1.wellFormed);
    EXPECT_EQ(big1.lists, 2);
    EXPECT_TRUE(holdsExactly(big1, big.encoded));
    EXPECT_TRUE(holdsExactly(readBack(after, 32, second), small.encoded));

    // More than 244 data sectors: the three lists begin with data sectors 0, 122 and 244.
    writeFile(dir.file("e.dsk"), blankImage(35, 32));
    writeText(dir.file("huge"), hostTextOfEncodedSize(244 * 256 + 1, 5).text);
    ASSERT_EQ(runProgram("dskrecord", {dir.file("e.dsk"), dir.path(), "huge"}, "").status, 0);
    const Bytes huge = readFile(dir.file("e.dsk"));
    std::vector<int> firsts;
    uint8_t track = huge[first];
    uint8_t sector = huge[first + 1];
    while (track != 0 && firsts.size() < 4) {
        const size_t list = fileOffset(32, trackFromDisk(track), sector);
        firsts.push_back(huge[list + 5] | huge[list + 6] << 8);
        track = huge[list + 1];
        sector = huge[list + 2];
    }
    EXPECT_EQ(firsts, (std::vector<int>{0, 122, 244}));
}

TEST(Bcd, PacksAndUnpacksTwoDigits)
{
    EXPECT_EQ(dec2hex(59), 0x59);
    EXPECT_EQ(dec2hex(7), 0x07);
    EXPECT_EQ(hex2dec(0x26), 26);
    for (int v = 0; v <= 99; ++v)
        EXPECT_EQ(hex2dec(dec2hex(v)), v);
}
