#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

const std::string DirectoryPrompt = "\nEnter path of raw ASM text files directory:  \n";
const std::string FilePrompt = "\nEnter raw ASM text file to process:  \n";
const std::string PauseText = "\n\nPress <cr> to continue ...  \n\n";
const std::string Hint =
    "Hint: change to the files' directory first and answer . as the directory; that keeps paths short.\n";

std::string processing(const std::string& input)
{
    return "\nProcessing file '" + input + "'\n\n\n  Creating file '" + input + "T'\n\n";
}

RunResult runIn(const TempDir& dir, const std::string& answers)
{
    return runProgram("asmspacer", {}, answers, RunOptions{dir.path()});
}

// The argument form: the answers as arguments, nothing on standard input.
RunResult runWith(const TempDir& dir, const std::vector<std::string>& args)
{
    return runProgram("asmspacer", args, "", RunOptions{dir.path()});
}

// Two files in one run: the second starts afresh (previous opcode and equ group key).
TEST(asmspacerDialogue, FilesOneAfterAnotherInASubdirectory)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("src"));
    writeText(dir.file("src/a"), "LC000 EQU $C000\n JMP X\n");
    writeText(dir.file("src/b"), "L0000 EQU 0\n NOP\n");
    const RunResult run = runIn(dir, "src\na\n\nb\n\n\n");
    EXPECT_EQ(run.output, DirectoryPrompt + FilePrompt + processing("src/a") + PauseText + FilePrompt +
                              processing("src/b") + PauseText + FilePrompt + PauseText);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(readText(dir.file("src/aT")), ";\nLC000 EQU $C000\n;\n JMP X\n");
    EXPECT_EQ(readText(dir.file("src/bT")), "L0000 EQU 0\n NOP\n");

    // The same answers as arguments: the same copies, no prompt, no pause.
    std::filesystem::remove(dir.file("src/aT"));
    std::filesystem::remove(dir.file("src/bT"));
    const RunResult arguments = runWith(dir, {"src", "a", "b"});
    EXPECT_EQ(arguments.output, processing("src/a") + processing("src/b"));
    EXPECT_EQ(arguments.errors, "");
    EXPECT_EQ(arguments.status, 0);
    EXPECT_EQ(readText(dir.file("src/aT")), ";\nLC000 EQU $C000\n;\n JMP X\n");
    EXPECT_EQ(readText(dir.file("src/bT")), "L0000 EQU 0\n NOP\n");
}

TEST(asmspacerDialogue, AnswersBeyondTheLimitsAreAskedAgain)
{
    TempDir dir;
    writeText(dir.file("n"), "");
    const std::string refused = "\nError, that answer is longer than ";
    const RunResult run = runIn(dir, std::string(128, 'd') + "\n.\n" + std::string(31, 'f') + "\n" +
                                         std::string(28, 'g') + "\nn\n\n");
    EXPECT_EQ(run.output, DirectoryPrompt + refused + "127 characters; please enter a shorter one.\n" + Hint +
                              DirectoryPrompt + FilePrompt + refused + "30 characters; please enter a shorter one.\n" +
                              Hint + FilePrompt +
                              "\nError, directory and file name together are longer than 28 characters; please "
                              "enter a shorter name.\n" +
                              Hint + FilePrompt + processing("./n") + PauseText + FilePrompt + PauseText);
    EXPECT_EQ(readText(dir.file("nT")), "");

    // As arguments, a path too long ends the run before any file is made.
    std::filesystem::remove(dir.file("nT"));
    const RunResult arguments = runWith(dir, {".", std::string(28, 'g'), "n"});
    EXPECT_EQ(arguments.status, 1);
    EXPECT_EQ(arguments.output, "");
    EXPECT_EQ(arguments.errors, "\nError, directory and file name together are longer than 28 characters; please "
                                "enter a shorter name.\n" + Hint);
    EXPECT_FALSE(std::filesystem::exists(dir.file("nT")));
}

TEST(asmspacerDialogue, EmptyAnswersAndEndOfInput)
{
    TempDir dir;
    EXPECT_EQ(runIn(dir, "\n").output, DirectoryPrompt);
    EXPECT_EQ(runIn(dir, "").output, DirectoryPrompt);
    EXPECT_EQ(runIn(dir, ".\n").output, DirectoryPrompt + FilePrompt + PauseText);
}

TEST(asmspacerDialogue, OpenFailuresEndTheRun)
{
    TempDir dir;
    const std::string inputFailed = "\nError from open() for input file './missing'.\n\n";
    EXPECT_EQ(runIn(dir, ".\nmissing\n\nmore\n").output, DirectoryPrompt + FilePrompt + processing("./missing") +
                                                             inputFailed + PauseText);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missingT")));
    writeText(dir.file("q"), " NOP\n");
    const RunResult arguments = runWith(dir, {".", "missing", "q"});
    EXPECT_EQ(arguments.status, 1);
    EXPECT_EQ(arguments.output, processing("./missing"));
    EXPECT_EQ(arguments.errors, inputFailed);
    EXPECT_FALSE(std::filesystem::exists(dir.file("qT")));

    std::filesystem::create_directory(dir.file("folder"));
    EXPECT_EQ(runIn(dir, ".\nfolder\n").output, DirectoryPrompt + FilePrompt + processing("./folder") +
                                                    "\nError from open() for input file './folder'.\n\n" + PauseText);

    writeText(dir.file("p"), " NOP\n");
    std::filesystem::create_directory(dir.file("pT"));
    EXPECT_EQ(runIn(dir, ".\np\n\nmore\n").output, DirectoryPrompt + FilePrompt + processing("./p") +
                                                       "\nError from open() for output file './pT'.\n\n" + PauseText);
}

// An output that is the input under another name would replace it.
TEST(asmspacerDialogue, OutputThatIsTheInputIsRefused)
{
    TempDir dir;
    writeText(dir.file("p"), " LDA #1\n");
    ASSERT_EQ(link(dir.file("p").c_str(), dir.file("pT").c_str()), 0);
    EXPECT_EQ(runIn(dir, ".\np\n").output,
              DirectoryPrompt + FilePrompt + processing("./p") +
                  "\nError, output file './pT' is the input file itself; it is left as it is.\n\n" + PauseText);
    EXPECT_EQ(readText(dir.file("p")), " LDA #1\n");
}

TEST(asmspacerDialogue, FailedWriteReturnsToTheFilePrompt)
{
    TempDir dir;
    writeText(dir.file("p"), " LDA #1\n");
    std::filesystem::create_symlink("/dev/full", dir.file("pT"));
    EXPECT_EQ(runIn(dir, ".\np\n\n\n").output, DirectoryPrompt + FilePrompt + processing("./p") +
                                                   "\nError in writing to output file './pT'.\n\n" + PauseText +
                                                   FilePrompt + PauseText);

    // As arguments the run goes on with the next file too, and ends with status 1.
    writeText(dir.file("q"), " NOP\n");
    const RunResult arguments = runWith(dir, {".", "p", "q"});
    EXPECT_EQ(arguments.status, 1);
    EXPECT_EQ(arguments.output, processing("./p") + processing("./q"));
    EXPECT_EQ(arguments.errors, "\nError in writing to output file './pT'.\n\n");
    EXPECT_EQ(readText(dir.file("qT")), " NOP\n");
}

TEST(asmspacerArguments, OptionsAndUsage)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("-d"));
    writeText(dir.file("-d/p"), " RTS\n");
    const RunResult missingFile = runWith(dir, {"-d"});
    EXPECT_EQ(missingFile.status, 2);
    EXPECT_NE(missingFile.errors.find("\nusage: asmspacer [DIR FILE...]\n"), std::string::npos);
    EXPECT_EQ(runWith(dir, {"-d", "p"}).status, 2); // an unknown option
    EXPECT_FALSE(std::filesystem::exists(dir.file("-d/pT")));
    const RunResult ended = runWith(dir, {"--", "-d", "p"});
    EXPECT_EQ(ended.status, 0);
    EXPECT_EQ(readText(dir.file("-d/pT")), ";\n RTS\n");

    const RunResult help = runWith(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("usage: asmspacer [DIR FILE...]\n", 0), 0u) << help.output;
    EXPECT_NE(help.output.find("\n  FILE  a source file in DIR;"), std::string::npos) << help.output;
    const RunResult version = runWith(dir, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.output, std::regex("asmspacer [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.output;
}

} // namespace
