#include "allocator.h"
#include "catalog.h"
#include "dskrecord_test_helpers.h"
#include "recorder.h"

#include <gtest/gtest.h>

using namespace dskrecord_test;

TEST(CatalogEntry, NameTimeStampAndCount)
{
    Bytes entry(35, 0x55);
    const TimeRecord time{9, 7, 14, 5, 3, 26}; // 14:07:09 on 5 March 2026
    fillCatalogEntry(CatalogEntry(entry), 0, 2, "prog.s", time, 300);
    Bytes expected{0x40, 0x02, 0x00, 0xD0, 0xD2, 0xCF, 0xC7, 0xAE, 0xD3};
    expected.insert(expected.end(), 18, 0xA0);
    for (uint8_t b : {0x09, 0x07, 0x14, 0x26, 0x05, 0x03, 0x2C, 0x01})
        expected.push_back(b);
    EXPECT_EQ(entry, expected);

    fillCatalogEntry(CatalogEntry(entry), 5, 2, "abcdefghijklmnopqrstuvwxyz0123", time, 2);
    EXPECT_EQ(entry[0], 5);
    EXPECT_EQ(entry[3 + 23], 0xD8); // 'x': only the first 24 characters
    EXPECT_EQ(entry[27], 0x09);

    const std::pair<char, uint8_t> names[] = {{'a', 0xC1}, {'z', 0xDA}, {'A', 0xC1}, {' ', 0xA0}, {'/', 0xAF},
                                              {'`', 0xE0}, {'{', 0xDB}, {'\x7F', 0xDF}, {'\x80', 0x80},
                                              {'\xFF', 0xFF}};
    for (const auto& [ch, byte] : names)
        EXPECT_EQ(catalogNameByte(ch), byte) << int(ch);
}

// Only tracks 3 to 0 are free: a file of 122 * 256 + 1 bytes gets its second
// list on track 0, and the next file its first list there.
TEST(Recorder, SecondListAndTrackZeroWrittenAs0x40)
{
    Bytes image = blankImage(35, 32);
    setFreeSectors(image, 35, 32, 0);
    for (int i = 0x38; i < 0x38 + 4 * 4; ++i)
        image[vtocAt(32, i)] = 0xFF;
    useImage(image, 35, 32);
    vtoc()[0x30] = 34;
    const Bytes big = patternBytes(122 * 256 + 1, 3);
    const Bytes small = patternBytes(10, 4);
    CatalogEntry first(sectorAt(17, 31).subspan(11, 35));
    CatalogEntry second(sectorAt(17, 31).subspan(46, 35));

    testing::internal::CaptureStdout();
    EXPECT_EQ(recordFile(big, "big", first, "t/big"), 125);
    EXPECT_EQ(recordFile(small, "small", second, "t/small"), 2);
    std::fflush(stdout);
    const std::string console = testing::internal::GetCapturedStdout();

    EXPECT_NE(console.find("Obtained data track = 0x00 and sector = 0x05.\n"
                           "Obtained tsTrack = 0x00 and tsSector = 0x04.\n\n"
                           "Obtained data track = 0x00 and sector = 0x03.\n"
                           "\nProcessing complete for file 't/big' with sector count of 125.\n\n"),
              std::string::npos);
    EXPECT_EQ(Bytes(sectorAt(3, 31).begin() + 1, sectorAt(3, 31).begin() + 3), Bytes({0x40, 0x04}));
    EXPECT_EQ(Bytes(sectorAt(0, 4).begin(), sectorAt(0, 4).begin() + 0x10),
              Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 0x03, 0, 0}));
    EXPECT_EQ(Bytes(first.begin(), first.begin() + 3), Bytes({3, 31, 0}));
    EXPECT_EQ(Bytes(second.begin(), second.begin() + 3), Bytes({0x40, 0x02, 0}));
    EXPECT_EQ(first[33], 125);
    EXPECT_EQ(second[33], 2);

    const Bytes after = diskAsImage();
    const ReadBack big1 = readBack(after, 32, fileOffset(32, 17, 31) + 11);
    EXPECT_TRUE(big1.wellFormed);
    EXPECT_EQ(big1.lists, 2);
    EXPECT_TRUE(holdsExactly(big1, big));
    EXPECT_TRUE(holdsExactly(readBack(after, 32, fileOffset(32, 17, 31) + 46), small));
}
