// The command line every program shares: options, the argument form's
// answers, failure reports and exit statuses. Each case runs in a child, as
// the state lives for a whole program run.
#include "capture.h"
#include "console.h"
#include "program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const ProgramForm Form{"demo", "IMAGE FILE...", 2, AnyNumber, "  IMAGE  an image\n  FILE   a file\n"};

// Starts the program with args (the program name first added), then asks
// up to three questions, printing each answer as [length:text].
Captured start(std::vector<std::string> args, const std::string& input = "",
               const ProgramForm& form = Form)
{
    return captureConsole(input, [&] {
        std::vector<char*> argv{const_cast<char*>("demo")};
        for (std::string& arg : args)
            argv.push_back(arg.data());
        const int started = startProgram(form, static_cast<int>(argv.size()), argv.data());
        if (started >= 0)
            return 100 + started;
        if (optionGiven("-f"))
            std::printf("<-f>");
        for (int i = 0; i < 3; ++i) {
            const int length = Ask("Q?  ", 10);
            std::printf("[%d:%s]", length, Ans);
            if (i == 0 && std::string(Ans) == "bad")
                reportFailure("failed on %s\n", Ans);
            if (i == 0 && std::string(Ans) == "odd")
                reportSetback("setback on %s\n", Ans);
            Pause();
        }
        return exitStatus(7);
    });
}

TEST(ProgramForm, WithoutArgumentsTheDialogueRunsUnchanged)
{
    const Captured run = start({}, "a\n\n");
    EXPECT_EQ(run.output, "Q?  \n[1:a]\n\nPress <cr> to continue ...  \n\nQ?  \n[0:]\n\nPress <cr> to continue ...  "
                          "\n\nQ?  \n[0:]\n\nPress <cr> to continue ...  \n\n");
    EXPECT_EQ(run.status, 7); // the dialogue's own status
}

TEST(ProgramForm, ArgumentsAreTheAnswersWithoutPromptOrPause)
{
    const Captured run = start({"img", "f1"}, "typed\n");
    EXPECT_EQ(run.output, "[3:img][2:f1][0:]");
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.status, 0);
}

TEST(ProgramForm, AFailureEndsTheRunAndASetbackGoesOn)
{
    const Captured failed = start({"bad", "f1"});
    EXPECT_EQ(failed.output, "[3:bad][0:][0:]");
    EXPECT_EQ(failed.errors, "failed on bad\n");
    EXPECT_EQ(failed.status, 1);

    const Captured setback = start({"odd", "f1"});
    EXPECT_EQ(setback.output, "[3:odd][2:f1][0:]");
    EXPECT_EQ(setback.errors, "setback on odd\n");
    EXPECT_EQ(setback.status, 1);

    // In the dialogue both are printed where the dialogue prints, status unchanged.
    const Captured dialogue = start({}, "bad\n\n\n\n");
    EXPECT_NE(dialogue.output.find("[3:bad]failed on bad\n"), std::string::npos);
    EXPECT_EQ(dialogue.errors, "");
    EXPECT_EQ(dialogue.status, 7);
}

TEST(ProgramForm, AnOverLongArgumentIsAFailure)
{
    const Captured run = start({"elevenchars", "f1"});
    EXPECT_EQ(run.output, "[0:][0:][0:]");
    EXPECT_EQ(run.errors, "\nError, that answer is longer than 10 characters; please enter a shorter one.\n");
    EXPECT_EQ(run.status, 1);
}

constexpr std::string_view FixedOptions[]{"-f", "--all"};
constexpr NumberArgument FixedNumbers[]{{2, 16, "N"}, {3, 10, "M"}};
const ProgramForm Fixed{"tool", "[-f] [--all] PATH N [M]", 2, 3, "", false, FixedOptions, FixedNumbers};

TEST(ProgramForm, UsageErrorsNameTheProblemAndTheWayOut)
{
    const std::string usage = "usage: demo [IMAGE FILE...]\nTry 'demo --help'.\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"one"}, "1 arguments given; it takes at least 2"},
        {{"", "f"}, "argument 1 is empty"},
        {{"a", ""}, "argument 2 is empty"},
        {{"-x", "a", "b"}, "unknown option '-x'"},
        {{"--help", "a"}, "--help takes no other arguments"},
        {{"--version", "a"}, "--version takes no other arguments"},
        {{"--"}, "0 arguments given; it takes at least 2"},
        {{"--", "a"}, "1 arguments given; it takes at least 2"},
    };
    for (const auto& [args, problem] : cases) {
        const Captured run = start(args);
        EXPECT_EQ(run.status, 100 + 2) << args[0];
        EXPECT_EQ(run.output, "") << args[0];
        EXPECT_EQ(run.errors, "demo: " + problem + "\n" + usage) << args[0];
    }
    const std::vector<std::pair<std::vector<std::string>, std::string>> fixed{
        {{}, "0 arguments given; it takes 2 or 3"}, // no dialogue to fall back on
        {{"a", "b", "c", "d"}, "4 arguments given; it takes 2 or 3"},
        {{"-f", "-g", "p", "1"}, "unknown option '-g'"},
        {{"-f", "--help"}, "--help takes no other arguments"},
        {{"p", "0x"}, "N '0x' is not a hexadecimal number"},
        {{"--all", "p", " 1"}, "N ' 1' is not a hexadecimal number"},
        {{"p", "ff", "12abc"}, "M '12abc' is not a decimal number"},
        {{"p", "1", "0x1"}, "M '0x1' is not a decimal number"},
        {{"p", "1", "-1"}, "M '-1' is not a decimal number"},
    };
    for (const auto& [args, problem] : fixed)
        EXPECT_EQ(start(args, "", Fixed).errors,
                  "tool: " + problem + "\nusage: tool [-f] [--all] PATH N [M]\nTry 'tool --help'.\n");
}

TEST(ProgramForm, HelpVersionAndTheEndOfOptions)
{
    const Captured help = start({"--help"});
    EXPECT_EQ(help.status, 100);
    EXPECT_EQ(help.output.rfind("usage: demo [IMAGE FILE...]\nWithout arguments demo asks", 0), 0u) << help.output;
    EXPECT_NE(help.output.find("  IMAGE  an image\n  FILE   a file\n"), std::string::npos);
    EXPECT_NE(help.output.find("man demo"), std::string::npos);

    const Captured version = start({"--version"});
    EXPECT_EQ(version.status, 100);
    EXPECT_EQ(version.output, std::string("demo ") + SUITE_VERSION + "\n");

    // After "--", and for "-" alone, option-like words are answers.
    EXPECT_EQ(start({"--", "--help", "-x"}).output, "[6:--help][2:-x][0:]");
    EXPECT_EQ(start({"-", "f"}).output, "[1:-][1:f][0:]");
    // A program's own options come first, in any order; they are not answers.
    const Captured options = start({"--all", "-f", "p", "0Xff", "12"}, "", Fixed);
    EXPECT_EQ(options.output, "<-f>[1:p][4:0Xff][2:12]");
    EXPECT_EQ(options.status, 0);
}

} // namespace
