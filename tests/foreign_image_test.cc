// Images of the recognised sizes that are not DOS 3.3 diskettes kept in DOS
// order: one whose VTOC says another file system is refused by every program
// that writes into an image (and by dskgetdos, which reads it strictly) and
// only noted by the readers; one named .po is read and written in ProDOS
// sector order throughout.
#include "dskrecord_test_helpers.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <regex>
#include <tuple>
#include <unistd.h>

using namespace dskrecord_test;

namespace {

// A program run on d.dsk in a folder that also holds a.s and dos.bin; out.bin
// must not appear. No arguments: the dialogue.
struct ImageRun {
    std::string program;
    std::vector<std::string> args;
    std::string input;
};

const ImageRun Refusers[] = {
    {"dskrecord", {"d.dsk", ".", "a.s"}, ""},
    {"dskrecord", {}, "d.dsk\n.\na.s\n\n\n"},
    {"dskputdos", {"3.3", "d.dsk", "dos.bin"}, ""},
    {"dskputdos", {}, "1\nd.dsk\ndos.bin\n\n"},
    {"dskputbin", {"d.dsk", "a.s", "6000"}, ""},
    {"dskdelete", {"d.dsk", "a.s"}, ""},
    {"dskcheck", {"--repair", "d.dsk"}, ""},
    {"dskgetdos", {"3.3", "d.dsk", "out.bin"}, ""},
};

TEST(ForeignImage, RefusedByEveryWriterAndNotedByAReader)
{
    // VTOC bytes 0x27 (pairs per list), 0x34 (tracks), 0x35 (sectors): a
    // ProDOS volume has no DOS VTOC; the other says 13 sectors.
    const std::tuple<uint8_t, uint8_t, uint8_t, std::string> foreigns[] = {
        {0, 0, 0, "0 tracks, 0 sectors, 0 pairs per list"}, {122, 35, 13, "35 tracks, 13 sectors, 122 pairs per list"}};
    for (const auto& [pairs, tracks, sectors, says] : foreigns) {
        SCOPED_TRACE(says);
        TempDir dir;
        const RunOptions inDir{dir.path()};
        Bytes image = blankImage(35, 16);
        image[vtocAt(16, 0x27)] = pairs;
        image[vtocAt(16, 0x34)] = tracks;
        image[vtocAt(16, 0x35)] = sectors;
        writeFile(dir.file("d.dsk"), image);
        writeText(dir.file("a.s"), "A\n");
        writeFile(dir.file("dos.bin"), patternBytes(8960));
        const std::string refusal = "\nError, diskette file 'd.dsk' is not a DOS 3.3 diskette of 35 tracks and 16 "
                                    "sectors (its VTOC says " + says + "); nothing written.\n\n";
        for (const ImageRun& run : Refusers) {
            const RunResult result = runProgram(run.program, run.args, run.input, inDir);
            const bool dialogue = run.args.empty();
            SCOPED_TRACE(run.program + (dialogue ? " dialogue" : " arguments"));
            EXPECT_EQ(result.status, dialogue ? 0 : 1);
            EXPECT_NE((dialogue ? result.output : result.errors).find(refusal), std::string::npos)
                << result.output << result.errors;
            EXPECT_EQ(readFile(dir.file("d.dsk")), image);
            EXPECT_NE(access(dir.file("out.bin").c_str(), F_OK), 0);
        }

        const RunResult listed = runProgram("dskcatalog", {"d.dsk"}, "", inDir);
        EXPECT_EQ(listed.status, 0);
        EXPECT_EQ(listed.errors, "\nNote: the VTOC of diskette file 'd.dsk' does not describe a DOS 3.3 diskette of "
                                 "35 tracks and 16 sectors (it says " + says + "); it is read as it stands.\n");
        EXPECT_EQ(listed.output, "Catalog of 'd.dsk': 35 tracks, 16 sectors per track, 496 sectors free\n");
    }
}

// The test's own copy of where DOS sector s of a track lies in ProDOS order;
// the table is its own inverse, so one reordering goes both ways.
constexpr int ProdosSector[16]{0, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 15};

Bytes reordered(const Bytes& image)
{
    Bytes out(image.size());
    for (size_t track = 0; track < image.size() / 4096; ++track)
        for (size_t s = 0; s < 16; ++s) {
            const auto from = static_cast<long>(track * 4096 + s * 256);
            std::copy(image.begin() + from, image.begin() + from + 256,
                      out.begin() + static_cast<long>(track * 4096 + static_cast<size_t>(ProdosSector[s]) * 256));
        }
    return out;
}

// The image with the time stamps of its catalog entries cleared: two
// recordings are seconds apart.
Bytes withoutStamps(Bytes image)
{
    for (size_t entry : catalogEntries(image, 16))
        std::fill(image.begin() + static_cast<long>(entry) + 27, image.begin() + static_cast<long>(entry) + 33, 0);
    return image;
}

TEST(ProdosOrder, APoImageTakesTheSameWorkAsItsDosOrderTwin)
{
    TempDir dir;
    const RunOptions inDir{dir.path()};
    writeText(dir.file("a.s"), hostTextOfEncodedSize(3000, 1).text);
    writeText(dir.file("b.s"), hostTextOfEncodedSize(40000, 2).text);
    writeFile(dir.file("dos.bin"), patternBytes(8960, 4));
    ASSERT_EQ(runProgram("dskblank", {"d.dsk", "35", "16"}, "", inDir).status, 0);
    ASSERT_EQ(runProgram("dskrecord", {"d.dsk", ".", "a.s"}, "", inDir).status, 0);
    writeFile(dir.file("d.Po"), reordered(readFile(dir.file("d.dsk"))));
    // Each run on the .po image tells what the same run on its twin tells, the name aside.
    const std::vector<std::vector<std::string>> runs{{"dskcatalog", "@"},
                                                     {"dskextract", "@", "a.s"},
                                                     {"dskrecord", "@", ".", "b.s"},
                                                     {"dskputdos", "3.3", "@", "dos.bin"},
                                                     {"dskgetdos", "3.3", "@", "got@"}};
    for (const std::vector<std::string>& run : runs) {
        RunResult results[2];
        for (int po = 0; po < 2; ++po) {
            std::vector<std::string> args;
            for (size_t i = 1; i < run.size(); ++i)
                args.push_back(std::regex_replace(run[i], std::regex("@"), po != 0 ? "d.Po" : "d.dsk"));
            results[po] = runProgram(run[0], args, "", inDir);
            EXPECT_EQ(results[po].status, 0) << run[0] << results[po].errors;
        }
        EXPECT_EQ(std::regex_replace(results[1].output + results[1].errors, std::regex("d\\.Po"), "d.dsk"),
                  results[0].output + results[0].errors)
            << run[0];
    }
    EXPECT_TRUE(withoutStamps(reordered(readFile(dir.file("d.Po")))) == withoutStamps(readFile(dir.file("d.dsk"))))
        << "the two images differ";
    EXPECT_EQ(readFile(dir.file("gotd.Po")), patternBytes(8960, 4));
}

TEST(ProdosOrder, DskblankWritesAPoImageInProdosOrder)
{
    TempDir dir;
    const std::string po = dir.file("blank.PO");
    ASSERT_EQ(runProgram("dskblank", {po, "40", "16"}, "").status, 0);
    EXPECT_TRUE(readFile(po) == reordered(blankImage(40, 16)));
    const std::string po32 = dir.file("blank.po");
    const RunResult refused = runProgram("dskblank", {po32, "35", "32"}, "");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.errors, "dskblank: '" + po32 + "' is named .po, but a 32-sector image has no ProDOS order\n");
    EXPECT_NE(access(po32.c_str(), F_OK), 0);
}

} // namespace
