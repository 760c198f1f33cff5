// Images of the recognised sizes that are not DOS 3.3 diskettes kept in DOS
// order: one whose VTOC says another file system is refused by every program
// that writes into an image (and by dskgetdos, which reads it strictly) and
// only noted by the readers; one named .po is read and written in ProDOS
// sector order throughout.
#include "dskrecord_test_helpers.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <regex>
#include <unistd.h>

using namespace dskrecord_test;

namespace {

// A program run on an image: IMAGE, DIR, DOS and OUT in its arguments and
// answers stand for the image, the folder of a.s, an 8960-byte DOS file and
// a file that must not appear.
struct ImageRun {
    std::string program;
    std::vector<std::string> args; // none: the dialogue
    std::string input;
};

const ImageRun Refusers[] = {
    {"dskrecord", {"IMAGE", "DIR", "a.s"}, ""},
    {"dskrecord", {}, "IMAGE\nDIR\na.s\n\n\n"},
    {"dskputdos", {"3.3", "IMAGE", "DOS"}, ""},
    {"dskputdos", {}, "1\nIMAGE\nDOS\n\n"},
    {"dskputbin", {"IMAGE", "DIR/a.s", "6000"}, ""},
    {"dskdelete", {"IMAGE", "a.s"}, ""},
    {"dskcheck", {"--repair", "IMAGE"}, ""},
    {"dskgetdos", {"3.3", "IMAGE", "OUT"}, ""},
};

std::string substituted(std::string text, const TempDir& dir)
{
    for (const auto& [word, path] : {std::pair<std::string, std::string>{"IMAGE", dir.file("d.dsk")},
                                     {"DIR", dir.path()}, {"DOS", dir.file("dos.bin")}, {"OUT", dir.file("out.bin")}})
        text = std::regex_replace(text, std::regex(word), path);
    return text;
}

// A blank image whose VTOC bytes 0x27 (pairs per list), 0x34 (tracks) and
// 0x35 (sectors) say what is given.
Bytes foreignImage(uint8_t pairs, uint8_t tracks, uint8_t sectors)
{
    Bytes image = blankImage(35, 16);
    image[vtocAt(16, 0x27)] = pairs;
    image[vtocAt(16, 0x34)] = tracks;
    image[vtocAt(16, 0x35)] = sectors;
    return image;
}

TEST(ForeignImage, RefusedByEveryWriterAndNotedByAReader)
{
    struct Foreign {
        std::string what;
        Bytes image;
        std::string says;
    } foreigns[] = {
        {"a ProDOS volume: no DOS VTOC", foreignImage(0, 0, 0), "0 tracks, 0 sectors, 0 pairs per list"},
        {"a VTOC of 13 sectors", foreignImage(122, 35, 13), "35 tracks, 13 sectors, 122 pairs per list"},
    };
    for (const Foreign& foreign : foreigns) {
        SCOPED_TRACE(foreign.what);
        TempDir dir;
        const std::string image = dir.file("d.dsk");
        writeText(dir.file("a.s"), "A\n");
        writeFile(dir.file("dos.bin"), patternBytes(8960));
        writeFile(image, foreign.image);
        const std::string refusal = "\nError, diskette file '" + image +
                                    "' is not a DOS 3.3 diskette of 35 tracks and 16 sectors (its VTOC says " +
                                    foreign.says + "); nothing written.\n\n";
        for (const ImageRun& run : Refusers) {
            std::vector<std::string> args;
            for (const std::string& arg : run.args)
                args.push_back(substituted(arg, dir));
            const RunResult result = runProgram(run.program, args, substituted(run.input, dir));
            const std::string where = run.program + (args.empty() ? " dialogue" : " arguments");
            EXPECT_EQ(result.status, args.empty() ? 0 : 1) << where;
            EXPECT_NE((args.empty() ? result.output : result.errors).find(refusal), std::string::npos)
                << where << ":\n" << result.output << result.errors;
            EXPECT_EQ(readFile(image), foreign.image) << where;
            EXPECT_NE(access(dir.file("out.bin").c_str(), F_OK), 0) << where;
        }

        const RunResult listed = runProgram("dskcatalog", {image}, "");
        EXPECT_EQ(listed.status, 0);
        EXPECT_EQ(listed.errors, "\nNote: the VTOC of diskette file '" + image +
                                     "' does not describe a DOS 3.3 diskette of 35 tracks and 16 sectors (it says " +
                                     foreign.says + "); it is read as it stands.\n");
        EXPECT_EQ(listed.output, "Catalog of '" + image + "': 35 tracks, 16 sectors per track, 496 sectors free\n");
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
    const std::string dsk = dir.file("d.dsk");
    const std::string po = dir.file("d.Po");
    writeText(dir.file("a.s"), hostTextOfEncodedSize(3000, 1).text);
    writeText(dir.file("b.s"), hostTextOfEncodedSize(40000, 2).text);
    writeFile(dir.file("dos.bin"), patternBytes(8960, 4));
    ASSERT_EQ(runProgram("dskblank", {dsk, "35", "16"}, "").status, 0);
    ASSERT_EQ(runProgram("dskrecord", {dsk, dir.path(), "a.s"}, "").status, 0);
    writeFile(po, reordered(readFile(dsk)));
    ASSERT_NE(readFile(po), readFile(dsk));

    const RunResult listedDsk = runProgram("dskcatalog", {dsk}, "");
    const RunResult listedPo = runProgram("dskcatalog", {po}, "");
    EXPECT_EQ(listedPo.status, 0);
    EXPECT_EQ(listedPo.errors, "");
    EXPECT_NE(listedDsk.output.find(" A.S "), std::string::npos) << listedDsk.output;
    EXPECT_EQ(std::regex_replace(listedPo.output, std::regex("d\\.Po"), "d.dsk"), listedDsk.output);

    const RunResult extractedDsk = runProgram("dskextract", {dsk, "a.s"}, "");
    const RunResult extractedPo = runProgram("dskextract", {po, "a.s"}, "");
    EXPECT_EQ(extractedPo.status, 0);
    EXPECT_GT(extractedDsk.output.size(), 2000u);
    EXPECT_EQ(extractedPo.output, extractedDsk.output);

    for (const std::string& image : {dsk, po}) {
        SCOPED_TRACE(image);
        EXPECT_EQ(runProgram("dskrecord", {image, dir.path(), "b.s"}, "").status, 0);
        EXPECT_EQ(runProgram("dskputdos", {"3.3", image, dir.file("dos.bin")}, "").status, 0);
    }
    EXPECT_TRUE(withoutStamps(reordered(readFile(po))) == withoutStamps(readFile(dsk))) << "the two images differ";
    EXPECT_EQ(runProgram("dskgetdos", {"3.3", po, dir.file("got.bin")}, "").status, 0);
    EXPECT_EQ(readFile(dir.file("got.bin")), patternBytes(8960, 4));
}

TEST(ProdosOrder, DskblankWritesAPoImageInProdosOrder)
{
    TempDir dir;
    for (const Geometry& g : {Geometry{35, 16}, Geometry{48, 16}}) {
        const std::string po = dir.file("blank" + std::to_string(g.tracks) + ".PO");
        ASSERT_EQ(runProgram("dskblank", {po, std::to_string(g.tracks), "16"}, "").status, 0);
        EXPECT_TRUE(readFile(po) == reordered(blankImage(g.tracks, g.sectors))) << g.tracks;
    }
    const std::string po32 = dir.file("blank.po");
    const RunResult refused = runProgram("dskblank", {po32, "35", "32"}, "");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.errors, "dskblank: '" + po32 + "' is named .po, but a 32-sector image has no ProDOS order\n");
    EXPECT_NE(access(po32.c_str(), F_OK), 0);
}

} // namespace
