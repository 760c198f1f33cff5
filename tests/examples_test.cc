// The shipped examples, each run through the program it is meant for, as
// examples/README.md and scripts/demo.sh use them.
#include "example_capture.h"
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string Examples = SUITE_EXAMPLES_DIR;

std::string example(const std::string& name)
{
    return Examples + "/" + name;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The 24 name characters of catalog entry k of the first catalog sector,
// high bits stripped and trailing blanks dropped.
std::string catalogName(const Bytes& image, int k)
{
    const size_t at = fileOffset(16, 17, 15) + 11 + 35 * static_cast<size_t>(k) + 3;
    std::string name;
    for (size_t i = 0; i < 24; ++i)
        name += static_cast<char>(image[at + i] & 0x7F);
    return name.substr(0, name.find_last_not_of(' ') + 1);
}

} // namespace

TEST(Examples, CaptureIsTheEncodersTransferOfTheDemoDos)
{
    const Bytes shipped = readFile(example("transfer.aiff"));
    ASSERT_FALSE(shipped.empty());
    EXPECT_EQ(shipped, exampleCapture(readFile(example("demo-dos.bin"))))
        << "regenerate with build/bin/make_example_capture examples/demo-dos.bin examples/transfer.aiff";
}

// The diskette part of the tour: a blank image, the DOS, the sources, and
// the capture verified against the image.
TEST(Examples, DiskettePartOfTheTour)
{
    TempDir dir;
    const std::string image = dir.file("tour.dsk");
    ASSERT_EQ(runProgram("dskblank", {image, "35", "16"}, "").status, 0);

    RunResult run = runProgram("dskputdos", {}, "1\n" + image + "\n" + example("demo-dos.bin") + "\n\n");
    EXPECT_TRUE(contains(run.output, "DOS size is 0x2300.")) << run.output;

    run = runProgram("dskrecord", {}, image + "\n" + Examples + "\nhello.s\ncount.s\nbeep.s\n\n\n");
    EXPECT_TRUE(contains(run.output, "Processing complete for file '" + example("hello.s") + "' with sector count of 3."))
        << run.output;
    EXPECT_TRUE(contains(run.output, "Processing complete for file '" + example("beep.s") + "' with sector count of 4."))
        << run.output;
    const Bytes disk = readFile(image);
    EXPECT_EQ(catalogName(disk, 0), "HELLO.S");
    EXPECT_EQ(catalogName(disk, 1), "COUNT.S");
    EXPECT_EQ(catalogName(disk, 2), "BEEP.S");

    const std::string verify = example("transfer.aiff") + "\n162\n" + image + "\n0\n200\n";
    run = runProgram("aiffverify", {}, verify);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(contains(run.output, "Processing complete for 0x00000200 bytes.")) << run.output;
    EXPECT_FALSE(contains(run.output, "do not compare")) << run.output;

    // Without the DOS on it the image no longer matches the capture.
    const std::string blank = dir.file("blank.dsk");
    ASSERT_EQ(runProgram("dskblank", {blank, "35", "16"}, "").status, 0);
    run = runProgram("aiffverify", {}, example("transfer.aiff") + "\n162\n" + blank + "\n0\n2\n\n\n");
    EXPECT_TRUE(contains(run.output, "dskByte = 0x00 and newByte = 0x")) << run.output;
}

TEST(Examples, BeepSourceIsSpacedIntoGroups)
{
    TempDir dir;
    writeFile(dir.file("beep.s"), readFile(example("beep.s")));
    const RunResult run = runProgram("asmspacer", {}, ".\nbeep.s\n\n\n", RunOptions{dir.path()});
    EXPECT_TRUE(contains(run.output, "\n  Creating file './beep.sT'\n")) << run.output;
    // The EQU groups (KBD with KBDSTRB, L0300 with L0301), the loads, the
    // branches after a compare, and the HEX run after the RTS.
    EXPECT_EQ(readText(dir.file("beep.sT")),
              "* beep.s -- sound the speaker until a key is pressed; Esc ends\n"
              "*\n"
              ";\n"
              "KBD      EQU  $C000           ; keyboard data, bit 7 set on a key\n"
              "KBDSTRB  EQU  $C010           ; any access clears the key\n"
              ";\n"
              "SPKR     EQU  $C030           ; any access clicks the speaker\n"
              ";\n"
              "WAIT     EQU  $FCA8           ; monitor: delay by the value in A\n"
              ";\n"
              "COUT     EQU  $FDED           ; monitor: print the character in A\n"
              ";\n"
              "L0300    EQU  $0300           ; pitch, one byte per note\n"
              "L0301    EQU  $0301\n"
              ";\n"
              "         ORG  $0803\n"
              ";\n"
              "START    LDY  #0\n"
              ";\n"
              "         BIT  KBDSTRB\n"
              ";\n"
              "NOTE     LDX  L0300\n"
              ";\n"
              "CLICK    LDA  SPKR\n"
              ";\n"
              "         LDA  PITCH,Y\n"
              ";\n"
              "         JSR  WAIT\n"
              ";\n"
              "         DEX\n"
              "         BNE  CLICK\n"
              ";\n"
              "         INY\n"
              ";\n"
              "         CPY  #8\n"
              "         BCC  NOTE\n"
              ";\n"
              "         LDY  #0\n"
              ";\n"
              "         LDA  KBD\n"
              "         BPL  NOTE\n"
              ";\n"
              "         BIT  KBDSTRB\n"
              ";\n"
              "         CMP  #$9B\n"
              "         BEQ  QUIT\n"
              ";\n"
              "         JSR  COUT\n"
              ";\n"
              "         JMP  NOTE\n"
              ";\n"
              "QUIT     RTS\n"
              ";\n"
              "HIGH     HEX  08090A0B\n"
              "PITCH    HEX  1C1A1816\n"
              "         HEX  14121110\n");
}

TEST(Examples, TablesBecomeBinariesAndABinaryBecomesArrayText)
{
    TempDir dir;
    RunResult run = runProgram("array2bin", {}, example("tables.txt") + "\n", RunOptions{dir.path()});
    EXPECT_EQ(run.output, "\nEnter path of input text file to process:  \n"
                          "File Pitch is done\nBoth file names compare to Pitch.\nNumber of bytes read for Pitch is correct.\n"
                          "File Sine is done\nBoth file names compare to Sine.\nNumber of bytes read for Sine is correct.\n"
                          "File Title is done\nBoth file names compare to Title.\n"
                          "Number of bytes read for Title is correct.\n");
    EXPECT_EQ(readFile(dir.file("Pitch")), (Bytes{0x00, 0x10, 0x0B, 0x00, 0x1C, 0x1A, 0x18, 0x16, 0x14, 0x12, 0x11, 0x10}));
    EXPECT_EQ(readFile(dir.file("Sine")).size(), 4u + 16u);
    EXPECT_EQ(readFile(dir.file("Title")), (Bytes{0x00, 0x10, 0xFD, 0x01, 0xC8, 0xC5, 0xCC, 0xCC, 0xCF, 0xA0, 0xB6,
                                                  0xB5, 0xB0, 0xB2}));

    run = runProgram("bin2array", {"Title", "Title.c"}, "", RunOptions{dir.path()});
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(readText(dir.file("Title.c")), "UCHAR Title[] = {\n"
                                             "  0x00, 0x10, 0xfd, 0x01, 0xc8, 0xc5, 0xcc, 0xcc,\n"
                                             "  0xcf, 0xa0, 0xb6, 0xb5, 0xb0, 0xb2\n"
                                             "};\n"
                                             "UINT32 Title_len = 14;\n");
}

TEST(Examples, ChangesPatchTheRomImage)
{
    TempDir dir;
    writeFile(dir.file("rom.bin"), Bytes(0x3000, 0xEA));
    writeFile(dir.file("changes.txt"), readFile(example("changes.txt"))); // opened for update
    const RunResult run = runProgram("mempatch", {}, "rom.bin\nrom-patched.bin\nchanges.txt\n0\n\n", RunOptions{dir.path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_FALSE(contains(run.output, "refused")) << run.output;
    EXPECT_TRUE(contains(run.output, "configLine:  D010 11\n")) << run.output;

    Bytes expected(0x3000, 0xEA);
    const auto put = [&expected](size_t at, const Bytes& bytes) {
        std::copy(bytes.begin(), bytes.end(), expected.begin() + static_cast<std::ptrdiff_t>(at));
    };
    put(0x2FFC, {0x00, 0xD0});
    put(0x0000, {0x20, 0x10, 0xD0, 0x4C, 0x69, 0xFF});
    put(0x0010, {0xA9, 0xC8, 0x20, 0xED, 0xFD, 0xA9, 0xC9, 0x20, 0xED, 0xFD, 0x60});
    EXPECT_EQ(readFile(dir.file("rom-patched.bin")), expected);
    EXPECT_EQ(readFile(dir.file("changes.txt")), readFile(example("changes.txt")));
}

TEST(Examples, CompareListingSpellsWords)
{
    TempDir dir;
    const RunResult run = runProgram("casediff", {}, example("compare.txt") + "\nletters.txt\n\n", RunOptions{dir.path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(readText(dir.file("letters.txt")),
              "\ninsert\ndisk\npress\nreturn\ndisk\nfull\n0a40:  4c  20\n0a41:  00  10\n\nend\nof\ndata");
}
