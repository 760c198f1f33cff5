#include "aiff_capture.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace {

const std::string AskCapture = "\nEnter AIFF filename path:  ";
const std::string AskOffset = "\nEnter start AIFF offset:  0x";
const std::string AskImage = "\nEnter DSK or CMP filename path:  ";
const std::string AskTrack = "\nEnter DSK Track value:  0x";
const std::string AllQuestions = AskCapture + AskOffset + AskImage + AskTrack + "\nEnter number of bytes to process:  0x\n";
const std::string PauseText = "\nPress <cr> to continue ...  \n";
// The fixture's capture ends after its 17 bytes.
const std::string CaptureEnds = "\nThe AIFF file ended inside a bit; processed = 0x00000011, bit = 0\n\n";

// The capture holds 0x20 non-zero samples, then the 17 bytes of track 2 of
// the image, the last of them changed.
struct AiffDialogue : testing::Test {
    TempDir dir;
    std::string capture = dir.file("capture.raw");
    std::string image = dir.file("image.dsk");
    std::string mismatchLines; // of the last byte
    std::string lastMismatch;  // and the pause after them

    AiffDialogue()
    {
        const Bytes disk = patternBytes(2 * 4096 + 17);
        Bytes sent(disk.begin() + 2 * 4096, disk.end());
        sent[16] ^= 0x01;
        Bytes samples(0x20, 0x7F);
        const Bytes bits = encodeCapture(sent);
        samples.insert(samples.end(), bits.begin(), bits.end());
        writeFile(capture, samples);
        writeFile(image, disk);
        char lines[128];
        std::snprintf(lines, sizeof lines,
                      "dskByte = 0x%02x and newByte = 0x%02x and do not compare\nprocessed = 0x00000010, bit = 8\n\n",
                      disk.back(), sent.back());
        mismatchLines = lines;
        lastMismatch = mismatchLines + PauseText;
    }
};

TEST_F(AiffDialogue, RunsAndEndsAsAnswered)
{
    const std::string upToImage = AskCapture + AskOffset + AskImage;
    const struct {
        std::string answers;
        std::string output;
    } cases[] = {
        {capture + "\n 0x20\n" + image + "\n2\n10\n", AllQuestions + "Processing complete for 0x00000010 bytes.\n\n"},
        {capture + "\n20\n" + image + "\n2\n11\n\n",
         AllQuestions + lastMismatch + "Processing complete for 0x00000011 bytes.\n\n"},
        {"", AskCapture + "\nError on fopen() for AIFF File ''.\n"},
        {capture + "\n-1\n", AskCapture + AskOffset + "\nError on fseek() for AIFF File '" + capture + "'.\n"},
        {capture + "\n20\n" + dir.path() + "/none\n",
         upToImage + "\nError on fopen() for DSK or CMP File '" + dir.path() + "/none'.\n"},
        {capture + "\n20\n" + image + "\nffffffff\n",
         upToImage + AskTrack + "\nError on fseek() for DSK File '" + image + "'.\n"},
        {capture + "\n1f\n" + image + "\n2\n10\n",
         AllQuestions + "Expect 0x00 to begin bit sequence; processed = 0x00000000, byte = 0x7f, bit = 0\n"},
        {capture + "\n100000\n" + image + "\n\n\n",
         AllQuestions + "Expect 0x00 to begin bit sequence; processed = 0x00000000, byte = 0xff, bit = 0\n"},
        // Folders open for reading but cannot be read.
        {dir.path() + "\n0\n" + image + "\n\n\n",
         AllQuestions + "\nError on read of the AIFF file; processed = 0x00000000, bit = 0\n\n"},
        {capture + "\n20\n" + dir.path() + "\n\n\n",
         AllQuestions + "\nError on read of the DSK or CMP file; processed = 0x00000000\n\n"},
        // More bytes asked for than the capture carries.
        {capture + "\n20\n" + image + "\n2\n1000\n\n", AllQuestions + lastMismatch + CaptureEnds},
    };
    for (const auto& c : cases) {
        const RunResult result = runProgram("aiffverify", {}, c.answers);
        EXPECT_EQ(result.output, c.output) << c.answers;
        EXPECT_EQ(result.status, 0);
    }
}

// The byte count and the start offset read as "%lx" reads them, the track
// as "%x": a number too wide for its field reads as -1.
TEST_F(AiffDialogue, HexadecimalAnswersReadAsTheCLibraryReadsThem)
{
    const std::string upToCount = capture + "\n20\n" + image + "\n2\n";
    const struct {
        const char* answer;
        const char* bytes;
    } counts[] = {
        {"", "00000001"},   {"f", "0000000f"},  {"  \tA", "0000000a"}, {"0x6", "00000006"}, {"0X6", "00000006"},
        {"+10", "00000010"}, {"-10", "00000001"}, {"0cz", "0000000c"},  {"3 4", "00000003"}, {"zz", "00000001"},
        {"-", "00000001"},   {"0xg", "00000001"}, {"ffffffffffffffff", "00000001"},
    };
    for (const auto& c : counts)
        EXPECT_EQ(runProgram("aiffverify", {}, upToCount + c.answer + "\n").output,
                  AllQuestions + "Processing complete for 0x" + c.bytes + " bytes.\n\n")
            << '"' << c.answer << '"';

    // Counts wider than 32 bits are counts all the same: more than the capture carries.
    for (const char* count : {"7fffffff", "100000001"})
        EXPECT_EQ(runProgram("aiffverify", {}, upToCount + count + "\n\n").output,
                  AllQuestions + lastMismatch + CaptureEnds);

    // Wrapped to 64 bits the offset would be 1, a non-zero sample; wrapped to
    // 32 bits the track would be 1.
    for (const char* offset : {"10000000000000001", "ffffffffffffffff"})
        EXPECT_EQ(runProgram("aiffverify", {}, capture + "\n" + offset + "\n").output,
                  AskCapture + AskOffset + "\nError on fseek() for AIFF File '" + capture + "'.\n");
    for (const char* track : {"100000001", "-1"})
        EXPECT_EQ(runProgram("aiffverify", {}, capture + "\n20\n" + image + "\n" + track + "\n").output,
                  AskCapture + AskOffset + AskImage + AskTrack + "\nError on fseek() for DSK File '" + image + "'.\n")
            << track;
    EXPECT_EQ(runProgram("aiffverify", {}, capture + "\n20\n" + image + "\n +0x2\n10\n").output,
              AllQuestions + "Processing complete for 0x00000010 bytes.\n\n");
}

TEST_F(AiffDialogue, PathsOf80CharactersAreRefused)
{
    const std::string path79 = dir.file(std::string(79 - dir.path().size() - 1, 'c'));
    ASSERT_EQ(path79.size(), 79u);
    std::rename(capture.c_str(), path79.c_str());
    const RunResult result =
        runProgram("aiffverify", {}, path79 + "x\n" + path79 + "\n20\n" + image + "x\n" + image + "\n2\n10\n");
    const std::string refusal = "\nError, that answer is longer than 79 characters; please enter a shorter one.\n";
    EXPECT_EQ(result.output, AskCapture + refusal + AskCapture + AskOffset + AskImage +
                                 "\nError on fopen() for DSK or CMP File '" + image + "x'.\n");
}

// Given as arguments, the answers run the same job, with no prompt and no
// pause; the failures go to standard error.
TEST_F(AiffDialogue, ArgumentsAreTheAnswers)
{
    const std::string done = "Processing complete for 0x00000010 bytes.\n\n0 of 16 bytes differ.\n";
    const std::string none = dir.file("none");
    const struct {
        std::vector<std::string> args;
        std::string output;
        std::string errors;
        int status;
    } cases[] = {
        {{capture, "20", image, "2", "10"}, done, "", 0},
        {{"--", capture, "20", image, "2", "10"}, done, "", 0},
        // A byte that differs fails the run, which goes on to its end; its lines are part of the report.
        {{capture, "20", image, "2", "11"},
         mismatchLines + "Processing complete for 0x00000011 bytes.\n\n1 of 17 bytes differ.\n", "", 1},
        {{capture, "20", image, "2", "1000"}, mismatchLines + "1 of 17 bytes differ.\n", CaptureEnds, 1},
        // Failures that end the run at once, with nothing after them.
        {{none, "20", image, "2", "10"}, "", "\nError on fopen() for AIFF File '" + none + "'.\n", 1},
        {{std::string(80, 'c'), "20", image, "2", "10"}, "",
         "\nError, that answer is longer than 79 characters; please enter a shorter one.\n", 1},
        {{capture, "1f", image, "2", "10"}, "",
         "Expect 0x00 to begin bit sequence; processed = 0x00000000, byte = 0x7f, bit = 0\n", 1},
        {{capture, "20", image, "2"}, "", "aiffverify: 4 arguments given; it takes exactly 5\nusage: aiffverify [AIFF OFFSET IMAGE TRACK COUNT]\n"
         "Try 'aiffverify --help'.\n", 2},
        // A number argument is whole: not read as far as it goes.
        {{capture, "20", image, "0", "two-hundred"}, "",
         "aiffverify: COUNT 'two-hundred' is not a hexadecimal number\n"
         "usage: aiffverify [AIFF OFFSET IMAGE TRACK COUNT]\nTry 'aiffverify --help'.\n", 2},
    };
    for (const auto& c : cases) {
        const RunResult run = runProgram("aiffverify", c.args, "");
        const std::string args = c.args[0] + " ... " + c.args.back();
        EXPECT_EQ(run.output, c.output) << args;
        EXPECT_EQ(run.errors, c.errors) << args;
        EXPECT_EQ(run.status, c.status) << args;
    }
}

TEST(AiffArguments, HelpAndVersion)
{
    const RunResult help = runProgram("aiffverify", {"--help"}, "");
    EXPECT_TRUE(help.output.starts_with("usage: aiffverify [AIFF OFFSET IMAGE TRACK COUNT]\n")) << help.output;
    EXPECT_NE(help.output.find("\n  COUNT   how many bytes to decode and compare, in hexadecimal\n"),
              std::string::npos);
    EXPECT_EQ(help.status, 0);
    const RunResult version = runProgram("aiffverify", {"--version"}, "");
    EXPECT_TRUE(std::regex_match(version.output, std::regex("aiffverify [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.output;
    EXPECT_EQ(version.status, 0);
}

size_t occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(AiffContainer, WholeImageVerifiesFromTheSampleData)
{
    TempDir dir;
    const Bytes disk = patternBytes(143360, 7);
    const auto [aiff, dataOffset] = aiffFile(encodeCapture(disk));
    writeFile(dir.file("transfer.aiff"), aiff);
    writeFile(dir.file("disk.dsk"), disk);
    char offset[32];
    std::snprintf(offset, sizeof offset, "%zx", dataOffset);

    const RunResult result = runProgram(
        "aiffverify", {}, dir.file("transfer.aiff") + "\n" + offset + "\n" + dir.file("disk.dsk") + "\n\n23000\n");
    EXPECT_TRUE(result.output.starts_with(AllQuestions));
    EXPECT_EQ(occurrences(result.output, "do not compare"), 0u);
    EXPECT_EQ(occurrences(result.output, "Verified 4096 bytes of data, continuing.\n" + PauseText), 34u);
    EXPECT_EQ(occurrences(result.output, PauseText), 34u);
    EXPECT_TRUE(result.output.ends_with("\nProcessing complete for 0x00023000 bytes.\n\n"));
}

} // namespace
