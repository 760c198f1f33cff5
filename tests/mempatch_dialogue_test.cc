#include "mempatch.h"
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string Questions = "\n\nInput file:  \n\nOutput file:  \n\nChange file:  \n\nStart address:  0x\n";
const std::string PauseText = "\n\nPress <cr> to continue ...  \n\n";

struct Case {
    std::string answers;
    std::string message;
};

struct Files {
    TempDir dir;
    std::string input = dir.file("memory.bin");
    std::string output = dir.file("patched.bin");
    std::string changes = dir.file("changes.txt");

    std::string answers(const std::string& start) const
    {
        return input + "\n" + output + "\n" + changes + "\n" + start + "\n\n";
    }

    // How many files the folder holds: a run leaves no temporary file.
    long count() const { return std::distance(std::filesystem::directory_iterator(dir.path()), {}); }
};

} // namespace

TEST(MempatchRun, LastByteOfATwelveKilobyteImage)
{
    Files files;
    const Bytes memory = patternBytes(0x3000);
    writeFile(files.input, memory);
    writeText(files.changes, "FFFF 1\n60\n");
    const RunResult run = runProgram("mempatch", {}, files.answers("0"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, Questions +
                              "configLine:  FFFF 1\ndataLine:  60\nbufferAddress = 0x2fff, nBytes = 1\n"
                              "0:  bufferAddress = 2fff, dataByte = 60\n" +
                              PauseText);
    Bytes wanted = memory;
    ASSERT_FALSE(wanted.empty());
    wanted[wanted.size() - 1] = 0x60;
    EXPECT_EQ(readFile(files.output), wanted);
}

TEST(MempatchRun, StartFourPassesOverAHeaderAndCopiesNoMore)
{
    Files files;
    const Bytes memory = patternBytes(0x3004 + 100, 3);
    writeFile(files.input, memory);
    writeText(files.changes, "D000 2\nEE 0F\n");
    const RunResult run = runProgram("mempatch", {}, files.answers("4"));
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("bufferAddress = 0x0004, nBytes = 2\n"), std::string::npos) << run.output;
    Bytes wanted(memory.begin(), memory.begin() + 0x3004);
    wanted[4] = 0xEE;
    wanted[5] = 0x0F;
    EXPECT_EQ(readFile(files.output), wanted);
}

TEST(MempatchRun, ShortInputIsToldAndTheRestIsZero)
{
    Files files;
    const Bytes memory = patternBytes(0x100, 5);
    writeFile(files.input, memory);
    writeText(files.changes, "# nothing to change\n");
    const RunResult run = runProgram("mempatch", {}, files.answers("1000"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, Questions + "\nError from read(), nRead = 0x100.\n" + PauseText);
    Bytes wanted = memory;
    wanted.resize(0x4000, 0);
    EXPECT_EQ(readFile(files.output), wanted);
}

TEST(MempatchRun, EachFileThatCannotBeOpenedEndsWithStatusOne)
{
    Files files;
    writeFile(files.input, patternBytes(0x3000));
    writeText(files.changes, "FFFF 1\n60\n");
    const std::string missing = files.dir.file("none/such");
    const Case cases[] = {
        {missing + "\n", "\nError from open() for input file '" + missing + "'.\n\n"},
        {files.input + "\n" + missing + "\n", "\nError from open() for output file '" + missing + "'.\n\n"},
        {files.input + "\n" + files.output + "\n" + missing + "\n",
         "\nError from fopen() for change file '" + missing + "'.\n\n"},
        // Written, the output would replace the change file while it is read.
        {files.input + "\n" + files.output + "\n" + files.output + "\n",
         "\nError, output file '" + files.output + "' is the same file as change file '" + files.output + "'.\n\n"},
    };
    const Bytes kept = patternBytes(100, 9); // an output that exists already
    for (const Case& c : cases) {
        writeFile(files.output, kept);
        const RunResult run = runProgram("mempatch", {}, c.answers + "0\n\n");
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("Start address"), std::string::npos);
        // The output is replaced only once every file is open and the start address taken.
        EXPECT_EQ(readFile(files.output), kept) << c.message;
        EXPECT_EQ(readText(files.changes), "FFFF 1\n60\n");
    }
}

TEST(MempatchRun, AnEndingBeforeTheWriteLeavesAnExistingOutputAsItWas)
{
    Files files;
    const Bytes memory = patternBytes(0x3000);
    writeFile(files.input, memory);
    writeText(files.changes, "FFFF 1\n60\n");
    const Bytes kept = patternBytes(100, 9);
    writeFile(files.output, kept);
    const std::string opening = files.input + "\n" + files.output + "\n";
    for (const std::string& rest : {std::string("\n"), files.changes + "\n\n", files.changes + "\n"}) {
        const RunResult run = runProgram("mempatch", {}, opening + rest);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(readFile(files.output), kept) << rest;
    }
    // A change file that is only readable is enough: it is only read. The
    // output is replaced, a new file in its place, and keeps its mode.
    ASSERT_EQ(chmod(files.changes.c_str(), 0444), 0);
    ASSERT_EQ(chmod(files.output.c_str(), 0666), 0);
    chmod(files.input.c_str(), 0644);
    struct stat before{};
    ASSERT_EQ(stat(files.output.c_str(), &before), 0);
    const RunResult run = runProgram("mempatch", {}, files.answers("0"), {.asNobody = true});
    EXPECT_EQ(run.status, 0) << run.output;
    Bytes wanted = memory;
    wanted[0x2fff] = 0x60;
    EXPECT_EQ(readFile(files.output), wanted);
    struct stat after{};
    ASSERT_EQ(stat(files.output.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(files.count(), 3);
}

TEST(MempatchRun, StartAddressIsHexFromZeroToD000)
{
    int32_t start = -1;
    for (auto [answer, wanted] : {std::pair{"0", 0}, {" d000 ", 0xD000}, {"4", 4}, {"00001000", 0x1000}}) {
        ASSERT_TRUE(parseStartAddress(answer, start)) << answer;
        EXPECT_EQ(start, wanted);
    }
    for (const char* answer : {"", "  ", "d001", "-4", "12g", "0x10", "ffffffffffffffff"})
        EXPECT_FALSE(parseStartAddress(answer, start)) << answer;
    EXPECT_EQ(start, 0x1000); // left as it was
}

TEST(MempatchRun, StartAddressIsAskedUntilItFitsAndAnEmptyAnswerEnds)
{
    Files files;
    writeFile(files.input, patternBytes(0x3000));
    writeText(files.changes, "FFFF 1\n60\n");
    const std::string prefix = files.input + "\n" + files.output + "\n" + files.changes + "\n";
    for (const std::string& ending : {std::string("\n"), std::string()}) { // empty answer, end of input
        const RunResult run = runProgram("mempatch", {}, prefix + "zz\n-4\nd001\n" + ending);
        EXPECT_EQ(run.status, 0);
        std::string wanted = Questions;
        for (const char* answer : {"zz", "-4", "d001"})
            wanted += std::string("\nError, start address '") + answer +
                      "' is not a hexadecimal number from 0 to d000.\n\nStart address:  0x\n";
        EXPECT_EQ(run.output, wanted);
        EXPECT_EQ(files.count(), 2); // no output, no temporary file
    }
}

TEST(MempatchRun, FailedWriteIsTold)
{
    Files files;
    writeFile(files.input, patternBytes(0x3000));
    writeText(files.changes, "");
    const RunResult run =
        runProgram("mempatch", {}, files.input + "\n/dev/full\n" + files.changes + "\n0\n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, Questions + "\nError form write(), errno = 28.\n" + PauseText);
}

TEST(MempatchRun, PathOf128CharactersIsRefusedAndAskedAgain)
{
    const RunResult run = runProgram("mempatch", {}, std::string(128, 'p') + "\n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "\n\nInput file:  \n\nError, that answer is longer than 127 characters; please enter a "
                          "shorter one.\n\n\nInput file:  \n");
}

// The argument form: INPUT OUTPUT CHANGES START as the four answers, no
// prompt and no pause, failures on standard error.

TEST(MempatchArguments, TheFourAnswersDoTheWholeJob)
{
    Files files;
    const Bytes memory = patternBytes(0x3000);
    writeFile(files.input, memory);
    writeText(files.changes, "FFFF 1\n60\n");
    const RunResult run = runProgram("mempatch", {files.input, files.output, files.changes, "0"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.output, "configLine:  FFFF 1\ndataLine:  60\nbufferAddress = 0x2fff, nBytes = 1\n"
                          "0:  bufferAddress = 2fff, dataByte = 60\n");
    Bytes wanted = memory;
    wanted[0x2fff] = 0x60;
    EXPECT_EQ(readFile(files.output), wanted);

    // "--" ends the options, so an input may be named like one.
    writeFile(files.dir.file("--memory.bin"), memory);
    const RunResult named =
        runProgram("mempatch", {"--", "--memory.bin", "named.bin", "changes.txt", "0"}, "", {files.dir.path()});
    EXPECT_EQ(named.status, 0);
    EXPECT_EQ(named.errors, "");
    EXPECT_EQ(readFile(files.dir.file("named.bin")), wanted);
}

TEST(MempatchArguments, AFailureEndsTheRunAtOnceAndTheOutputIsNotTouched)
{
    Files files;
    writeFile(files.input, patternBytes(0x3000));
    writeText(files.changes, "FFFF 1\n60\n");
    const std::string missing = files.dir.file("none/such");
    const std::string& in = files.input;
    const std::string& out = files.output;
    const std::string& changes = files.changes;
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{missing, out, changes, "0"}, "\nError from open() for input file '" + missing + "'.\n\n"},
        {{in, in, changes, "0"}, "\nError, output file '" + in + "' is the same file as input file '" + in + "'.\n\n"},
        {{in, out, out, "0"}, "\nError, output file '" + out + "' is the same file as change file '" + out + "'.\n\n"},
        {{in, out, missing, "0"}, "\nError from fopen() for change file '" + missing + "'.\n\n"},
        {{in, out, changes, "d001"}, "\nError, start address 'd001' is not a hexadecimal number from 0 to d000.\n"},
        {{in, out, changes, std::string(256, '1')},
         "\nError, that answer is longer than 255 characters; please enter a shorter one.\n"},
        // Only a regular file is a change file: a folder and a device have no end of lines to reach.
        {{in, out, files.dir.path(), "0"}, "\nError from fopen() for change file '" + files.dir.path() + "'.\n\n"},
        {{in, out, "/dev/zero", "0"}, "\nError from fopen() for change file '/dev/zero'.\n\n"},
    };
    const Bytes kept = patternBytes(100, 9); // an output that exists already
    for (const auto& c : cases) {
        writeFile(out, kept);
        const RunResult run = runProgram("mempatch", c.args, "");
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_EQ(run.output, "") << c.message;
        EXPECT_EQ(run.errors, c.message);
        EXPECT_EQ(readFile(out), kept) << c.message;
        EXPECT_EQ(readFile(in), patternBytes(0x3000));
        EXPECT_EQ(files.count(), 3) << c.message;
    }

    // A change file that cannot be read to its end: the copy is not written.
    const RunResult unread = runUnderStrace({"-o", "/dev/null", "-P", changes, "-e", "trace=read", "-e",
                                             "inject=read:error=EIO:when=1"},
                                            "mempatch", {in, out, changes, "0"}, "");
    EXPECT_EQ(unread.status, 1);
    EXPECT_EQ(unread.errors, "\nError from fgets() for change file '" + changes + "'; the rest of it was not applied.\n");
    EXPECT_EQ(readFile(out), kept);
    EXPECT_EQ(files.count(), 3);

    const RunResult run = runProgram("mempatch", {in, "/dev/full", changes, "0"}, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "\nError form write(), errno = 28.\n");
}

TEST(MempatchArguments, ClosedStandardDescriptorsNeverBecomeTheOutput)
{
    Files files;
    writeFile(files.input, patternBytes(0x3000));
    writeText(files.changes, "FFFF 1\n60\n");
    writeFile(files.output, patternBytes(100, 9));
    Bytes wanted = patternBytes(0x3000);
    wanted[0x2fff] = 0x60;
    // A failure after the output's question leaves it as it was; a copy made holds no trace line.
    for (const auto& [start, status, bytes] : {std::tuple{"d001", 1, patternBytes(100, 9)}, {"0", 0, wanted}}) {
        const RunResult run = runProgram("/bin/sh", {"-c", "exec \"$0\" \"$@\" >&- 2>&-", programPath("mempatch"),
                                                     files.input, files.output, files.changes, start}, "");
        EXPECT_EQ(run.status, status) << start;
        EXPECT_EQ(readFile(files.output), bytes) << start;
        EXPECT_EQ(files.count(), 3);
    }
}

TEST(MempatchArguments, ARefusedChangeOrAShortInputGoesOnWithStatusOne)
{
    Files files;
    const Bytes memory = patternBytes(0x100, 5);
    writeFile(files.input, memory);
    writeText(files.changes, "FFFF 2\n60\nD000 1\nEE\n");
    const RunResult run = runProgram("mempatch", {files.input, files.output, files.changes, "0"}, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "\nError from read(), nRead = 0x100.\n"
                          "\nChange refused: configLine 'FFFF 2' asks for 2 bytes, its dataLine holds 1.\n\n");
    EXPECT_EQ(run.output, "configLine:  FFFF 2\ndataLine:  60\nbufferAddress = 0x2fff, nBytes = 2\n"
                          "configLine:  D000 1\ndataLine:  EE\nbufferAddress = 0x0000, nBytes = 1\n"
                          "0:  bufferAddress = 0000, dataByte = ee\n");
    Bytes wanted = memory;
    wanted.resize(0x3000, 0);
    wanted[0] = 0xEE;
    EXPECT_EQ(readFile(files.output), wanted);
}

TEST(MempatchArguments, UsageErrorsAndOptions)
{
    const std::string usage = "usage: mempatch [INPUT OUTPUT CHANGES START]\n";
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"in.bin", "out.bin", "changes.txt"}, {"in.bin", "out.bin", "changes.txt", "0", "more"},
             {"in.bin", "out.bin", "changes.txt", ""}, {"--memory.bin", "out.bin", "changes.txt", "0"}}) {
        const RunResult run = runProgram("mempatch", args, "in.bin\n");
        EXPECT_EQ(run.status, 2) << args.size();
        EXPECT_EQ(run.output, "");
        EXPECT_NE(run.errors.find("\n" + usage), std::string::npos) << run.errors;
    }

    RunResult run = runProgram("mempatch", {"--help"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.rfind(usage, 0), 0u) << run.output;
    EXPECT_NE(run.output.find("\n  START    the file offset of memory address 0xD000"), std::string::npos);
    EXPECT_NE(run.output.find("man mempatch"), std::string::npos) << run.output;

    run = runProgram("mempatch", {"--version"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, std::string("mempatch ") + SUITE_VERSION + "\n");
}
