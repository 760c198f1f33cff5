#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string Prompt = "\nEnter path of input text file to process:  \n";
const std::string PauseText = "\n\nPress <cr> to continue ...  \n\n";

// Writes text as in.txt in dir, runs array2bin there on it, returns the console output.
std::string convert(const TempDir& dir, const std::string& text, const std::string& answers = "in.txt\n\n")
{
    writeText(dir.file("in.txt"), text);
    RunResult run = runProgram("array2bin", {}, answers, {dir.path()});
    EXPECT_EQ(run.status, 0);
    return run.output;
}

// The same in the argument form: in.txt is the one argument, nothing is typed.
RunResult convertGiven(const TempDir& dir, const std::string& text)
{
    writeText(dir.file("in.txt"), text);
    return runProgram("array2bin", {"in.txt"}, "", {dir.path()});
}

Bytes withHeader(uint8_t low, uint8_t high, Bytes data)
{
    data.insert(data.begin(), {0x00, 0x10, low, high});
    return data;
}

bool exists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

} // namespace

TEST(array2bin, ConvertsArraysAndChecksTheirLengths)
{
    TempDir dir;
    const std::string output = convert(dir, "# made by hand\n"
                                            "unsigned char ABC[] = { 0x55, 0x66\n"
                                            "0x01, 0x02,\n"
                                            "* comment inside the array\n"
                                            "\n"
                                            " 0x03\n"
                                            "};\n"
                                            "unsigned int ABC_len = 3;\n"
                                            "int stray;\n"
                                            " unsigned char GHI[] = {\n"
                                            "unsigned short x;\n"
                                            "unsigned char DEF[] = {\n"
                                            "  0x 1f, 100, 0x0a,0x0b\n"
                                            "0x1ff, } ,\n"
                                            "0x0b,0X0B,0b,-1,0x,\t7,,   ,zz,0x0000000000000000000042\n"
                                            "}\n"
                                            "unsigned int DEF_len = 13;\n"
                                            "unsigned int XYZ_len = 12;\n"
                                            "unsigned int ABC_len = 4;\n");
    EXPECT_EQ(output, Prompt + "File ABC is done\n"
                               "Both file names compare to ABC.\n"
                               "Number of bytes read for ABC is correct.\n"
                               "Received unexpected parameter value:\nint stray;.\n"
                               "Received unexpected parameter value:\n unsigned char GHI[] = {.\n"
                               "Received unexpected parameter value:\nunsigned short x;.\n"
                               "File DEF is done\n"
                               "Both file names compare to DEF.\n"
                               "Number of bytes read for DEF is correct.\n");
    EXPECT_EQ(readFile(dir.file("ABC")), withHeader(0x0B, 0x00, {1, 2, 3}));
    EXPECT_EQ(readFile(dir.file("DEF")), withHeader(0xAB, 0x00, {0x1f, 0x00, 0x0a, 0x0b, 0xff, 0x0b, 0x0b, 0x0b, 0xff,
                                                                 0x00, 0x07, 0x42}));
}

TEST(array2bin, LengthLinesConfirmNameAndCountApart)
{
    TempDir dir;
    EXPECT_EQ(convert(dir, "unsigned char ABC[] = {\n1,2,3\n}\n"
                           "unsigned int ABC_len =   3\n"
                           "unsigned int ABC_len = -3;\n"
                           "unsigned int ABC_len = 18446744073709551619;\n" // 2^64 + 3
                           "unsigned int ABC = 3;\n"
                           "unsigned char in[] = {\n1,2,3,4,5,6,7,8,9,10\n}\n"
                           "unsigned int in_bin_len = 10;\n" // the count's text starts at "en = 10"
                           "unsigned char E[] = {\n}\n"
                           "unsigned int E_len\n"),
              Prompt + "File ABC is done\n"
                       "Both file names compare to ABC.\nNumber of bytes read for ABC is correct.\n"
                       "Both file names compare to ABC.\n"
                       "Both file names compare to ABC.\n"
                       "File in is done\nBoth file names compare to in.\n"
                       "File E is done\nBoth file names compare to E.\n");
}

// A line of 255 characters holds 128 items at most; a longer one is cut there.
TEST(array2bin, LongLinesAreCut)
{
    TempDir dir;
    std::string items;
    for (int i = 0; i < 150; ++i)
        items += "1,";
    EXPECT_EQ(convert(dir, "unsigned char L[] = {\n" + items + "\n}\nunsigned int L_len = 128;\n"),
              Prompt + "File L is done\nBoth file names compare to L.\nNumber of bytes read for L is correct.\n");
    EXPECT_EQ(readFile(dir.file("L")), withHeader(0x0B, 0x00, Bytes(128, 1)));
}

TEST(array2bin, LengthTableByOrdinalAndTwelveArraysAtMost)
{
    TempDir dir;
    std::string text;
    std::string expected = Prompt;
    for (int i = 0; i < 14; ++i) {
        const std::string name = "A" + std::to_string(i);
        text += "unsigned char " + name + "[] = {\n0x" + "0123456789abcdef"[i] + "\n}\nunsigned int " + name + "_len = 1;\n";
        if (i < 12)
            expected += "File " + name + " is done\nBoth file names compare to " + name +
                        ".\nNumber of bytes read for " + name + " is correct.\n";
        else
            expected += "\nError, array '" + name +
                        "' is beyond the 12 arrays that have a length; no file is written for it.\n\n";
    }
    EXPECT_EQ(convert(dir, text), expected);
    const int lengths[12] = {11, 171, 509, 337, 291, 342, 319, 269, 914, 512, 48, 8960};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(readFile(dir.file("A" + std::to_string(i))),
                  withHeader(lengths[i] & 0xFF, lengths[i] >> 8, {static_cast<uint8_t>(i)}));
    EXPECT_FALSE(exists(dir.file("A12")));
}

TEST(array2bin, RefusesNamesThatLeaveTheFolderOrNameTheInput)
{
    TempDir dir;
    mkdir(dir.file("sub").c_str(), 0777);
    const std::string text = "unsigned char sub/x[] = {\n1\n}\n"
                             "unsigned int sub/x_len = 1;\n"
                             "unsigned char in.txt[] = {\n2\n}\n"
                             "unsigned char ok[] = {\n3\n}\n"
                             "unsigned char_NAME\n4\n}\n" // the 14th character is not looked at
                             "int stray;\n";
    const std::string refusals = "\nError, array name 'sub/x' holds a '/'; no file is written for it.\n\n"
                                 "\nError, output file 'in.txt' is the input file; no file is written for it.\n\n";
    const std::string stray = "Received unexpected parameter value:\nint stray;.\n";
    EXPECT_EQ(convert(dir, text), Prompt + refusals + "File ok is done\nFile NAME is done\n" + stray);
    EXPECT_FALSE(exists(dir.file("sub/x")));
    EXPECT_EQ(readText(dir.file("in.txt")), text);
    EXPECT_EQ(readFile(dir.file("ok")), withHeader(0xFD, 0x01, {3})); // refused arrays still take their place
    EXPECT_EQ(readFile(dir.file("NAME")), withHeader(0x51, 0x01, {4}));

    // Given as an argument, the conversion goes on past them too, and fails.
    TempDir given;
    mkdir(given.file("sub").c_str(), 0777);
    const RunResult run = convertGiven(given, text);
    EXPECT_EQ(run.output, "File ok is done\nFile NAME is done\n");
    EXPECT_EQ(run.errors, refusals + stray);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(readFile(given.file("NAME")), withHeader(0x51, 0x01, {4}));
}

TEST(array2bin, LengthBeforeAnyArrayAndInputEndingInsideOne)
{
    TempDir dir;
    EXPECT_EQ(convert(dir, "unsigned int X_len = 0;\nunsigned char X[] = {\n7,8\n"),
              Prompt + "Number of bytes read for  is correct.\nFile X is done\n");
    EXPECT_EQ(readFile(dir.file("X")), withHeader(0x0B, 0x00, {7, 8}));
    EXPECT_EQ(convert(dir, "# only\n\n* comments\n"), Prompt);
}

TEST(array2bin, FailuresToOpenReadOrWrite)
{
    TempDir dir;
    EXPECT_EQ(convert(dir, "", "\n"), Prompt);
    EXPECT_EQ(convert(dir, "", "missing\n\n"), Prompt + "\nError from fopen() for input file 'missing'.\n\n" + PauseText);
    EXPECT_EQ(convert(dir, "", ".\n\n"),
              Prompt + "\nError from fgets() for input file '.'; the conversion stopped there.\n\n" + PauseText);

    // An empty name cannot be opened: the pass stops, the earlier file is whole.
    EXPECT_EQ(convert(dir, "unsigned char A[]={\n1\n}\nunsigned char \n2\n}\nunsigned char C[] = {\n"),
              Prompt + "File A is done\n\nError from fopen() for output file ''.\n\n" + PauseText);
    EXPECT_EQ(readFile(dir.file("A")), withHeader(0x0B, 0x00, {1}));
    EXPECT_FALSE(exists(dir.file("C")));
    // Given as an argument, the same: at once, without a pause.
    TempDir given;
    const RunResult stopped = convertGiven(given, "unsigned char A[]={\n1\n}\nunsigned char \n2\n}\nunsigned char C[] = {\n");
    EXPECT_EQ(stopped.output, "File A is done\n");
    EXPECT_EQ(stopped.errors, "\nError from fopen() for output file ''.\n\n");
    EXPECT_EQ(stopped.status, 1);
    EXPECT_FALSE(exists(given.file("C")));

    // Run in /dev, the array named full is written to /dev/full, which takes nothing.
    writeText(dir.file("full.txt"), "unsigned char full[] = {\n1\n}\n");
    RunResult run = runProgram("array2bin", {}, dir.file("full.txt") + "\n\n", {"/dev"});
    EXPECT_EQ(run.output,
              Prompt + "\nError from fwrite() for output file 'full'; the file is incomplete.\n\n" + PauseText);
}

// The array text of the common "xxd -i" tool: twelve items a line.
TEST(array2bin, ReadsBackXxdArrayText)
{
    TempDir dir;
    const size_t sizes[] = {1000, 0, 12, 13};
    std::string text;
    std::string expected = Prompt;
    for (size_t n = 0; n < 4; ++n) {
        const std::string name = "blob" + std::to_string(n);
        const Bytes bytes = patternBytes(sizes[n], static_cast<uint32_t>(n));
        text += "unsigned char " + name + "[] = {\n";
        for (size_t k = 0; k < bytes.size(); ++k) {
            char item[8];
            std::snprintf(item, sizeof item, "0x%02x", bytes[k]);
            text += (k == 0 ? "  " : k % 12 != 0 ? ", " : ",\n  ") + std::string(item);
        }
        text += (bytes.empty() ? "" : "\n") + std::string("};\nunsigned int ") + name +
                "_len = " + std::to_string(bytes.size()) + ";\n";
        expected += "File " + name + " is done\nBoth file names compare to " + name +
                    ".\nNumber of bytes read for " + name + " is correct.\n";
    }
    EXPECT_EQ(convert(dir, text), expected);
    const int lengths[] = {11, 171, 509, 337};
    for (size_t n = 0; n < 4; ++n)
        EXPECT_EQ(readFile(dir.file("blob" + std::to_string(n))),
                  withHeader(lengths[n] & 0xFF, lengths[n] >> 8, patternBytes(sizes[n], static_cast<uint32_t>(n))));

    // Given as an argument: the same files and lines, no prompt.
    TempDir given;
    const RunResult run = convertGiven(given, text);
    EXPECT_EQ(run.output, expected.substr(Prompt.size()));
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.status, 0);
    for (size_t n = 0; n < 4; ++n) {
        const std::string name = "blob" + std::to_string(n);
        EXPECT_EQ(readFile(given.file(name)), readFile(dir.file(name))) << name;
    }
}

TEST(array2bin, CommandLine)
{
    TempDir dir;
    const RunResult usage = runProgram("array2bin", {"a.txt", "b.txt"}, "", {dir.path()});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.output, "");
    EXPECT_NE(usage.errors.find("\nusage: array2bin [INPUT]\n"), std::string::npos) << usage.errors;

    const RunResult help = runProgram("array2bin", {"--help"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.output.starts_with("usage: array2bin [INPUT]\n")) << help.output;
    EXPECT_NE(help.output.find("\n  INPUT  the array text;"), std::string::npos) << help.output;

    const RunResult version = runProgram("array2bin", {"--version"}, "");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.output, std::regex("array2bin [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.output;

    // After "--" an input named like an option is converted.
    writeText(dir.file("--help"), "unsigned char H[] = {\n1\n}\n");
    const RunResult named = runProgram("array2bin", {"--", "--help"}, "", {dir.path()});
    EXPECT_EQ(named.output, "File H is done\n");
    EXPECT_EQ(named.status, 0);
    EXPECT_EQ(readFile(dir.file("H")), withHeader(0x0B, 0x00, {1}));
}
