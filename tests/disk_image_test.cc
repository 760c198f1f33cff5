// The image model: geometry, load, free count, save.
#include "capture.h"
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
        return loadDisk(path.c_str()) == 0 ? 0 : 1;
    });
}

TEST(LoadSave, RoundTripReproducesEveryGeometryByteForByte)
{
    TempDir dir;
    for (const Geometry& g : AllGeometries) {
        Bytes image = patternBytes(static_cast<size_t>(g.tracks) * g.sectors * 256, g.tracks + g.sectors);
        const std::string path = dir.file("image.dsk");
        writeFile(path, image);
        ASSERT_TRUE(detectGeometry(static_cast<int64_t>(image.size())));
        ASSERT_EQ(loadDisk(path.c_str()), 0);
        // Sector s of track t sits in its fixed 8192-byte slot whatever the geometry.
        EXPECT_EQ(sectorAt(g.tracks - 1, g.sectors - 1)[0], image[fileOffset(g.sectors, g.tracks - 1, g.sectors - 1)]);
        if (g.sectors == 16) {
            EXPECT_EQ(Disk[sectorOffset(3, 16)], 0) << "the unused half of a slot stays zero";
        }
        writeFile(path, Bytes(image.size(), 0));
        ASSERT_EQ(saveDisk(path.c_str()), 0);
        EXPECT_EQ(readFile(path), image) << g.tracks << "x" << g.sectors;
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

TEST(LoadSave, OpenFailuresAreReportedAndSaveNeverCreatesAFile)
{
    TempDir dir;
    const std::string missing = dir.file("missing.dsk");
    Captured run = load(missing, 143360);
    EXPECT_EQ(run.output, "\nError from open() to read diskette file '" + missing + "'.\n\n");

    Captured save = captureConsole("", [&] { return saveDisk(missing.c_str()) == 0 ? 0 : 1; });
    EXPECT_EQ(save.status, 1);
    EXPECT_EQ(save.output, "\nError from open() to write diskette file '" + missing + "'.\n\n");
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

TEST(CountFree, BlankImagesOfEveryGeometry)
{
    TempDir dir;
    for (const Geometry& g : AllGeometries) {
        const std::string path = dir.file("blank.dsk");
        Bytes image = blankImage(g.tracks, g.sectors);
        writeFile(path, image);
        ASSERT_TRUE(detectGeometry(static_cast<int64_t>(image.size())));
        ASSERT_EQ(loadDisk(path.c_str()), 0);
        EXPECT_EQ(countFree(), (g.tracks - 4) * g.sectors);
    }
}

} // namespace
