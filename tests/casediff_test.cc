#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>
#include <sys/stat.h>

namespace {

const std::string Questions = "\nEnter path of input file to process:  \n\nEnter path of output file:  \n";
const std::string Usage = "usage: casediff [INPUT OUTPUT]\n";
const std::string PauseText = "\n\nPress <cr> to continue ...  \n\n";
const std::string Listing = "* compare of two catalogs\n0300-C8 (E8)\n0301-C5 (E5)\n0302-CC (EC)\n0303-CC (EC)\n"
                            "0304-CF (EF)\n0306-41 (42)\n0307-61 (41)\n";

bool exists(const std::string& path)
{
    struct stat status{};
    return stat(path.c_str(), &status) == 0;
}

} // namespace

TEST(CasediffRun, WorkedExample)
{
    TempDir dir;
    writeText(dir.file("listing.txt"), Listing);
    const RunResult run = runProgram("casediff", {}, dir.file("listing.txt") + "\n" + dir.file("out.txt") + "\n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, Questions + PauseText);
    EXPECT_EQ(readText(dir.file("out.txt")), "\nhello\n0306:  41  42\na");
}

TEST(CasediffRun, FilesThatCannotBeOpenedAreToldWithStatusZero)
{
    TempDir dir;
    writeText(dir.file("listing.txt"), Listing);
    const std::string missing = dir.file("none/such");
    RunResult run = runProgram("casediff", {}, missing + "\n" + dir.file("out.txt") + "\n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, Questions + "\nError from fopen() for input file '" + missing + "'.\n\n" + PauseText);
    EXPECT_FALSE(exists(dir.file("out.txt")));

    run = runProgram("casediff", {}, dir.file("listing.txt") + "\n" + missing + "\n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, Questions + "\nError from fopen() for output file '" + missing + "'.\n\n" + PauseText);
}

TEST(CasediffRun, OutputThatIsTheInputIsRefused)
{
    TempDir dir;
    const std::string listing = dir.file("listing.txt");
    writeText(listing, Listing);
    const RunResult run = runProgram("casediff", {}, listing + "\n" + dir.path() + "/./listing.txt\n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, Questions + "\nError, output file '" + dir.path() +
                              "/./listing.txt' is the same file as input file '" + listing + "'.\n\n" + PauseText);
    EXPECT_EQ(readText(listing), Listing);
}

TEST(CasediffRun, EndOfInputAtTheOutputQuestionEndsWithoutWriting)
{
    TempDir dir;
    const std::string listing = dir.file("listing.txt");
    writeText(listing, Listing);
    const RunResult run = runProgram("casediff", {}, listing + "\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, Questions);
    EXPECT_EQ(readText(listing), Listing);
}

TEST(CasediffRun, FailedReadAndFailedWriteAreTold)
{
    TempDir dir;
    writeText(dir.file("listing.txt"), Listing);
    RunResult run = runProgram("casediff", {}, dir.path() + "\n" + dir.file("out.txt") + "\n\n");
    EXPECT_EQ(run.output, Questions + "\nError from fgets() for input file '" + dir.path() +
                              "'; the listing was not read to its end.\n\n" + PauseText);
    run = runProgram("casediff", {}, dir.file("listing.txt") + "\n/dev/full\n\n");
    EXPECT_EQ(run.output,
              Questions + "\nError from fwrite() for output file '/dev/full'; the output is not complete.\n\n" +
                  PauseText);
    EXPECT_EQ(run.status, 0);
}

TEST(CasediffRun, PathOf128CharactersIsRefusedAndAskedAgain)
{
    const RunResult run = runProgram("casediff", {}, std::string(128, 'p') + "\n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "\nEnter path of input file to process:  \n\nError, that answer is longer than 127 "
                          "characters; please enter a shorter one.\n\nEnter path of input file to process:  \n");
}

// The argument form: the two paths as arguments, no prompt and no pause.

TEST(CasediffArguments, TheTwoPathsDoTheWholeJob)
{
    TempDir dir;
    writeText(dir.file("listing.txt"), Listing);
    const RunResult run = runProgram("casediff", {dir.file("listing.txt"), dir.file("out.txt")}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(readText(dir.file("out.txt")), "\nhello\n0306:  41  42\na");

    // "--" ends the options, so a listing may be named like one.
    writeText(dir.file("--help"), Listing);
    const RunResult named = runProgram("casediff", {"--", "--help", "named.txt"}, "", RunOptions{dir.path()});
    EXPECT_EQ(named.status, 0);
    EXPECT_EQ(named.errors, "");
    EXPECT_EQ(readText(dir.file("named.txt")), "\nhello\n0306:  41  42\na");
}

TEST(CasediffArguments, EveryFailureEndsTheRunWithStatusOne)
{
    TempDir dir;
    const std::string listing = dir.file("listing.txt");
    writeText(listing, Listing);
    const std::string missing = dir.file("none/such");
    RunResult run = runProgram("casediff", {missing, dir.file("out.txt")}, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, "\nError from fopen() for input file '" + missing + "'.\n\n");
    EXPECT_FALSE(exists(dir.file("out.txt")));

    run = runProgram("casediff", {listing, dir.path() + "/./listing.txt"}, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors, "\nError, output file '" + dir.path() + "/./listing.txt' is the same file as input file '" +
                              listing + "'.\n\n");
    EXPECT_EQ(readText(listing), Listing);

    run = runProgram("casediff", {dir.path(), dir.file("out.txt")}, ""); // a folder cannot be read
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors,
              "\nError from fgets() for input file '" + dir.path() + "'; the listing was not read to its end.\n\n");

    run = runProgram("casediff", {listing, "/dev/full"}, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, "\nError from fwrite() for output file '/dev/full'; the output is not complete.\n\n");

    run = runProgram("casediff", {std::string(128, 'p'), dir.file("long.txt")}, "");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "");
    EXPECT_NE(run.errors.find("longer than 127 characters"), std::string::npos) << run.errors;
    EXPECT_FALSE(exists(dir.file("long.txt")));
}

TEST(CasediffArguments, AListingOfAnotherFormIsNoted)
{
    TempDir dir;
    writeText(dir.file("dumpA.bin"), "INSERT DISK");
    writeText(dir.file("dumpB.bin"), "insert disk");
    ASSERT_EQ(runProgram("/bin/sh", {"-c", "cmp -l dumpA.bin dumpB.bin > cmp.txt"}, "", {dir.path()}).status, 1);
    writeText(dir.file("comments.txt"), "# nothing differs\n\n");
    const std::string note = "\nNote, no line of input file 'cmp.txt' has the compare form address-byteA (byteB) in "
                             "hexadecimal, as in 0300-C8 (E8); the output is empty. The lines of cmp -l need "
                             "converting first: see man casediff.\n\n";
    // Comments alone are no listing of another form.
    for (const auto& [listing, errors] : {std::pair{"cmp.txt", note}, {"comments.txt", ""}}) {
        const RunResult run = runProgram("casediff", {listing, "out.txt"}, "", {dir.path()});
        EXPECT_EQ(run.status, 0) << listing;
        EXPECT_EQ(run.errors, errors) << listing;
        EXPECT_EQ(readText(dir.file("out.txt")), "") << listing;
    }
}

TEST(CasediffArguments, UsageErrorsAndOptions)
{
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"listing.txt"}, {"listing.txt", "out.txt", "more.txt"}}) {
        const RunResult run = runProgram("casediff", args, "listing.txt\nout.txt\n\n");
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_EQ(run.output, "") << args[0];
        EXPECT_NE(run.errors.find("\n" + Usage), std::string::npos) << args[0];
    }

    RunResult run = runProgram("casediff", {"--help"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.rfind(Usage, 0), 0u) << run.output;
    EXPECT_NE(run.output.find("  INPUT   the compare listing to condense\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("man casediff"), std::string::npos) << run.output;

    run = runProgram("casediff", {"--version"}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, std::string("casediff ") + SUITE_VERSION + "\n");
}
