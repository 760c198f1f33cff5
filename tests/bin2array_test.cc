#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string PauseText = "\n\nPress <cr> to continue ...  \n\n";

// The array text built item by item from the layout rules, as a check on the
// program's line-at-a-time writing.
std::string expectedText(const std::string& name, const Bytes& bytes)
{
    std::string text = "UCHAR " + name + "[] = {\n";
    char item[8];
    for (size_t k = 0; k < bytes.size(); ++k) {
        text += k == 0 ? "  " : k % 8 != 0 ? ", " : ",\n  ";
        std::snprintf(item, sizeof item, "0x%02x", bytes[k]);
        text += item;
    }
    if (!bytes.empty())
        text += "\n";
    return text + "};\nUINT32 " + name + "_len = " + std::to_string(bytes.size()) + ";\n";
}

Bytes counting(size_t n)
{
    Bytes bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

// Runs bin2array in dir on a file named name holding bytes; returns the text.
std::string convert(const TempDir& dir, const std::string& name, const Bytes& bytes)
{
    writeFile(dir.file(name), bytes);
    RunResult run = runProgram("bin2array", {name, "out.c"}, "", {dir.path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, "");
    return readText(dir.file("out.c"));
}

const std::string Questions = "\nEnter name of input binary file to process:  \n"
                              "Enter name of output text file to write:  \n";

// Runs a failing conversion both ways: as a dialogue (the message on
// standard output, then the pause, status 0) and with the names as arguments
// (the message on standard error, no pause, status 1).
void expectFailure(const TempDir& dir, const std::string& input, const std::string& output, const std::string& message)
{
    SCOPED_TRACE(input + " to " + output);
    RunResult run = runProgram("bin2array", {}, input + "\n" + output + "\n\n", {dir.path()});
    EXPECT_EQ(run.output, Questions + message + PauseText);
    EXPECT_EQ(run.status, 0);
    run = runProgram("bin2array", {input, output}, "\n", {dir.path()});
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, message);
    EXPECT_EQ(run.status, 1);
}

// Runs "bin2array in" with its standard output sent where redirection says.
RunResult toStandardOutput(const TempDir& dir, const std::string& redirection)
{
    return runProgram("/bin/sh", {"-c", "'" + programPath("bin2array") + "' in " + redirection}, "", {dir.path()});
}

} // namespace

TEST(bin2array, ItemLinesBreakAfterEveryEighthItem)
{
    TempDir dir;
    EXPECT_EQ(convert(dir, "e", {}), "UCHAR e[] = {\n};\nUINT32 e_len = 0;\n");
    EXPECT_EQ(convert(dir, "b", {0xff}), "UCHAR b[] = {\n  0xff\n};\nUINT32 b_len = 1;\n");
    const std::string eight = "  0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07";
    EXPECT_EQ(convert(dir, "in.bin", counting(8)), "UCHAR in.bin[] = {\n" + eight + "\n};\nUINT32 in.bin_len = 8;\n");
    EXPECT_EQ(convert(dir, "n", counting(9)), "UCHAR n[] = {\n" + eight + ",\n  0x08\n};\nUINT32 n_len = 9;\n");
    EXPECT_EQ(convert(dir, "s", Bytes{0xab, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xff}),
              "UCHAR s[] = {\n  0xab, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,\n"
              "  0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0xff\n};\nUINT32 s_len = 16;\n");
}

TEST(bin2array, LargeInputMatchesTheLayoutAcrossBufferBoundaries)
{
    TempDir dir;
    const Bytes bytes = patternBytes(300001, 7); // five blocks, the last one short, ending in a line of one item
    EXPECT_EQ(convert(dir, "blob", bytes), expectedText("blob", bytes));
}

TEST(bin2array, NameStandsAsGivenWithItsDirectoryPart)
{
    TempDir dir;
    mkdir(dir.file("dir").c_str(), 0777);
    writeFile(dir.file("dir/data.bin"), {0x41});
    RunResult run = runProgram("bin2array", {"dir/data.bin", "out.c", "ignored"}, "", {dir.path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(readText(dir.file("out.c")), expectedText("dir/data.bin", {0x41}));
}

TEST(bin2array, QuestionsWithoutArguments)
{
    TempDir dir;
    writeFile(dir.file("in"), {1, 2});

    RunResult run = runProgram("bin2array", {}, "\nout.c\n", {dir.path()});
    EXPECT_EQ(run.output, Questions); // both asked even after an empty first answer
    EXPECT_NE(access(dir.file("out.c").c_str(), F_OK), 0);

    run = runProgram("bin2array", {}, "in\nout.c\n", {dir.path()});
    EXPECT_EQ(run.output, Questions);
    EXPECT_EQ(readText(dir.file("out.c")), expectedText("in", {1, 2}));

    run = runProgram("bin2array", {}, "in\n", {dir.path()}); // end of input: an empty answer
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, Questions);

    const std::string longName(128, 'n');
    const std::string tooLong = "\nError, that answer is longer than 127 characters; please enter a shorter one.\n";
    run = runProgram("bin2array", {}, longName + "\nin\nlong.c\n", {dir.path()});
    EXPECT_EQ(run.output, "\nEnter name of input binary file to process:  \n" + tooLong + Questions);
    EXPECT_EQ(readText(dir.file("long.c")), expectedText("in", {1, 2}));

    // Given as an argument, a name too long ends the run.
    run = runProgram("bin2array", {longName, "x.c"}, "", {dir.path()});
    EXPECT_EQ(run.errors, tooLong);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(access(dir.file("x.c").c_str(), F_OK), 0);
}

TEST(bin2array, OneArgumentWritesToStandardOutput)
{
    TempDir dir;
    writeFile(dir.file("in"), {0, 0xff, 2, 3, 4, 5, 6, 7, 8});
    RunResult run = runProgram("bin2array", {"in"}, "typed.c\n", {dir.path()});
    EXPECT_EQ(run.output, expectedText("in", {0, 0xff, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(access(dir.file("typed.c").c_str(), F_OK), 0); // standard input is never read

    // Appended to the input, the text would be read back without end.
    run = toStandardOutput(dir, ">> in");
    EXPECT_EQ(run.errors, "\nError, standard output is the input file 'in'; nothing is written.\n\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(readFile(dir.file("in")), (Bytes{0, 0xff, 2, 3, 4, 5, 6, 7, 8}));

    run = toStandardOutput(dir, "> /dev/full");
    EXPECT_EQ(run.errors, "\nError from write() for standard output; the array text is incomplete.\n\n");
    EXPECT_EQ(run.status, 1);
}

TEST(bin2array, OptionsAndUsage)
{
    TempDir dir;
    writeFile(dir.file("--help"), {0x2d});
    RunResult run = runProgram("bin2array", {"--", "--help", "out.c"}, "", {dir.path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(readText(dir.file("out.c")), expectedText("--help", {0x2d}));

    run = runProgram("bin2array", {"--help"}, "", {dir.path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.rfind("usage: bin2array [INPUT [OUTPUT]]\n", 0), 0u) << run.output;
    EXPECT_NE(run.output.find("  OUTPUT  the array text to write"), std::string::npos) << run.output;

    run = runProgram("bin2array", {"--version"}, "", {dir.path()});
    EXPECT_EQ(run.output, std::string("bin2array ") + SUITE_VERSION + "\n");
    EXPECT_EQ(run.status, 0);

    const std::vector<std::vector<std::string>> wrongLines{{""}, {"-x", "out.c"}, {"in", ""}};
    for (const std::vector<std::string>& args : wrongLines) {
        run = runProgram("bin2array", args, "", {dir.path()});
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_EQ(run.output, "");
        EXPECT_NE(run.errors.find("\nusage: bin2array [INPUT [OUTPUT]]\n"), std::string::npos) << run.errors;
    }
}

TEST(bin2array, FailuresAreReportedAndLeaveFilesAlone)
{
    TempDir dir;
    writeFile(dir.file("in"), {1, 2, 3});
    writeText(dir.file("keep.c"), "precious");

    expectFailure(dir, "missing", "keep.c", "\nError from fopen() for input file 'missing'.\n\n");
    mkdir(dir.file("folder").c_str(), 0777);
    expectFailure(dir, "folder", "keep.c", "\nError from fopen() for input file 'folder'.\n\n");
    EXPECT_EQ(readText(dir.file("keep.c")), "precious");

    expectFailure(dir, "in", "no/such/out.c", "\nError from open() for output file 'no/such/out.c'.\n\n");
    expectFailure(dir, "in", "folder", "\nError from open() for output file 'folder'.\n\n");

    // The same file under another name: opening it as output would empty it.
    ASSERT_EQ(link(dir.file("in").c_str(), dir.file("alias").c_str()), 0);
    expectFailure(dir, "in", "./alias", "\nError, output file './alias' is the input file; it is left as it was.\n\n");
    EXPECT_EQ(readFile(dir.file("in")), (Bytes{1, 2, 3}));

    expectFailure(dir, "in", "/dev/full",
                  "\nError from write() for output file '/dev/full'; the array text is incomplete.\n\n");

    // A process's own memory opens, but reading its first page fails: the
    // array ends there and still gets its tail, with the count of what was read.
    expectFailure(dir, "/proc/self/mem", "mem.c",
                  "\nError from read() for input file '/proc/self/mem'; the array ends where reading stopped.\n\n");
    EXPECT_EQ(readText(dir.file("mem.c")), expectedText("/proc/self/mem", {}));
}

// The text must compile as C and the compiled array must hold the input.
TEST(bin2array, OutputCompilesAsCAndHoldsTheBytes)
{
    if (std::system("command -v cc > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "no C compiler";
    TempDir dir;
    writeText(dir.file("main.c"), "#include <stdio.h>\n"
                                  "typedef unsigned char UCHAR;\n"
                                  "typedef unsigned int UINT32;\n"
                                  "#include \"data.c\"\n"
                                  "int main(void)\n"
                                  "{\n"
                                  "    FILE* out = fopen(\"back\", \"wb\");\n"
                                  "    fwrite(data, 1, data_len, out);\n"
                                  "    fclose(out);\n"
                                  "    printf(\"%u %u\", data_len, (unsigned)sizeof data);\n"
                                  "}\n");
    for (size_t size : {0, 1, 8, 9, 16, 4099}) {
        SCOPED_TRACE(size);
        const Bytes bytes = patternBytes(size, static_cast<uint32_t>(size));
        writeFile(dir.file("data"), bytes);
        ASSERT_EQ(runProgram("bin2array", {"data", "data.c"}, "", {dir.path()}).output, "");
        const std::string build = "cd " + dir.path() + " && cc -o prog main.c 2> errors.txt";
        ASSERT_EQ(std::system(build.c_str()), 0) << readText(dir.file("errors.txt"));
        RunResult run = runProgram(dir.file("prog"), {}, "", {dir.path()});
        EXPECT_EQ(run.output, std::to_string(size) + " " + std::to_string(size));
        EXPECT_EQ(readFile(dir.file("back")), bytes);
    }
}
