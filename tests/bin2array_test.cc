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
    return readText(dir.file("out.c"));
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
    const Bytes bytes = patternBytes(300001, 7); // text of many output buffers; a last line of one item
    EXPECT_EQ(convert(dir, "blob", bytes), expectedText("blob", bytes));
}

TEST(bin2array, NameStandsAsGivenWithItsDirectoryPart)
{
    TempDir dir;
    mkdir(dir.file("dir").c_str(), 0777);
    writeFile(dir.file("dir/data.bin"), {0x41});
    RunResult run = runProgram("bin2array", {"dir/data.bin", "out.c", "ignored"}, "", {dir.path()});
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(readText(dir.file("out.c")), expectedText("dir/data.bin", {0x41}));
}

TEST(bin2array, QuestionsWhenNamesAreMissing)
{
    TempDir dir;
    writeFile(dir.file("in"), {1, 2});
    const std::string first = "\nEnter name of input binary file to process:  \n";
    const std::string second = "Enter name of output text file to write:  \n";

    RunResult run = runProgram("bin2array", {}, "\nout.c\n", {dir.path()});
    EXPECT_EQ(run.output, first + second); // both asked even after an empty first answer
    EXPECT_NE(access(dir.file("out.c").c_str(), F_OK), 0);

    run = runProgram("bin2array", {}, "in\nout.c\n", {dir.path()});
    EXPECT_EQ(run.output, first + second);
    EXPECT_EQ(readText(dir.file("out.c")), expectedText("in", {1, 2}));

    run = runProgram("bin2array", {"in"}, "one.c\n", {dir.path()});
    EXPECT_EQ(run.output, second);
    EXPECT_EQ(readText(dir.file("one.c")), expectedText("in", {1, 2}));

    run = runProgram("bin2array", {"in"}, "", {dir.path()}); // end of input: an empty answer
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, second);

    const std::string longName(128, 'n');
    run = runProgram("bin2array", {}, longName + "\nin\nlong.c\n", {dir.path()});
    EXPECT_EQ(run.output, "\nEnter name of input binary file to process:  \n"
                          "\nError, that answer is longer than 127 characters; please enter a shorter one.\n" +
                              first + second);
    EXPECT_EQ(readText(dir.file("long.c")), expectedText("in", {1, 2}));

    run = runProgram("bin2array", {longName, "x.c"}, "\n", {dir.path()});
    EXPECT_EQ(run.output, "\nError, a file name on the command line is longer than 127 characters.\n\n" + PauseText);
    EXPECT_NE(access(dir.file("x.c").c_str(), F_OK), 0);
}

TEST(bin2array, FailuresAreReportedAndLeaveFilesAlone)
{
    TempDir dir;
    writeFile(dir.file("in"), {1, 2, 3});
    writeText(dir.file("keep.c"), "precious");

    RunResult run = runProgram("bin2array", {"missing", "keep.c"}, "\n", {dir.path()});
    EXPECT_EQ(run.output, "\nError from fopen() for input file 'missing'.\n\n" + PauseText);
    mkdir(dir.file("folder").c_str(), 0777);
    run = runProgram("bin2array", {"folder", "keep.c"}, "\n", {dir.path()});
    EXPECT_EQ(run.output, "\nError from fopen() for input file 'folder'.\n\n" + PauseText);
    EXPECT_EQ(readText(dir.file("keep.c")), "precious");

    run = runProgram("bin2array", {"in", "no/such/out.c"}, "\n", {dir.path()});
    EXPECT_EQ(run.output, "\nError from open() for output file 'no/such/out.c'.\n\n" + PauseText);

    // The same file under another name: opening it as output would empty it.
    ASSERT_EQ(link(dir.file("in").c_str(), dir.file("alias").c_str()), 0);
    run = runProgram("bin2array", {"in", "./alias"}, "\n", {dir.path()});
    EXPECT_EQ(run.output, "\nError, output file './alias' is the input file; it is left as it was.\n\n" + PauseText);
    EXPECT_EQ(readFile(dir.file("in")), (Bytes{1, 2, 3}));

    run = runProgram("bin2array", {"in", "/dev/full"}, "\n", {dir.path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "\nError from write() for output file '/dev/full'; the array text is incomplete.\n\n" + PauseText);

    // A process's own memory opens, but reading its first page fails: the
    // array ends there and still gets its tail, with the count of what was read.
    run = runProgram("bin2array", {"/proc/self/mem", "mem.c"}, "\n", {dir.path()});
    EXPECT_EQ(run.output, "\nError from read() for input file '/proc/self/mem'; "
                          "the array ends where reading stopped.\n\n" +
                              PauseText);
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
