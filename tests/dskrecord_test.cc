#include "dskrecord.h"
#include "dskrecord_test_helpers.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace dskrecord_test;

namespace {

const std::string ImageQ = "\nEnter path of diskette image to process:  \n";
const std::string FolderQ = "\nEnter path of text files:  \n";
const std::string FileQ = "\nEnter text file to record:  \n";
const std::string PauseText = "\n\nPress <cr> to continue ...  \n\n";
const Bytes AbEncoded{0xC1, 0x8D, 0xC2, 0x8D, 0x00, 0x80, 0x8D};

std::string freeLine(int count)
{
    return "\nFree space on this diskette is " + std::to_string(count) + " sectors.\n\n";
}

std::string insufficient(const std::string& path)
{
    return "\nThere is insufficient disk space for file '" + path + "'.\n\n";
}

std::string tooLong(int limit)
{
    return "\nError, that answer is longer than " + std::to_string(limit) +
           " characters; please enter a shorter one.\n";
}

std::string report(const std::string& path, size_t hostSize, size_t encodedSize)
{
    return "Processing complete on file '" + path + "'; file size before/after is " + std::to_string(hostSize) +
           "/" + std::to_string(encodedSize) + ".\n\n";
}

// Trace lines for sectors taken in this order: a list before every 122 data sectors.
std::string traces(const std::vector<Place>& places)
{
    std::string out;
    char line[64];
    for (size_t i = 0; i < places.size(); ++i) {
        std::snprintf(line, sizeof line,
                      i % 123 == 0 ? "Obtained tsTrack = 0x%02x and tsSector = 0x%02x.\n\n"
                                   : "Obtained data track = 0x%02x and sector = 0x%02x.\n",
                      places[i].first, places[i].second);
        out += line;
    }
    return out;
}

std::string recorded(const std::string& path, size_t hostSize, const Bytes& encoded, const std::vector<Place>& places)
{
    return report(path, hostSize, encoded.size()) + traces(places) + "\nProcessing complete for file '" + path +
           "' with sector count of " + std::to_string(places.size()) + ".\n\n";
}

// Runs the dialogue and checks its whole console and that the image file did not change.
void expectUntouched(const std::string& image, const std::string& input, const std::string& console,
                     bool asNobody = false)
{
    const Bytes before = readFile(image);
    RunOptions options;
    options.asNobody = asNobody;
    const RunResult run = runProgram("dskrecord", {}, input, options);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, console);
    EXPECT_EQ(readFile(image), before);
}

// The time stamp of an entry as a local time, or -1 when a byte is not packed BCD.
std::time_t stampOf(const Bytes& image, size_t entry)
{
    for (size_t i = entry + 27; i < entry + 33; ++i)
        if ((image[i] >> 4) > 9 || (image[i] & 0x0F) > 9)
            return -1;
    std::tm local{};
    local.tm_sec = hex2dec(image[entry + 27]);
    local.tm_min = hex2dec(image[entry + 28]);
    local.tm_hour = hex2dec(image[entry + 29]);
    local.tm_year = hex2dec(image[entry + 30]) + 100;
    local.tm_mday = hex2dec(image[entry + 31]);
    local.tm_mon = hex2dec(image[entry + 32]) - 1;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

} // namespace

// The same job as a dialogue and with its answers as arguments: the same
// image, and in the argument form no prompt, no pause, nothing on stderr.
TEST(Dialogue, RecordsFilesIntoTheImageByteForByte)
{
    for (const bool asArguments : {false, true}) {
        SCOPED_TRACE(asArguments ? "arguments" : "dialogue");
        TempDir dir;
        const Bytes blank = blankImage(35, 32);
        writeFile(dir.file("d.dsk"), blank);
        writeText(dir.file("ab.txt"), "A\nB\n");
        const std::string prog = "  LDA  #$01    ; load  it\n";
        writeText(dir.file("prog.s"), prog);
        const Bytes progEncoded{0xA0, 0xCC, 0xC4, 0xC1, 0xA0, 0xA3, 0xA4, 0xB0, 0xB1, 0xA0, 0xBB, 0xA0,
                                0xEC, 0xEF, 0xE1, 0xE4, 0xA0, 0xA0, 0xE9, 0xF4, 0x8D, 0x00, 0x80, 0x8D};

        const std::time_t start = std::time(nullptr);
        const RunResult run =
            asArguments ? runProgram("dskrecord", {dir.file("d.dsk"), dir.path(), "ab.txt", "prog.s"}, "")
                        : runProgram("dskrecord", {}, dir.file("d.dsk") + "\n" + dir.path() + "\nab.txt\nprog.s\n\n\n");
        const std::time_t end = std::time(nullptr);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.errors, "");
        const std::string ab = recorded(dir.file("ab.txt"), 4, AbEncoded, {{34, 31}, {34, 30}});
        const std::string pr = recorded(dir.file("prog.s"), prog.size(), progEncoded, {{34, 29}, {34, 28}});
        const std::string dialogue = ImageQ + freeLine(992) + FolderQ + FileQ + ab + FileQ + pr + FileQ + PauseText;
        EXPECT_EQ(run.output, asArguments ? freeLine(992) + ab + pr : dialogue);

        const Bytes after = readFile(dir.file("d.dsk"));
        ASSERT_EQ(after.size(), blank.size());
        Bytes expected = blank;
        auto put = [&](int t, int s, size_t at, const Bytes& bytes) {
            std::ranges::copy(bytes, expected.begin() + static_cast<long>(fileOffset(32, t, s) + at));
        };
        put(17, 0, 0x30, {34});
        put(17, 0, 0x38 + 4 * 34 + 2, {0x0F}); // sectors 31 to 28 taken
        put(34, 31, 0x0C, {0x22, 0x1E});
        put(34, 30, 0, AbEncoded);
        put(34, 29, 0x0C, {0x22, 0x1C});
        put(34, 28, 0, progEncoded);
        const Bytes names[2] = {{0xC1, 0xC2, 0xAE, 0xD4, 0xD8, 0xD4}, {0xD0, 0xD2, 0xCF, 0xC7, 0xAE, 0xD3}};
        for (int i = 0; i < 2; ++i) {
            const size_t entry = fileOffset(32, 17, 31) + 11 + 35 * static_cast<size_t>(i);
            Bytes bytes{0x22, static_cast<uint8_t>(0x1F - 2 * i), 0x00};
            bytes.insert(bytes.end(), names[i].begin(), names[i].end());
            bytes.insert(bytes.end(), 18, 0xA0);
            const std::time_t stamp = stampOf(after, entry);
            EXPECT_GE(stamp, start);
            EXPECT_LE(stamp, end);
            bytes.insert(bytes.end(), after.begin() + static_cast<long>(entry) + 27,
                         after.begin() + static_cast<long>(entry) + 33);
            bytes.insert(bytes.end(), {2, 0});
            put(17, 31, 11 + 35 * static_cast<size_t>(i), bytes);
        }
        EXPECT_EQ(after, expected);
    }
}

// The argument form records all its files or none: a failure anywhere ends
// the run at once with status 1 and the image byte for byte as it was.
TEST(Arguments, AFailureEndsTheRunAndNothingIsWritten)
{
    TempDir dir;
    const std::string image = dir.file("d.dsk");
    Bytes blank = blankImage(35, 16);
    for (size_t i = 0; i < 5; ++i) // two free entries are left in the catalog's only sector
        blank[fileOffset(16, 17, 15) + 11 + 35 * i] = 0xFF;
    blank[vtocAt(16, 0x02)] = 15;
    blank[fileOffset(16, 17, 15) + 2] = 0;
    writeFile(image, blank);
    writeText(dir.file("a.s"), "A\n");
    writeText(dir.file("b.s"), "B\n");
    std::string lines;
    for (int i = 0; i < 1400; ++i)
        lines += "LINE" + std::to_string(i) + " LDA #$01 ; a comment\n";
    writeText(dir.file("big.s"), lines);
    // The second of the reads that take big.s fails: not a line of it is recorded.
    const std::vector<std::string> readFails{"-o", "/dev/null", "-P", dir.file("big.s"), "-e", "trace=read",
                                             "-e", "inject=read:error=EIO:when=2"};
    const struct {
        std::vector<std::string> files;
        std::string errors;
        std::vector<std::string> under = {};
    } cases[] = {
        {{"a.s", "missing.s", "a.s"}, "\nError from stat() for data file '" + dir.file("missing.s") + "'.\n\n"},
        {{"a.s", "b.s", "x.s", "y.s"}, "\nError, the catalog has no free entry for 'x.s'.\n\n"
                                       "\nError, the catalog has no free entry for 'y.s'.\n\n"},
        {{"a.s", "b.s", "A.S"}, "\nError, 'A.S' is given twice.\n\n"},
        {{"a.s", std::string(31, 'n')},
         "\nError, that answer is longer than 30 characters; please enter a shorter one.\n"},
        {{"a.s", "big.s"}, "\nError from read() for data file '" + dir.file("big.s") + "'.\n\n", readFails},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{image, dir.path()};
        args.insert(args.end(), c.files.begin(), c.files.end());
        const RunResult run =
            c.under.empty() ? runProgram("dskrecord", args, "") : runUnderStrace(c.under, "dskrecord", args, "");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.errors, c.errors);
        EXPECT_EQ(run.output.find("Enter"), std::string::npos);
        EXPECT_EQ(readFile(image), blank);
    }

    const RunResult usage = runProgram("dskrecord", {image, dir.path()}, "");
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.errors.find("\nusage: dskrecord [[--dos-names] [--replace] IMAGE DIR FILE...]\n"),
              std::string::npos)
        << usage.errors;
    const RunResult help = runProgram("dskrecord", {"--help"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("  FILE         a text file in DIR, recorded into the next free catalog entry\n"),
              std::string::npos);
    EXPECT_EQ(runProgram("dskrecord", {"--version"}, "").output, std::string("dskrecord ") + SUITE_VERSION + "\n");
    // After "--" a name that looks like an option is a file.
    writeText(dir.file("-x.s"), "X\n");
    EXPECT_EQ(runProgram("dskrecord", {"--", image, dir.path(), "-x.s"}, "").status, 0);
}


TEST(Dialogue, EndingsWithoutSaveLeaveTheImageUntouched)
{
    TempDir dir;
    const std::string image = dir.file("d.dsk");
    const std::string ab = dir.file("ab.txt");
    const std::string opening = image + "\n" + dir.path() + "\n";
    writeText(ab, "A\nB\n");

    writeFile(image, blankImage(35, 16));
    expectUntouched(image, image + "\n\n", ImageQ + freeLine(496) + FolderQ);
    expectUntouched(image, image + "\n", ImageQ + freeLine(496) + FolderQ); // end of input
    // Nothing recorded: nothing written, not even the start track, and the pause as after a save.
    expectUntouched(image, opening + "\n\n", ImageQ + freeLine(496) + FolderQ + FileQ + PauseText);
    // An image this user cannot write is refused at its load, before any further question.
    expectUntouched(image, opening + "\n\n",
                    ImageQ + "\nError from open() to write diskette file '" + image + "'.\n\n" + PauseText, true);
    chmod(image.c_str(), 0);
    expectUntouched(image, image + "\n\n",
                    ImageQ + "\nError from open() to read diskette file '" + image + "'.\n\n" + PauseText, true);
    chmod(image.c_str(), 0644);

    Bytes image16 = blankImage(35, 16); // only bits of sectors 16 to 31 free: counted, never handed out
    setFreeSectors(image16, 35, 16, 0);
    image16[vtocAt(16, 0x38 + 4 * 34 + 2)] = image16[vtocAt(16, 0x38 + 4 * 34 + 3)] = 0xFF;
    writeFile(image, image16);
    expectUntouched(image, opening + "ab.txt\n\n\n",
                    ImageQ + freeLine(16) + FolderQ + FileQ + report(ab, 4, 7) + insufficient(ab) + PauseText +
                        FileQ + PauseText);

    Bytes image32 = blankImage(35, 32);
    setFreeSectors(image32, 35, 32, 124); // one list and 122 data sectors, no room for the second list
    writeFile(image, image32);
    const HostText big = hostTextOfEncodedSize(122 * 256 + 1, 1);
    writeText(dir.file("big"), big.text);
    expectUntouched(image, opening + "big\n\n\n",
                    ImageQ + freeLine(124) + FolderQ + FileQ + report(dir.file("big"), big.text.size(), 31233) +
                        insufficient(dir.file("big")) + PauseText + FileQ + PauseText);

    writeFile(image, Bytes(143361));
    expectUntouched(image, image + "\n\n",
                    ImageQ + "\nError, the diskette size of '143361' is not recognized for file '" + image +
                        "'.\n\n" + PauseText);
}

// A file refused for its space or because it cannot be read is asked for
// again, and the files recorded before it in the run are saved.
TEST(Dialogue, RefusedFilesKeepTheFilesRecordedBefore)
{
    TempDir dir;
    const std::string image = dir.file("d.dsk");
    const std::string ab = dir.file("ab.txt");
    writeText(ab, "A\nB\n");
    writeText(dir.file("secret"), "X\n");
    chmod(dir.file("secret").c_str(), 0);
    ASSERT_EQ(symlink("/proc/self/mem", dir.file("mem").c_str()), 0); // opens, but its first read fails
    Bytes image32 = blankImage(35, 32);
    setFreeSectors(image32, 35, 32, 3); // room for one file of one data sector, not for two
    writeFile(image, image32);
    chmod(image.c_str(), 0666);

    RunOptions asNobody;
    asNobody.asNobody = true;
    const RunResult run = runProgram(
        "dskrecord", {}, image + "\n" + dir.path() + "\nab.txt\nab.txt\n\nsecret\n\nmem\n\n\n\n", asNobody);
    EXPECT_EQ(run.output, ImageQ + freeLine(3) + FolderQ + FileQ +
                              recorded(ab, 4, AbEncoded, {{34, 31}, {34, 30}}) + FileQ + report(ab, 4, 7) +
                              insufficient(ab) + PauseText + FileQ + "\nError from open() for data file '" +
                              dir.file("secret") + "'.\n\n" + PauseText + FileQ +
                              "\nError from read() for data file '" + dir.file("mem") + "'.\n\n" + PauseText + FileQ +
                              PauseText);
    const Bytes after = readFile(image);
    const size_t entry = fileOffset(32, 17, 31) + 11;
    EXPECT_TRUE(holdsExactly(readBack(after, 32, entry), AbEncoded));
    EXPECT_EQ(after[entry + 35], 0);
}

TEST(Dialogue, RefusedAnswersAreAskedAgain)
{
    TempDir dir;
    const std::string image = dir.file("d.dsk");
    Bytes blank = blankImage(35, 16);
    setFreeSectors(blank, 35, 16, 4);
    writeFile(image, blank);
    const std::string folder = dir.file(std::string(95, 'f'));
    ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
    ASSERT_EQ(mkdir((folder + "/sub").c_str(), 0777), 0);
    ASSERT_LE(folder.size(), 120u); // room for the names below
    const std::string longName(128 - folder.size() - 1, 'n'); // the composed path has 128 characters
    const HostText full = hostTextOfEncodedSize(4 * 256, 2);  // exactly the free space: refused
    writeText(folder + "/full", full.text);
    std::string huge;
    for (int i = 0; i < 200000; ++i)
        huge += "A\n"; // 400003 bytes encoded: more than the encoder holds
    writeText(folder + "/huge", huge);
    writeText(folder + "/a", "A\nB\n");
    const std::string missingImage = dir.file("missing.dsk");

    const std::string input = std::string(128, 'x') + "\n" + missingImage + "\n\n" + image + "\n" +
                              std::string(128, 'y') + "\n" + dir.file("nothere") + "\n\n" + image + "\n\n" + folder +
                              "\n" + std::string(31, 'z') + "\n" + longName + "\nmissing\n\nsub\n\nfull\n\nhuge\n\na\n\n\n";
    const std::string notFolder = "\nError, path '%s' is not a directory.\n\n";
    auto withPath = [](std::string text, const std::string& path) { return text.replace(text.find("%s"), 2, path); };
    const RunResult run = runProgram("dskrecord", {}, input);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              ImageQ + tooLong(127) + ImageQ + "\nError from stat() for diskette file '" + missingImage + "'.\n\n" +
                  PauseText + ImageQ + freeLine(4) + FolderQ + tooLong(127) + FolderQ +
                  withPath(notFolder, dir.file("nothere")) + PauseText + FolderQ + withPath(notFolder, image) +
                  PauseText + FolderQ + FileQ + tooLong(30) + FileQ + "\nError, the data file path '" + folder + "/" +
                  longName + "' is longer than 127 characters; please enter a shorter name.\n" + FileQ +
                  "\nError from stat() for data file '" + folder + "/missing'.\n\n" + PauseText + FileQ +
                  "\nError, data file '" + folder + "/sub' is not a regular file.\n\n" + PauseText + FileQ +
                  report(folder + "/full", full.text.size(), 1024) + "\nThere is insufficient disk space for file '" +
                  folder + "/full'.\n\n" + PauseText + FileQ + "\nThere is insufficient disk space for file '" +
                  folder + "/huge'.\n\n" + PauseText + FileQ +
                  recorded(folder + "/a", 4, AbEncoded, {{34, 15}, {34, 14}}) + FileQ + PauseText);

    const Bytes after = readFile(image);
    const size_t entry = fileOffset(16, 17, 15) + 11; // the first entry, asked for again each time
    EXPECT_EQ(after[entry + 3], 0xC1);
    EXPECT_EQ(after[entry + 4], 0xA0);
    EXPECT_TRUE(holdsExactly(readBack(after, 16, entry), AbEncoded));
    EXPECT_EQ(after[entry + 35], 0);
}

// How the catalog walk ends: the chain's own end, or a link it must not follow.
TEST(Dialogue, CatalogChainEndsSafely)
{
    TempDir dir;
    const std::string image = dir.file("d.dsk");
    auto catalogByte = [](Bytes& bytes, int s, size_t at) -> uint8_t& { return bytes[fileOffset(16, 17, s) + at]; };
    auto takeAllEntries = [&](Bytes& bytes, int s) {
        for (size_t i = 0; i < 7; ++i)
            catalogByte(bytes, s, 11 + 35 * i) = i % 2 ? 0xFF : 0x12;
    };
    // The taken entries name an empty list on track 18 sector 0, which the bitmap marks free.
    const std::string FakeListNote =
        "\nNote: 1 sectors in use by files or the catalog were marked free in the bitmap; they are marked used now.\n";
    const struct {
        int nextTrack, nextSector, backTo; // link out of 17/15; backTo: 17/14 links back to 17/15
        std::string message;
    } cases[] = {
        {40, 3, 0, "\nError, the catalog links to track 40 sector 3, outside this diskette; the catalog ends there.\n\n"},
        {17, 16, 0, "\nError, the catalog links to track 17 sector 16, outside this diskette; the catalog ends there.\n\n"},
        {17, 14, 15, "\nError, the catalog links back to track 17 sector 15, read already; the catalog ends there.\n\n"},
        {17, 0, 0, ""},  // only the sector ends the chain
        {-1, 0, 0, ""},  // the VTOC's own link ends it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Bytes blank = blankImage(35, 16);
        takeAllEntries(blank, 15);
        takeAllEntries(blank, 14);
        if (c.nextTrack < 0) {
            blank[vtocAt(16, 0x02)] = 0;
        } else {
            catalogByte(blank, 15, 1) = static_cast<uint8_t>(c.nextTrack);
            catalogByte(blank, 15, 2) = static_cast<uint8_t>(c.nextSector);
            catalogByte(blank, 14, 2) = static_cast<uint8_t>(c.backTo ? c.backTo : 13);
        }
        writeFile(image, blank);
        const RunResult run = runProgram("dskrecord", {}, image + "\n" + dir.path() + "\n\n");
        const std::string note = c.nextTrack < 0 ? "" : FakeListNote; // no catalog: no entries
        EXPECT_EQ(run.output, ImageQ + freeLine(496) + note + FolderQ + c.message + PauseText);
        EXPECT_EQ(readFile(image), blank); // nothing recorded, nothing written
    }

    // Taken and deleted entries are passed over; the one free entry is offered.
    Bytes blank = blankImage(35, 16);
    takeAllEntries(blank, 15);
    catalogByte(blank, 15, 11 + 35 * 6) = 0;
    catalogByte(blank, 15, 2) = 0;
    writeFile(image, blank);
    writeText(dir.file("ab.txt"), "A\nB\n");
    const RunResult run = runProgram("dskrecord", {}, image + "\n" + dir.path() + "\nab.txt\n\n");
    EXPECT_EQ(run.output, ImageQ + freeLine(496) + FakeListNote + FolderQ + FileQ +
                              recorded(dir.file("ab.txt"), 4, AbEncoded, {{34, 15}, {34, 14}}) + PauseText);
    EXPECT_TRUE(holdsExactly(readBack(readFile(image), 16, fileOffset(16, 17, 15) + 11 + 35 * 6), AbEncoded));
}

// --dos-names writes names whole, without a stamp: two names alike in their
// first 24 characters are two files, listed and found by the other tools.
// --replace records a FILE into the first entry of its name, which keeps its
// place; the old file's sectors are freed unless another file uses them too.
// Every refusal leaves the image as it was (a locked file or one of another
// type, refused by the common replaceable(), is dskputbin's test's).
TEST(Arguments, DosNamesAndReplacing)
{
    TempDir dir;
    const std::string image = dir.file("d.dsk");
    const std::string long1 = "abcdefghijklmnopqrstuvwxyz.1";
    const std::string long2 = "abcdefghijklmnopqrstuvwxyz.2";
    writeFile(image, blankImage(35, 16));
    writeText(dir.file("a.s"), "A\nB\n");
    writeText(dir.file(long1), "ONE\n");
    writeText(dir.file(long2), "TWO\n");
    writeText(dir.file("new.s"), "N\n");
    // Two A.S side by side (the dialogue allows it: 34/15-14 and 34/13-12), then 34/11-10 and 34/9-8.
    ASSERT_EQ(runProgram("dskrecord", {}, image + "\n" + dir.path() + "\na.s\na.s\n\n\n").status, 0);
    ASSERT_EQ(runProgram("dskrecord", {"--dos-names", image, dir.path(), long1, long2}, "").status, 0);
    EXPECT_NE(runProgram("dskcatalog", {image}, "").output.find(" T 002 ABCDEFGHIJKLMNOPQRSTUVWXYZ.1\n"
                                                                " T 002 ABCDEFGHIJKLMNOPQRSTUVWXYZ.2\n"),
              std::string::npos);
    EXPECT_EQ(runProgram("dskextract", {image, long2}, "").output, "TWO\n");
    const Bytes recorded = readFile(image);
    const std::vector<size_t> entries = catalogEntries(recorded, 16);

    const struct {
        std::vector<std::string> args;
        std::function<void(Bytes&)> change;
        std::string errors;
    } refusals[] = {
        {{"a.s"}, [](Bytes&) {},
         "\nError, 'a.s' is already on diskette file '" + image + "'; give --replace to replace it.\n\n"},
        {{"--replace", "new.s", "NEW.S"}, [](Bytes&) {}, "\nError, 'NEW.S' is given twice.\n\n"},
        {{"--replace", long1, long2}, [](Bytes&) {}, "\nError, '" + long2 + "' is given twice.\n\n"},
        // Replacing frees two sectors, but only after the recording: none is free for it.
        {{"--replace", "a.s"}, [](Bytes& d) { setFreeSectors(d, 35, 16, 0); },
         "\nThere is insufficient disk space for file '" + dir.file("a.s") + "'.\n\n"},
        {{"--replace", "x.s", "a.s", "y.s"},
         [&](Bytes& d) {
             for (size_t e : entries)
                 d[e] = d[e] == 0 ? 0xFF : d[e];
         },
         "\nError, the catalog has no free entry for 'x.s'.\n\n\nError, the catalog has no free entry for 'y.s'.\n\n"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.errors);
        Bytes disk = recorded;
        r.change(disk);
        writeFile(image, disk);
        std::vector<std::string> args = r.args;
        args.insert(args.begin() + (args[0] == "--replace" ? 1 : 0), {image, dir.path()});
        const RunResult run = runProgram("dskrecord", args, "");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.errors, r.errors);
        EXPECT_EQ(readFile(image), disk);
    }

    // The first A.S is replaced; its data sector, which LONG.1 is made to share, stays used.
    Bytes shared = recorded;
    shared[fileOffset(16, 34, 11) + 0x0D] = 14;
    writeFile(image, shared);
    writeText(dir.file("a.s"), "NEW\n");
    const RunResult run = runProgram("dskrecord", {"--replace", "--dos-names", image, dir.path(), "new.s", "a.s"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
    const Bytes after = readFile(image);
    Bytes replaced{0x22, 5, 0, 0xC1, 0xAE, 0xD3};
    replaced.insert(replaced.end(), 27, 0xA0);
    replaced.insert(replaced.end(), {2, 0});
    EXPECT_EQ(Bytes(after.begin() + static_cast<long>(entries[0]), after.begin() + static_cast<long>(entries[0]) + 35),
              replaced);
    EXPECT_TRUE(std::equal(after.begin() + static_cast<long>(entries[1]), after.begin() + static_cast<long>(entries[4]),
                           shared.begin() + static_cast<long>(entries[1])));
    EXPECT_EQ(after[entries[4]], 34); // NEW.S, in the first free entry
    EXPECT_EQ(after[vtocAt(16, 0x38 + 4 * 34)], 0x80); // 34/15 freed, 34/14 shared
    EXPECT_EQ(after[vtocAt(16, 0x38 + 4 * 34 + 1)], 0x0F); // 34/7-4 taken
    EXPECT_EQ(runProgram("dskextract", {image, "a.s"}, "").output, "NEW\n");
}

// A bitmap that calls free what a file and a catalog sector use: the
// recording passes over them and marks them used. A file whose T/S list
// loops makes the diskette one that nothing is recorded into.
TEST(Arguments, SectorsInUseAreKeptWhateverTheBitmapSays)
{
    TempDir dir;
    const std::string image = dir.file("d.dsk");
    writeFile(image, blankImage(35, 16));
    writeText(dir.file("ab.txt"), "A\nB\n");
    const HostText big = hostTextOfEncodedSize(3 * 256, 1);
    writeText(dir.file("new.s"), big.text);
    ASSERT_EQ(runProgram("dskrecord", {image, dir.path(), "ab.txt"}, "").status, 0); // 34/15 and 34/14
    Bytes lying = readFile(image);
    std::copy_n(lying.begin() + static_cast<long>(fileOffset(16, 17, 14)), 256,
                lying.begin() + static_cast<long>(fileOffset(16, 34, 13))); // the second catalog sector moved
    lying[fileOffset(16, 17, 15) + 1] = 34;
    lying[fileOffset(16, 17, 15) + 2] = 13;
    lying[vtocAt(16, 0x38 + 4 * 34)] = 0xFF; // 34/15 to 34/8 free
    writeFile(image, lying);

    const RunResult run = runProgram("dskrecord", {image, dir.path(), "new.s"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "\nNote: 3 sectors in use by files or the catalog were marked free in the bitmap; they "
                          "are marked used now.\n");
    const Bytes after = readFile(image);
    const std::vector<size_t> entries = catalogEntries(after, 16);
    EXPECT_TRUE(holdsExactly(readBack(after, 16, entries[0]), AbEncoded));
    EXPECT_TRUE(holdsExactly(readBack(after, 16, entries[1]), big.encoded));
    EXPECT_TRUE(std::equal(lying.begin() + static_cast<long>(fileOffset(16, 34, 13)),
                           lying.begin() + static_cast<long>(fileOffset(16, 34, 14)),
                           after.begin() + static_cast<long>(fileOffset(16, 34, 13))));
    EXPECT_EQ(after[vtocAt(16, 0x38 + 4 * 34)], 0x01); // 34/12-9 taken by NEW.S

    Bytes looping = after;
    looping[fileOffset(16, 34, 15) + 1] = 34; // AB.TXT's list links to itself
    looping[fileOffset(16, 34, 15) + 2] = 15;
    writeFile(image, looping);
    const RunResult refused = runProgram("dskrecord", {image, dir.path(), "ab.txt"}, "");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.errors, "\nError, the track/sector lists of file 'AB.TXT' on diskette file '" + image +
                                  "' link back to track 34 sector 15, read already; nothing written.\n\n");
    EXPECT_EQ(readFile(image), looping);
}

// Closed standard descriptors: what the program prints never lands in the
// image, which would otherwise be opened as one of them. A standard output
// that cannot be written fails the run before anything is saved.
TEST(Arguments, ClosedStandardDescriptorsKeepMessagesOutOfTheImage)
{
    TempDir dir;
    const std::string image = dir.file("d.dsk");
    const Bytes blank = blankImage(35, 16);
    const HostText big = hostTextOfEncodedSize(160 * 256, 2); // a long trace
    writeText(dir.file("ab.txt"), "A\nB\n");
    writeText(dir.file("big.s"), big.text);
    for (const auto& [files, status] : {std::pair<std::string, int>{"missing.s 2>&-", 1}, {"ab.txt big.s >&-", 0},
                                        {"ab.txt >/dev/full", 1}}) {
        writeFile(image, blank);
        const RunResult run =
            runProgram("/bin/sh", {"-c", programPath("dskrecord") + " " + image + " " + dir.path() + " " + files}, "");
        EXPECT_EQ(run.status, status) << files;
        const Bytes after = readFile(image);
        const std::vector<size_t> entries = catalogEntries(after, 16);
        if (status != 0) {
            EXPECT_EQ(after, blank);
            EXPECT_EQ(run.errors, files.find("full") == std::string::npos ? "" : "\nError from write() for standard output.\n\n");
            continue;
        }
        EXPECT_TRUE(std::equal(blank.begin(), blank.begin() + 3 * 16 * 256, after.begin())); // the tracks left alone
        EXPECT_TRUE(holdsExactly(readBack(after, 16, entries[0]), AbEncoded));
        EXPECT_TRUE(holdsExactly(readBack(after, 16, entries[1]), big.encoded));
    }
}
