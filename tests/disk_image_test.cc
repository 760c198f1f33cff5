// The image model: geometry, load, free count, save.
#include "capture.h"
#include "catalog.h"
#include "disk_image.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(DetectGeometry, RecognisesTheSixSizesOnly)
{
    for (const Geometry& g : AllGeometries) {
        NumTracks = NumSectors = 0;
        ASSERT_TRUE(detectGeometry(int64_t{g.tracks} * g.sectors * 256));
        EXPECT_EQ(NumTracks, g.tracks);
        EXPECT_EQ(NumSectors, g.sectors);
    }
    NumTracks = NumSectors = 0;
    for (int64_t size : {int64_t{0}, int64_t{143361}, int64_t{143359}, int64_t{4096}, (int64_t{1} << 32) + 143360})
        EXPECT_FALSE(detectGeometry(size)) << size;
    EXPECT_EQ(NumTracks, 0);
}

// Loads path after detecting its geometry; the message, if any, goes to output.
Captured load(const std::string& path, int64_t size)
{
    return captureConsole("", [=] {
        if (!detectGeometry(size))
            return 2;
        return loadDisk(path.c_str(), DiskUse::Read) == 0 ? 0 : 1;
    });
}

TEST(LoadSave, SaveWritesBackExactlyTheSectorsChangedInEveryGeometry)
{
    TempDir dir;
    for (const Geometry& g : AllGeometries) {
        Bytes image = patternBytes(static_cast<size_t>(g.tracks) * g.sectors * 256, g.tracks + g.sectors);
        const std::string path = dir.file("image.dsk");
        writeFile(path, image);
        ASSERT_TRUE(detectGeometry(static_cast<int64_t>(image.size())));
        // In a child: the image stays locked to the end of the run that loaded it.
        const Captured run = captureConsole("", [&] {
            if (loadDisk(path.c_str(), DiskUse::Change) != 0)
                return 1;
            // Sector s of track t sits in its fixed 8192-byte slot whatever the geometry.
            if (sectorAt(g.tracks - 1, g.sectors - 1)[0] != image[fileOffset(g.sectors, g.tracks - 1, g.sectors - 1)])
                return 2;
            if (g.sectors == 16 && Disk[sectorOffset(3, 16)] != 0)
                return 3; // the unused half of a slot stays zero
            sectorAt(g.tracks - 1, g.sectors - 1)[7] ^= 0xFF;
            vtoc()[0x30] ^= 0xFF;
            return saveDisk(path.c_str()) == 0 ? 0 : 4;
        });
        ASSERT_EQ(run.status, 0) << g.tracks << "x" << g.sectors << run.output;
        image[fileOffset(g.sectors, g.tracks - 1, g.sectors - 1) + 7] ^= 0xFF;
        image[fileOffset(g.sectors, 17, 0) + 0x30] ^= 0xFF;
        EXPECT_EQ(readFile(path), image) << g.tracks << "x" << g.sectors;
    }
}

TEST(LoadSave, AnImageHeldOrChangedSinceItsLoadIsNotWritten)
{
    TempDir dir;
    const std::string path = dir.file("image.dsk");
    const Bytes image = patternBytes(143360, 5);
    writeFile(path, image);
    const Captured run = captureConsole("", [&] {
        detectGeometry(143360);
        if (loadDisk(path.c_str(), DiskUse::Change) != 0)
            return 1;
        // A second taker, for reading or for change, is refused while the first holds it.
        if (loadDisk(path.c_str(), DiskUse::Read) == 0 || loadDisk(path.c_str(), DiskUse::Change) == 0)
            return 2;
        Bytes changed = image;
        changed[9] ^= 1; // another writer, one that takes no lock
        writeFile(path, changed);
        sectorAt(20, 3)[0] ^= 1;
        return saveDisk(path.c_str()) == 0 ? 3 : 0;
    });
    EXPECT_EQ(run.status, 0);
    const std::string inUse = "\nError, diskette file '" + path + "' is in use by another program.\n\n";
    EXPECT_EQ(run.output, inUse + inUse + "\nError, diskette file '" + path +
                              "' changed since it was loaded; nothing saved.\n\n");
    Bytes expected = image;
    expected[9] ^= 1;
    EXPECT_EQ(readFile(path), expected);
}

TEST(LoadSave, APathThatNoLongerNamesTheLoadedImageIsNotWritten)
{
    TempDir dir;
    const std::string path = dir.file("image.dsk");
    const Bytes image = patternBytes(143360, 6);
    const Bytes other = patternBytes(143360, 7);
    for (const bool replaced : {true, false}) {
        writeFile(path, image);
        const Captured run = captureConsole("", [&] {
            detectGeometry(143360);
            if (loadDisk(path.c_str(), DiskUse::Change) != 0)
                return 1;
            // Replaced by another file of the very same bytes, or removed.
            const std::string spare = dir.file("spare.dsk");
            writeFile(spare, replaced ? image : other);
            if (rename(spare.c_str(), path.c_str()) != 0 || (!replaced && unlink(path.c_str()) != 0))
                return 2;
            sectorAt(20, 3)[0] ^= 1;
            return saveDisk(path.c_str()) == 0 ? 3 : 0;
        });
        EXPECT_EQ(run.status, 0) << replaced;
        EXPECT_EQ(run.output, "\nError, diskette file '" + path + "' changed since it was loaded; nothing saved.\n\n");
        EXPECT_EQ(replaced ? readFile(path) : image, image);
    }
}

TEST(LoadSave, ShortReadIsReportedWithTheCountRead)
{
    TempDir dir;
    const std::string path = dir.file("shrunk.dsk");
    writeFile(path, Bytes(143360 - 256 - 56, 0xAA)); // shrank after its size was taken
    Captured run = load(path, 143360);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "\nError from read() for diskette file '" + path + "', read 200 bytes and not 256 bytes.\n\n");
}

TEST(LoadSave, OpenFailuresAreReported)
{
    TempDir dir;
    const std::string missing = dir.file("missing.dsk");
    Captured run = load(missing, 143360);
    EXPECT_EQ(run.output, "\nError from open() to read diskette file '" + missing + "'.\n\n");
    EXPECT_NE(access(missing.c_str(), F_OK), 0);
}

TEST(CountFree, CountsOnlyTheBitmapOfTheImagesTracks)
{
    Disk.fill(0);
    NumTracks = 35;
    NumSectors = 16;
    auto table = vtoc();
    table[0x37] = 0xFF;              // just before the bitmap
    table[0x38] = 0x81;              // track 0: 2 bits
    table[0x38 + 4 * 34 + 3] = 0xFF; // track 34, bits of sectors 16-23 count too
    table[0x38 + 4 * 35] = 0xFF;     // track 35 is beyond a 35-track image
    EXPECT_EQ(countFree(), 10);
    NumTracks = 48;
    EXPECT_EQ(countFree(), 18);
}

TEST(CountAllocatable, CountsWhatTheAllocatorCanHandOut)
{
    Disk.fill(0);
    NumTracks = 35;
    NumSectors = 16;
    auto table = vtoc();
    table[0x38 + 4 * 34 + 1] = 0x01; // track 34 sector 0
    table[0x38 + 4 * 34 + 2] = 0xFF; // sectors 24-31: not on a 16-sector image
    table[0x38 + 4 * 17] = 0xFF;     // the catalog track is passed over
    table[0x38 + 4 * 16] = 0x80;     // track 16 sector 15
    table[0x38 + 4 * 35] = 0xFF;     // beyond the image
    EXPECT_EQ(countAllocatable(34), 2);
    EXPECT_EQ(countAllocatable(200), 2); // a start beyond the image begins at its top
    EXPECT_EQ(countAllocatable(33), 1);
    EXPECT_EQ(countAllocatable(15), 0);
    EXPECT_TRUE(isSectorFree(34, 0));
    EXPECT_FALSE(isSectorFree(34, 1));
    NumSectors = 32;
    EXPECT_EQ(countAllocatable(34), 10);
    EXPECT_TRUE(isSectorFree(34, 31));
}

TEST(CountFree, BlankImagesOfEveryGeometry)
{
    TempDir dir;
    for (const Geometry& g : AllGeometries) {
        const std::string path = dir.file("blank.dsk");
        Bytes image = blankImage(g.tracks, g.sectors);
        writeFile(path, image);
        ASSERT_TRUE(detectGeometry(static_cast<int64_t>(image.size())));
        ASSERT_EQ(loadDisk(path.c_str(), DiskUse::Read), 0);
        EXPECT_EQ(countFree(), (g.tracks - 4) * g.sectors);
        EXPECT_EQ(countAllocatable(g.tracks - 1), (g.tracks - 4) * g.sectors);
    }
}

TEST(Catalog, NamesAndTracksAsTheDiskStoresThem)
{
    const std::pair<char, uint8_t> names[] = {{'a', 0xC1}, {'z', 0xDA}, {'A', 0xC1}, {' ', 0xA0}, {'/', 0xAF},
                                              {'`', 0xE0}, {'{', 0xDB}, {'\x7F', 0xDF}, {'\x80', 0x80},
                                              {'\xFF', 0xFF}};
    for (const auto& [ch, byte] : names)
        EXPECT_EQ(catalogNameByte(ch), byte) << int(ch);
    EXPECT_EQ(diskTrackByte(0), 0x40);
    EXPECT_EQ(diskTrackByte(47), 47);
}

} // namespace
