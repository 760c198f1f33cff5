// Blank images as the diskette's DOS lays them out, and the dskblank helper.
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

TEST(BlankImage, VtocBitmapAndCatalogChainForEveryGeometry)
{
    for (const Geometry& g : AllGeometries) {
        SCOPED_TRACE(std::to_string(g.tracks) + "x" + std::to_string(g.sectors));
        Bytes image = blankImage(g.tracks, g.sectors);
        ASSERT_EQ(image.size(), static_cast<size_t>(g.tracks) * g.sectors * 256);
        const size_t vtoc = fileOffset(g.sectors, 17, 0);
        EXPECT_EQ(image[vtoc + 0x01], 17);
        EXPECT_EQ(image[vtoc + 0x02], g.sectors - 1);
        EXPECT_EQ(image[vtoc + 0x03], 3);
        EXPECT_EQ(image[vtoc + 0x06], 254);
        EXPECT_EQ(image[vtoc + 0x27], 122);
        EXPECT_EQ(image[vtoc + 0x30], 17);
        EXPECT_EQ(image[vtoc + 0x31], 1);
        EXPECT_EQ(image[vtoc + 0x34], g.tracks);
        EXPECT_EQ(image[vtoc + 0x35], g.sectors);
        EXPECT_EQ(image[vtoc + 0x36], 0x00);
        EXPECT_EQ(image[vtoc + 0x37], 0x01);
        for (int t = 0; t < 48; ++t) {
            const bool free = t < g.tracks && t > 2 && t != 17;
            const size_t map = vtoc + 0x38 + 4 * static_cast<size_t>(t);
            EXPECT_EQ(image[map], free ? 0xFF : 0x00) << t;
            EXPECT_EQ(image[map + 1], free ? 0xFF : 0x00) << t;
            EXPECT_EQ(image[map + 2], free && g.sectors == 32 ? 0xFF : 0x00) << t;
            EXPECT_EQ(image[map + 3], free && g.sectors == 32 ? 0xFF : 0x00) << t;
        }
        // Walk the chain: every sector of track 17 from the last down to 1, then 0/0.
        int t = image[vtoc + 1];
        int s = image[vtoc + 2];
        int expected = g.sectors - 1;
        while (s != 0) {
            ASSERT_EQ(t, 17);
            ASSERT_EQ(s, expected--);
            const size_t at = fileOffset(g.sectors, t, s);
            t = image[at + 1];
            s = image[at + 2];
        }
        EXPECT_EQ(expected, 0);
        EXPECT_EQ(t, 0);
    }
}

TEST(BlankImage, HelperToolWritesTheSameBytes)
{
    TempDir dir;
    const std::string path = dir.file("blank.dsk");
    for (const Geometry& g : AllGeometries) {
        RunResult run = runProgram("dskblank", {"-f", path, std::to_string(g.tracks), std::to_string(g.sectors)}, "");
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(readFile(path), blankImage(g.tracks, g.sectors));
    }
    // Without -f an existing file is left alone.
    writeText(path, "my only image");
    RunResult kept = runProgram("dskblank", {path, "35", "16"}, "");
    EXPECT_EQ(kept.status, 1);
    EXPECT_EQ(kept.errors, "dskblank: '" + path + "' exists; give -f to overwrite it\n");
    EXPECT_EQ(readText(path), "my only image");

    RunResult bad = runProgram("dskblank", {dir.file("bad.dsk"), "36", "16"}, "");
    EXPECT_EQ(bad.status, 2);
    RunResult trailing = runProgram("dskblank", {dir.file("bad.dsk"), "35abc", "16"}, "");
    EXPECT_EQ(trailing.status, 2);
    EXPECT_EQ(trailing.errors.rfind("dskblank: TRACKS '35abc' is not a decimal number\n", 0), 0u) << trailing.errors;
    EXPECT_EQ(runProgram("dskblank", {"-x", path, "35", "16"}, "").errors,
              "dskblank: unknown option '-x'\nusage: dskblank [-f] PATH TRACKS SECTORS\nTry 'dskblank --help'.\n");
    EXPECT_THROW(blankImage(36, 16), std::runtime_error);
}

// Without -f the image goes only where no file is, even one made while it
// is written (held up here at its fsync): by renameat2, or where the file
// system has none (EINVAL), by a second link.
TEST(BlankImage, AFileThatAppearsMeanwhileIsNotReplaced)
{
    for (const std::string renameat2 : {"", "inject=renameat2:error=EINVAL"}) {
        SCOPED_TRACE(renameat2);
        TempDir dir;
        auto files = [&] { return std::distance(std::filesystem::directory_iterator(dir.path()), {}); };
        std::vector<std::string> options{"-o", "/dev/null", "-e", "trace=fsync,renameat2", "-e", "trace=fsync"};
        if (!renameat2.empty())
            options.back() = renameat2;
        EXPECT_EQ(runUnderStrace(options, "dskblank", {dir.file("a.dsk"), "35", "16"}, "").status, 0);
        EXPECT_EQ(readFile(dir.file("a.dsk")), blankImage(35, 16));

        options.insert(options.end(), {"-e", "inject=fsync:delay_enter=500000"});
        RunResult run;
        std::thread writer([&] { run = runUnderStrace(options, "dskblank", {dir.file("b.dsk"), "35", "16"}, ""); });
        for (int i = 0; i < 1000 && files() < 2; ++i) // till the temporary file is there
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        writeText(dir.file("b.dsk"), "appeared");
        writer.join();
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.errors, "dskblank: '" + dir.file("b.dsk") + "' exists; give -f to overwrite it\n");
        EXPECT_EQ(readText(dir.file("b.dsk")), "appeared");
        EXPECT_EQ(files(), 2);
    }
}

} // namespace
