// dskextract: texts recorded by dskrecord got back as the encoder normalised
// them, binary files recorded by dskputbin got back as their header says,
// names matched as the catalog stores them, and every refusal leaving
// standard output empty and OUT as it was.
#include "dskrecord_test_helpers.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dskrecord_test;

namespace {

struct HostFile {
    std::string name;
    std::string text;      // as written on the host
    std::string extracted; // as the encoder normalised it
};

const std::string BigText = hostTextOfEncodedSize(123 * 256 + 40, 3).text; // two T/S lists
const HostFile Files[] = {
    {"blanks.s", "LDA  #$01    ; load  it\n  X   \n\n:LABEL\nDB \"A  B\" 'C  D'\nEND",
     "LDA #$01 ; load  it\n X\n;\n;LABEL\nDB \"A  B\" 'C  D'\nEND\n"},
    {"big.s", BigText, BigText},
    {"long.s", std::string(300, 'L') + "\n", std::string(255, 'L') + "\n" + std::string(45, 'L') + "\n"},
    {"empty.s", "", ""},
};

// A 35-track, 16-sector image holding Files in catalog order, recorded by dskrecord.
std::string recordFiles(const TempDir& dir)
{
    const std::string image = dir.file("d.dsk");
    writeFile(image, blankImage(35, 16));
    std::string answers = image + "\n" + dir.path() + "\n";
    for (const HostFile& file : Files) {
        writeText(dir.file(file.name), file.text);
        answers += file.name + "\n";
    }
    EXPECT_EQ(runProgram("dskrecord", {}, answers + "\n\n").status, 0);
    return image;
}

} // namespace

TEST(Dskextract, RoundTripAfterDskrecord)
{
    TempDir dir;
    const std::string image = recordFiles(dir);
    const std::string out = dir.file("out");
    for (const HostFile& file : Files) {
        RunResult run = runProgram("dskextract", {image, file.name, out}, "");
        EXPECT_EQ(run.status, 0) << file.name;
        EXPECT_EQ(run.output + run.errors, "") << file.name;
        EXPECT_EQ(readText(out), file.extracted) << file.name;
    }
    EXPECT_EQ(runProgram("dskextract", {image, "BLANKS.S"}, "").output, Files[0].extracted);

    // A locked text file counts; a 30-character name without a stamp is matched whole.
    Bytes disk = readFile(image);
    const size_t entry = catalogEntries(disk, 16)[0];
    disk[entry + 2] = 0x80;
    for (size_t i = 0; i < 30; ++i)
        disk[entry + 3 + i] = static_cast<uint8_t>("ABCDEFGHIJKLMNOPQRSTUVWXYZ.012"[i] | 0x80);
    writeFile(image, disk);
    EXPECT_EQ(runProgram("dskextract", {image, "abcdefghijklmnopqrstuvwxyz.012"}, "").output, Files[0].extracted);
    EXPECT_EQ(runProgram("dskextract", {image, "abcdefghijklmnopqrstuvwx"}, "").status, 1);

    // A new OUT gets 0666 less the umask, an existing one keeps its mode; no temporary file stays.
    const mode_t saved = umask(027);
    EXPECT_EQ(runProgram("dskextract", {image, "big.s", dir.file("new")}, "").status, 0);
    umask(saved);
    chmod(out.c_str(), 0604);
    EXPECT_EQ(runProgram("dskextract", {image, "big.s", out}, "").status, 0);
    struct stat made{};
    struct stat kept{};
    ASSERT_EQ(stat(dir.file("new").c_str(), &made) | stat(out.c_str(), &kept), 0);
    EXPECT_EQ(made.st_mode & 0777, 0640u);
    EXPECT_EQ(kept.st_mode & 0777, 0604u);
    EXPECT_EQ(readText(out), BigText);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3 + std::ssize(Files));

    // A link stays a link, its target (there or not yet) gets the text, cut to its length.
    writeText(dir.file("target"), std::string(4000, 'x'));
    std::filesystem::create_symlink("target", dir.file("linked"));
    std::filesystem::create_symlink("later", dir.file("dangling"));
    for (const char* link : {"linked", "dangling"}) {
        EXPECT_EQ(runProgram("dskextract", {image, "long.s", dir.file(link)}, "").status, 0) << link;
        EXPECT_TRUE(std::filesystem::is_symlink(dir.file(link))) << link;
        EXPECT_EQ(readText(dir.file(link)), Files[2].extracted) << link;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 7 + std::ssize(Files));
}

TEST(Dskextract, RefusalsWriteNothing)
{
    TempDir dir;
    const std::string image = recordFiles(dir);
    const Bytes recorded = readFile(image);
    const size_t small = catalogEntries(recorded, 16)[0]; // list 34/15, data 34/14
    const size_t big = catalogEntries(recorded, 16)[1];   // lists 34/13 and further on
    const size_t smallList = fileOffset(16, 34, 15);
    const size_t bigList = fileOffset(16, 34, 13);
    ASSERT_EQ(link(image.c_str(), dir.file("same.dsk").c_str()), 0);
    const std::string notHere = "' in the catalog of diskette file '" + image + "'.\n\n";
    const std::string onImage = " on diskette file '" + image + "'";
    struct Refusal {
        std::string name;
        std::function<void(Bytes&)> damage;
        std::string message;
        std::string out = "out";
        std::string option = "--";
    };
    const Refusal refusals[] = {
        {"none.s", [](Bytes&) {}, "\nError, no file named 'none.s" + notHere},
        {"blanks.s", [&](Bytes& d) { d[small] = 0xFF; }, "\nError, no file named 'blanks.s" + notHere},
        {"blanks.s", [&](Bytes& d) { d[small + 2] = 0x08; },
         "\nError, file 'blanks.s' is of type S, not a text or binary file; nothing written.\n\n"},
        {"blanks.s", [](Bytes&) {},
         "\nError, file 'blanks.s' is a text file, which has no load address and length; --header is for binary "
         "files; nothing written.\n\n",
         "out", "--header"},
        {"blanks.s", [&](Bytes& d) { d[small + 2] = 0x04, d[smallList + 0x0C] = d[smallList + 0x0D] = 0; },
         "\nError, binary file 'blanks.s' ends before its 4-byte load address and length; nothing written.\n\n"},
        {"blanks.s", [&](Bytes& d) { d[small] = 35; },
         "\nError, file 'blanks.s'" + onImage + " has a track/sector list at track 35 sector 15, outside this "
         "diskette; nothing written.\n\n"},
        {"blanks.s", [&](Bytes& d) { d[smallList + 0x0D] = 16; },
         "\nError, file 'blanks.s'" + onImage + " has a data sector at track 34 sector 16, outside this diskette; "
         "nothing written.\n\n"},
        {"big.s", [&](Bytes& d) { d[bigList + 1] = d[big], d[bigList + 2] = d[big + 1]; },
         "\nError, the track/sector lists of file 'big.s'" + onImage + " link back to track 34 sector 13, read "
         "already; nothing written.\n\n"},
        {"big.s", [](Bytes&) {},
         "\nError, output file '" + dir.file("same.dsk") + "' is the diskette file '" + image +
             "'; nothing written.\n\n",
         "same.dsk"},
    };
    const std::string out = dir.file("out");
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.message);
        Bytes disk = recorded;
        refusal.damage(disk);
        writeFile(image, disk);
        for (const bool existing : {false, true}) {
            if (existing)
                writeText(out, "keep");
            else
                std::filesystem::remove(out);
            RunResult run =
                runProgram("dskextract", {refusal.option, image, refusal.name, dir.file(refusal.out)}, "");
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.output, "");
            EXPECT_EQ(run.errors, refusal.message);
            EXPECT_EQ(std::filesystem::exists(out), existing);
            EXPECT_EQ(existing ? readText(out) : "", existing ? "keep" : "");
        }
        EXPECT_EQ(readFile(image), disk);
    }

    // An image another program holds.
    const int held = open(image.c_str(), O_RDONLY);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    RunResult inUse = runProgram("dskextract", {image, "blanks.s"}, "");
    close(held);
    EXPECT_EQ(inUse.status, 1);
    EXPECT_EQ(inUse.output, "");
    EXPECT_EQ(inUse.errors, "\nError, diskette file '" + image + "' is in use by another program.\n\n");
}

TEST(Dskextract, BinaryFilesAsTheirHeaderSays)
{
    TempDir dir;
    const std::string image = dir.file("d.dsk");
    const size_t list = fileOffset(16, 34, 15); // the first file's list; its data from 34/14 down
    const Bytes data = patternBytes(600, 5);
    Bytes game{0x00, 0x08, 0x58, 0x02}; // $0800, 600 bytes, as array2bin lays a file out
    game.insert(game.end(), data.begin(), data.end());
    const Bytes five = patternBytes(5, 6);
    Bytes longer{0x00, 0x10, 0xE8, 0x03}; // says 1000 bytes
    longer.insert(longer.end(), five.begin(), five.end());
    Bytes longerRead = five;
    longerRead.resize(252); // its one sector: the 5 bytes and zeros
    auto note = [](int says, int holds) {
        return "\nNote: the header of binary file 'game' gives a length of " + std::to_string(says) +
               " bytes, but its data sectors hold only " + std::to_string(holds) +
               " after the header; those are written.\n";
    };
    struct Case {
        std::string what;
        Bytes file; // recorded with dskputbin --header
        std::function<void(Bytes&, size_t entry)> change;
        Bytes read; // what dskextract writes after the header
        std::string note;
    };
    const Case cases[] = {
        {"round trip, locked", game, [](Bytes& d, size_t entry) { d[entry + 2] = 0x84; }, data, ""},
        {"a hole after the first sector ends it", game,
         [&](Bytes& d, size_t) { d[list + 0x0E] = 0, d[list + 0x0F] = 0; }, Bytes(data.begin(), data.begin() + 252),
         note(600, 252)},
        {"a header that says more than the sectors hold", longer, [](Bytes&, size_t) {}, longerRead, note(1000, 252)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(image, blankImage(35, 16));
        writeFile(dir.file("game"), c.file);
        ASSERT_EQ(runProgram("dskputbin", {"--header", image, dir.file("game")}, "").status, 0);
        Bytes disk = readFile(image);
        c.change(disk, catalogEntries(disk, 16)[0]);
        writeFile(image, disk);
        for (const bool header : {false, true}) {
            std::vector<std::string> args{image, "game", dir.file("out")};
            if (header)
                args.insert(args.begin(), "--header");
            RunResult run = runProgram("dskextract", args, "");
            EXPECT_EQ(run.status, 0);
            EXPECT_EQ(run.output, "");
            EXPECT_EQ(run.errors, c.note);
            Bytes expected = header ? Bytes(c.file.begin(), c.file.begin() + 4) : Bytes{};
            expected.insert(expected.end(), c.read.begin(), c.read.end());
            EXPECT_EQ(readFile(dir.file("out")), expected) << header;
        }
    }
}

TEST(Dskextract, Options)
{
    RunResult usage = runProgram("dskextract", {"d.dsk"}, "");
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.errors.find("\nusage: dskextract [--header] IMAGE NAME [OUT]\n"), std::string::npos)
        << usage.errors;
    RunResult help = runProgram("dskextract", {"--help"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("  OUT       the host file to write"), std::string::npos) << help.output;
    EXPECT_EQ(runProgram("dskextract", {"--version"}, "").output.rfind("dskextract ", 0), 0u);
}
