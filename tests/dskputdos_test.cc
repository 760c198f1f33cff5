// The DOS installer: dialogue byte for byte, placement on every geometry, bad input.
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string Menu = "\nEnter DOS version number:\n\n1)  DOS 3.3\n\n2)  DOS 4.0 - 35 sectors\n\n"
                         "3)  DOS 4.1 - 32 sectors\n\nEnter selection:  \n";
const std::string ImagePrompt = "\nEnter path of diskette image to process:  \n";
const std::string DosPrompt = "\nEnter path of DOS file:  \n";
const std::string PauseText = "\n\nPress <cr> to continue ...  \n\n";

std::string freeLine(int count)
{
    return "\nFree space on this diskette is " + std::to_string(count) + " sectors.\n\n";
}

// Where each version keeps the DOS file's blocks: runs of consecutive blocks
// going to consecutive sectors of one track.
struct Run {
    int firstBlock;
    int lastBlock;
    int track;
    int firstSector;
};
const std::vector<Run> Places[3] = {
    {{0, 3, 0, 12}, {4, 19, 1, 0}, {20, 24, 2, 0}, {25, 25, 0, 0}, {26, 34, 0, 1}},
    {{0, 6, 0, 9}, {7, 22, 1, 0}, {23, 25, 2, 0}, {26, 26, 0, 0}, {27, 34, 0, 1}},
    {{0, 8, 0, 7}, {9, 24, 1, 0}, {28, 28, 0, 0}, {29, 34, 0, 1}},
};

// A formatted image whose tracks 0 to 3 hold a pattern, so that clearing and
// leaving alone can both be seen.
Bytes usedImage(const Geometry& g)
{
    Bytes image = blankImage(g.tracks, g.sectors);
    Bytes pattern = patternBytes(fileOffset(g.sectors, 4, 0), 99);
    std::copy(pattern.begin(), pattern.end(), image.begin());
    return image;
}

Bytes expectedAfter(const Bytes& loaded, const Geometry& g, int version, const Bytes& dos)
{
    Bytes image = loaded;
    std::fill(image.begin(), image.begin() + static_cast<long>(fileOffset(g.sectors, 2, 0)), 0);
    for (const Run& run : Places[version - 1]) {
        for (int b = run.firstBlock; b <= run.lastBlock; ++b) {
            const size_t at = fileOffset(g.sectors, run.track, run.firstSector + b - run.firstBlock);
            std::copy(dos.begin() + b * 256, dos.begin() + b * 256 + 256, image.begin() + static_cast<long>(at));
        }
    }
    return image;
}

// An image of nothing but 0xFF bytes (every bitmap bit free), but for the
// VTOC fields that make it a DOS 3.3 diskette of 35 tracks and 16 sectors.
Bytes onesImage()
{
    Bytes image(143360, 0xFF);
    const size_t vtoc = fileOffset(16, 17, 0);
    image[vtoc + 0x27] = 122;
    image[vtoc + 0x34] = 35;
    image[vtoc + 0x35] = 16;
    return image;
}

struct Files {
    TempDir dir;
    std::string image = dir.file("disk.dsk");
    std::string dos = dir.file("dos.bin");
};

TEST(DskputdosPlacement, EveryVersionOnEveryGeometry)
{
    const Bytes dos = patternBytes(8960, 7);
    for (const Geometry& g : AllGeometries) {
        for (int version = 1; version <= 3; ++version) {
            SCOPED_TRACE(std::to_string(g.tracks) + "x" + std::to_string(g.sectors) + " v" + std::to_string(version));
            Files s;
            const Bytes loaded = usedImage(g);
            writeFile(s.image, loaded);
            writeFile(s.dos, dos);
            RunResult run = runProgram("dskputdos", {}, std::to_string(version) + "\n" + s.image + "\n" + s.dos + "\n\n");
            EXPECT_EQ(run.status, 0);
            EXPECT_EQ(run.output, Menu + ImagePrompt + freeLine((g.tracks - 4) * g.sectors) + DosPrompt +
                                      "\nDOS size is 0x2300.\n" + PauseText);
            const Bytes after = readFile(s.image);
            ASSERT_EQ(after.size(), loaded.size());
            EXPECT_TRUE(after == expectedAfter(loaded, g, version, dos)) << "placement differs";
            const size_t vtoc = fileOffset(g.sectors, 17, 0);
            EXPECT_TRUE(std::equal(after.begin() + static_cast<long>(vtoc), after.begin() + static_cast<long>(vtoc) + 256,
                                   loaded.begin() + static_cast<long>(vtoc)))
                << "the VTOC is saved as loaded";
        }
    }
}

TEST(DskputdosPlacement, SpotChecksOfTheThreeLayouts)
{
    // Independent of the table above: a few places named byte for byte.
    const Bytes dos = patternBytes(8960, 3);
    auto block = [&](size_t from) { return Bytes(dos.begin() + static_cast<long>(from), dos.begin() + static_cast<long>(from) + 256); };
    auto sector = [](const Bytes& image, int t, int s) {
        return Bytes(image.begin() + static_cast<long>(fileOffset(16, t, s)), image.begin() + static_cast<long>(fileOffset(16, t, s)) + 256);
    };
    const Bytes ones(256, 0xFF);
    const Bytes zeros(256, 0x00);
    for (int version = 1; version <= 3; ++version) {
        Files s;
        writeFile(s.image, onesImage());
        writeFile(s.dos, dos);
        const RunResult run = runProgram("dskputdos", {}, std::to_string(version) + "\n" + s.image + "\n" + s.dos + "\n\n");
        // Every bit of this bitmap says free: each sector that received a block is counted.
        EXPECT_NE(run.output.find("\nDOS size is 0x2300.\n\nNote: " + std::to_string(version == 3 ? 32 : 35) +
                                  " of the DOS sectors are marked free in the bitmap; a later recording may "
                                  "overwrite the DOS.\n\n\nPress"),
                  std::string::npos)
            << run.output;
        Bytes image = readFile(s.image);
        if (version == 1) {
            EXPECT_EQ(sector(image, 0, 10), zeros);
            EXPECT_EQ(sector(image, 0, 11), zeros);
            EXPECT_EQ(sector(image, 0, 0), block(6400));
            EXPECT_EQ(sector(image, 0, 12), block(0));
            EXPECT_EQ(sector(image, 2, 4), block(6144));
            EXPECT_EQ(sector(image, 2, 5), ones);
            EXPECT_EQ(sector(image, 34, 15), ones);
        } else if (version == 2) {
            EXPECT_EQ(sector(image, 0, 9), block(0));
            EXPECT_EQ(sector(image, 0, 0), block(6656));
            EXPECT_EQ(sector(image, 0, 8), block(8704));
            EXPECT_EQ(sector(image, 2, 2), block(6400));
            EXPECT_EQ(sector(image, 2, 3), ones);
        } else {
            EXPECT_EQ(sector(image, 0, 0), block(7168));
            EXPECT_EQ(sector(image, 0, 6), block(8704));
            for (int sec = 0; sec < 16; ++sec)
                EXPECT_EQ(sector(image, 2, sec), ones);
            for (size_t b = 6400; b < 7168; b += 256)
                EXPECT_EQ(std::search(image.begin(), image.end(), dos.begin() + static_cast<long>(b), dos.begin() + static_cast<long>(b) + 256), image.end());
        }
    }
}

TEST(DskputdosMenu, InvalidChoicesBringTheMenuBackAndVersionNamesSelectTheirLines)
{
    // The answers, how many menus they bring, and the sector of track 0 that
    // block 0 goes to: 12, 9 or 7 for version 1, 2 or 3. Only a whole
    // version name counts as one; the rest is read as "%d" reads it.
    const std::tuple<std::string, int, int> cases[] = {
        {"0\n4\n-1\nword\n  2 and more", 5, 9}, {"3.3", 1, 12}, {" 4.0 ", 1, 9}, {"4.1", 1, 7},
        {"\t3.3", 1, 12}, {"3x", 1, 7}, {"3.3x", 1, 7}, {"4.10\n2.0", 2, 9}};
    const Bytes dos = patternBytes(8960);
    for (const auto& [answers, menus, sector] : cases) {
        Files s;
        writeFile(s.image, blankImage(35, 16));
        writeFile(s.dos, dos);
        const RunResult run = runProgram("dskputdos", {}, answers + "\n" + s.image + "\n" + s.dos + "\n\n");
        std::string shown;
        for (int i = 0; i < menus; ++i)
            shown += Menu;
        EXPECT_EQ(run.output, shown + ImagePrompt + freeLine(496) + DosPrompt + "\nDOS size is 0x2300.\n" + PauseText)
            << answers;
        const Bytes image = readFile(s.image);
        EXPECT_TRUE(std::equal(dos.begin(), dos.begin() + 256, image.begin() + static_cast<long>(fileOffset(16, 0, sector))))
            << answers;
    }
}

TEST(DskputdosEndings, EmptyAnswerOrEndOfInputAtEachPromptLeavesTheImageAlone)
{
    Files s;
    const Bytes loaded = usedImage({35, 32});
    writeFile(s.image, loaded);
    writeFile(s.dos, patternBytes(8960));
    const std::string afterImage = Menu + ImagePrompt + freeLine(31 * 32) + DosPrompt;
    struct Case {
        std::string input;
        std::string output;
    } cases[] = {
        {"\n", Menu},
        {"", Menu},
        {"1\n\n", Menu + ImagePrompt},
        {"1\n", Menu + ImagePrompt},
        {"3\n" + s.image + "\n\n", afterImage},
        {"3\n" + s.image + "\n", afterImage},
    };
    for (const Case& c : cases) {
        RunResult run = runProgram("dskputdos", {}, c.input);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.output, c.output) << c.input;
        EXPECT_EQ(readFile(s.image), loaded) << c.input;
    }
}

TEST(DskputdosEndings, MissingImageIsAskedAgainAndBadSizeEnds)
{
    Files s;
    const std::string missing = s.dir.file("nope.dsk");
    RunResult run = runProgram("dskputdos", {}, "1\n" + missing + "\n\n\n");
    EXPECT_EQ(run.output, Menu + ImagePrompt + "\nError from stat() for diskette file '" + missing + "'.\n\n" + PauseText + ImagePrompt);

    const Bytes odd(143361, 0x5A);
    writeFile(s.image, odd);
    run = runProgram("dskputdos", {}, "1\n" + s.image + "\n\n");
    EXPECT_EQ(run.output, Menu + ImagePrompt + "\nError, the diskette size of '143361' is not recognized for file '" +
                              s.image + "'.\n\n" + PauseText);
    EXPECT_EQ(readFile(s.image), odd);
}

TEST(DskputdosEndings, OverLongImagePathIsRefusedAndAskedAgain)
{
    Files s;
    writeFile(s.image, blankImage(35, 16));
    const std::string tooLong = "/" + std::string(127, 'x');
    RunResult run = runProgram("dskputdos", {}, "1\n" + tooLong + "\n\n");
    EXPECT_EQ(run.output, Menu + ImagePrompt +
                              "\nError, that answer is longer than 127 characters; please enter a shorter one.\n" +
                              ImagePrompt);
}

TEST(DskputdosEndings, BadDosFilesLeaveTheImageAlone)
{
    Files s;
    const Bytes loaded = usedImage({35, 16});
    writeFile(s.image, loaded);
    const std::string head = Menu + ImagePrompt + freeLine(496) + DosPrompt;

    writeFile(s.dos, patternBytes(8959));
    RunResult run = runProgram("dskputdos", {}, "1\n" + s.image + "\n" + s.dos + "\n\n");
    EXPECT_EQ(run.output, head + "\nDOS size is 0x22ff.\n\nExpecting DOS to be 35 sectors in size.\n\n" + PauseText);
    EXPECT_EQ(readFile(s.image), loaded);

    // A directory or a FIFO is refused before it is opened (a FIFO would hold the open).
    struct stat folder{};
    ASSERT_EQ(stat(s.dir.path().c_str(), &folder), 0);
    char size[32];
    std::snprintf(size, sizeof size, "0x%04x", static_cast<unsigned>(folder.st_size));
    run = runProgram("dskputdos", {}, "1\n" + s.image + "\n" + s.dir.path() + "\n\n");
    EXPECT_EQ(run.output, head + "\nDOS size is " + size + ".\n\nError, DOS file '" + s.dir.path() +
                              "' is not a regular file.\n\n" + PauseText);
    const std::string fifo = s.dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    run = runProgram("dskputdos", {}, "1\n" + s.image + "\n" + fifo + "\n\n", {.timeoutSeconds = 5});
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.output,
              head + "\nDOS size is 0x0000.\n\nError, DOS file '" + fifo + "' is not a regular file.\n\n" + PauseText);
    // 4 GiB + 8960 bytes (sparse) is shown whole, and is no DOS file.
    ASSERT_EQ(truncate(s.dos.c_str(), (off_t{1} << 32) + 8960), 0);
    run = runProgram("dskputdos", {}, "1\n" + s.image + "\n" + s.dos + "\n\n");
    EXPECT_EQ(run.output, head + "\nDOS size is 0x100002300.\n\nExpecting DOS to be 35 sectors in size.\n\n" + PauseText);
    EXPECT_EQ(readFile(s.image), loaded);
    unlink(s.dos.c_str());

    const std::string missing = s.dir.file("missing.bin");
    run = runProgram("dskputdos", {}, "1\n" + s.image + "\n" + missing + "\n\n\n");
    EXPECT_EQ(run.output, head + "\nError from stat() for DOS file '" + missing + "'.\n\n" + PauseText + DosPrompt);
    EXPECT_EQ(readFile(s.image), loaded);
}

TEST(DskputdosEndings, UnreadableDosFileAndUnwritableImage)
{
    Files s;
    const Bytes loaded = usedImage({35, 16});
    writeFile(s.image, loaded);
    writeFile(s.dos, patternBytes(8960));
    const std::string head = Menu + ImagePrompt + freeLine(496) + DosPrompt + "\nDOS size is 0x2300.\n";

    // Run as nobody: a DOS file no one may read cannot be opened.
    chmod(s.image.c_str(), 0666);
    chmod(s.dos.c_str(), 0000);
    RunResult run = runProgram("dskputdos", {}, "1\n" + s.image + "\n" + s.dos + "\n\n", {.asNobody = true});
    EXPECT_EQ(run.output, head + "\nError from open() to read DOS file '" + s.dos + "'.\n\n" + PauseText);
    EXPECT_EQ(readFile(s.image), loaded);

    // An image nobody may read but not write is refused at its load, before the DOS file is asked for.
    chmod(s.dos.c_str(), 0644);
    chmod(s.image.c_str(), 0444);
    run = runProgram("dskputdos", {}, "1\n" + s.image + "\n" + s.dos + "\n\n", {.asNobody = true});
    EXPECT_EQ(run.output,
              Menu + ImagePrompt + "\nError from open() to write diskette file '" + s.image + "'.\n\n" + PauseText);
    EXPECT_EQ(readFile(s.image), loaded);
}

// The argument form: VERSION IMAGE DOSFILE as the answers, no menu, no prompt, no pause.

const std::string Usage = "usage: dskputdos [VERSION IMAGE DOSFILE]\n";

TEST(DskputdosArguments, TheVersionsByNameOrNumberDoTheWholeJob)
{
    const Bytes dos = patternBytes(8960, 7);
    const Geometry g{35, 32};
    // "3.3" read as the menu reads it would be 3: the names must become the menu's numbers.
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"3.3"}, 1}, {{"4.0"}, 2}, {{"4.1"}, 3}, {{"--", "2"}, 2}};
    for (const auto& [head, version] : cases) {
        SCOPED_TRACE(head.back());
        Files s;
        const Bytes loaded = usedImage(g);
        writeFile(s.image, loaded);
        writeFile(s.dos, dos);
        std::vector<std::string> args = head;
        args.insert(args.end(), {s.image, s.dos});
        const RunResult run = runProgram("dskputdos", args, "");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.errors, "");
        EXPECT_EQ(run.output, freeLine(31 * 32) + "\nDOS size is 0x2300.\n");
        EXPECT_TRUE(readFile(s.image) == expectedAfter(loaded, g, version, dos)) << "placement differs";
    }

    // The note on a DOS put in sectors the bitmap calls free is no failure.
    Files s;
    writeFile(s.image, onesImage());
    writeFile(s.dos, dos);
    const RunResult run = runProgram("dskputdos", {"1", s.image, s.dos}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
    EXPECT_NE(run.output.find("\nNote: 35 of the DOS sectors are marked free"), std::string::npos) << run.output;
}

TEST(DskputdosArguments, EveryFailureEndsTheRunAtOnceWithStatusOne)
{
    Files s;
    const Bytes loaded = usedImage({35, 16});
    writeFile(s.image, loaded);
    writeFile(s.dos, patternBytes(8959));
    const std::string missing = s.dir.file("missing.bin");
    struct Case {
        std::vector<std::string> args;
        std::string output;
        std::string errors;
    } cases[] = {
        // The menu's other answers are no version here.
        {{" 2", s.image, s.dos}, "", "\nError, DOS version ' 2' is not 1, 2, 3, 3.3, 4.0 or 4.1.\n\n"},
        {{"3.4", s.image, s.dos}, "", "\nError, DOS version '3.4' is not 1, 2, 3, 3.3, 4.0 or 4.1.\n\n"},
        // The dialogue would ask again: no second answer is taken.
        {{"1", s.image, missing}, freeLine(496), "\nError from stat() for DOS file '" + missing + "'.\n\n"},
        {{"1", s.image, s.dos}, freeLine(496) + "\nDOS size is 0x22ff.\n", "\nExpecting DOS to be 35 sectors in size.\n\n"},
    };
    for (const Case& c : cases) {
        const RunResult run = runProgram("dskputdos", c.args, "1\n" + s.image + "\n" + s.dos + "\n\n");
        EXPECT_EQ(run.status, 1) << c.args[0];
        EXPECT_EQ(run.output, c.output) << c.args[0];
        EXPECT_EQ(run.errors, c.errors) << c.args[0];
        EXPECT_EQ(readFile(s.image), loaded) << c.args[0];
    }
}

TEST(DskputdosArguments, UsageErrorsAndOptions)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"1", "disk.dsk"}, {"1", "disk.dsk", "dos.bin", "more"}, {"1", "", "dos.bin"}, {"-1", "disk.dsk", "dos.bin"}}) {
        const RunResult run = runProgram("dskputdos", args, "1\n\n");
        EXPECT_EQ(run.status, 2) << args.size();
        EXPECT_EQ(run.output, "") << args.size();
        EXPECT_NE(run.errors.find("\n" + Usage), std::string::npos) << args.size();
    }

    RunResult run = runProgram("dskputdos", {"--help"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.rfind(Usage, 0), 0u) << run.output;
    EXPECT_NE(run.output.find("  VERSION  1 or 3.3 (DOS 3.3)"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("man dskputdos"), std::string::npos) << run.output;

    run = runProgram("dskputdos", {"--version"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, std::string("dskputdos ") + SUITE_VERSION + "\n");
}

// A DOS laid over what the catalog holds is refused before anything is written.

const std::string FileName = "ON TRACK ONE";

// A blank image with one binary file in the first catalog entry: its T/S
// list and its one data sector where given (a track 0 stored as 0x40), each
// holding a pattern.
Bytes imageWithFile(int listTrack, int listSector, int dataTrack, int dataSector)
{
    Bytes image = blankImage(35, 16);
    const size_t entry = fileOffset(16, 17, 15) + 11;
    image[entry] = static_cast<uint8_t>(listTrack == 0 ? 0x40 : listTrack);
    image[entry + 1] = static_cast<uint8_t>(listSector);
    image[entry + 2] = 0x04;
    for (size_t i = 0; i < 30; ++i)
        image[entry + 3 + i] = static_cast<uint8_t>((i < FileName.size() ? FileName[i] : ' ') | 0x80);
    image[entry + 33] = 2;
    const Bytes data = patternBytes(256, 5);
    std::copy(data.begin(), data.end(), image.begin() + static_cast<long>(fileOffset(16, dataTrack, dataSector)));
    const size_t list = fileOffset(16, listTrack, listSector);
    std::fill(image.begin() + static_cast<long>(list), image.begin() + static_cast<long>(list) + 256, 0);
    image[list + 0x0C] = static_cast<uint8_t>(dataTrack == 0 ? 0x40 : dataTrack);
    image[list + 0x0D] = static_cast<uint8_t>(dataSector);
    return image;
}

TEST(DskputdosRefusals, NothingIsWrittenOverAFileOrTheCatalog)
{
    Bytes catalogOnTrack2 = blankImage(35, 16);
    catalogOnTrack2[fileOffset(16, 17, 1) + 1] = 2; // the chain's last sector links to track 2 sector 4
    catalogOnTrack2[fileOffset(16, 17, 1) + 2] = 4;
    struct Case {
        std::string what;
        Bytes image;
        std::string version;
        std::string refusal; // "" when the DOS is placed, over no sector of the file
    } cases[] = {
        {"list on track 1", imageWithFile(1, 3, 20, 5), "3.3", "file 'ON TRACK ONE' on track 1 sector 3"},
        {"the first sector in order", imageWithFile(1, 3, 0, 14), "1", "file 'ON TRACK ONE' on track 0 sector 14"},
        {"a placed sector of track 2", imageWithFile(20, 4, 2, 2), "4.0", "file 'ON TRACK ONE' on track 2 sector 2"},
        {"DOS 4.1 leaves track 2", imageWithFile(20, 4, 2, 2), "4.1", ""},
        {"DOS 3.3 leaves track 2 from sector 5", imageWithFile(20, 4, 2, 5), "3.3", ""},
        {"the catalog", catalogOnTrack2, "3.3", "the catalog sector on track 2 sector 4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Files s;
        writeFile(s.image, c.image);
        writeFile(s.dos, patternBytes(8960));
        const RunResult run = runProgram("dskputdos", {c.version, s.image, s.dos}, "");
        EXPECT_EQ(run.status, c.refusal.empty() ? 0 : 1);
        EXPECT_EQ(run.errors, c.refusal.empty() ? "" : "\nError, the DOS would overwrite " + c.refusal +
                                                           " of diskette file '" + s.image + "'; nothing written.\n\n");
        EXPECT_EQ(readFile(s.image) == c.image, !c.refusal.empty());
    }

    // The dialogue tells it, pauses and ends.
    Files s;
    writeFile(s.image, imageWithFile(1, 3, 20, 5));
    const RunResult run = runProgram("dskputdos", {}, "1\n" + s.image + "\n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, Menu + ImagePrompt + "\nError, the DOS would overwrite file 'ON TRACK ONE' on track 1 sector 3 "
                                               "of diskette file '" + s.image + "'; nothing written.\n\n" + PauseText);
    EXPECT_EQ(readFile(s.image), imageWithFile(1, 3, 20, 5));
}

// dskgetdos: the DOS file got back from the places dskputdos puts it.

TEST(Dskgetdos, GetsBackWhatDskputdosPutsForEveryVersion)
{
    const std::string names[] = {"3.3", "4.0", "4.1"};
    const std::string arguments[] = {"1", "4.0", "3"};
    for (const Geometry& g : {Geometry{35, 16}, Geometry{48, 32}}) {
        for (int version = 1; version <= 3; ++version) {
            SCOPED_TRACE(std::to_string(g.sectors) + " sectors, version " + std::to_string(version));
            Files s;
            const Bytes source = usedImage(g);
            writeFile(s.image, source);
            const RunResult got = runProgram("dskgetdos", {arguments[version - 1], s.image, s.dos}, "");
            EXPECT_EQ(got.status, 0);
            EXPECT_EQ(got.output + got.errors, "dskgetdos: wrote the DOS " + names[version - 1] + " of '" + s.image +
                                                   "', 8960 bytes, to '" + s.dos + "'\n");
            // Put back on a blank image, it fills every place as the source has it.
            const std::string target = s.dir.file("target.dsk");
            writeFile(target, blankImage(g.tracks, g.sectors));
            ASSERT_EQ(runProgram("dskputdos", {arguments[version - 1], target, s.dos}, "").status, 0);
            const Bytes put = readFile(target);
            for (const auto& run : Places[version - 1]) {
                const auto from = static_cast<long>(fileOffset(g.sectors, run.track, run.firstSector));
                EXPECT_TRUE(std::equal(put.begin() + from, put.begin() + from + 256 * (run.lastBlock - run.firstBlock + 1),
                                       source.begin() + from))
                    << "track " << run.track << " from sector " << run.firstSector;
            }
        }
    }
}

TEST(Dskgetdos, WhatItRefusesToWrite)
{
    Files s;
    writeFile(s.image, usedImage({35, 16}));
    writeText(s.dos, "kept");
    const std::string link = s.dir.file("link.dsk"); // the image under another name
    ASSERT_EQ(symlink(s.image.c_str(), link.c_str()), 0);
    const std::string blank = s.dir.file("blank.dsk"); // nothing where the layout reads
    writeFile(blank, blankImage(35, 16));
    const std::string none = s.dir.file("none.bin");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"3.3", s.image, s.dos}, "DOS file '" + s.dos + "' exists; give -f to replace it"},
        {{"-f", "3.3", s.image, link}, "DOS file '" + link + "' is the diskette file '" + s.image + "'"},
        {{"4.1", blank, none},
         "the sectors where DOS 4.1 keeps its blocks hold only zeros on diskette file '" + blank + "': it holds no DOS"},
    };
    for (const auto& [args, refusal] : cases) {
        const RunResult run = runProgram("dskgetdos", args, "");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.errors, "\nError, " + refusal + "; nothing written.\n\n");
    }
    EXPECT_EQ(readText(s.dos), "kept");
    EXPECT_EQ(readFile(s.image), usedImage({35, 16}));
    EXPECT_NE(access(none.c_str(), F_OK), 0);
    EXPECT_EQ(runProgram("dskgetdos", {"-f", "3.3", s.image, s.dos}, "").status, 0);
    EXPECT_EQ(readFile(s.dos).size(), 8960u);
}

} // namespace
