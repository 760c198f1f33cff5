#include "program.h"

#include <cstdarg>

namespace {

std::span<char*> Remaining; // a part of argv
bool FromArguments = false;
bool Ended = false;
bool Failed = false;

// "IMAGE DIR FILE..." as the usage shows it: in brackets when the program
// can also run without arguments.
void printUsage(std::FILE* stream, const ProgramForm& form)
{
    const bool optional = form.dialogue && form.fewest > 0;
    std::fprintf(stream, "usage: %s %s%s%s\n", form.name, optional ? "[" : "", form.synopsis, optional ? "]" : "");
}

int usageError(const ProgramForm& form)
{
    printUsage(stderr, form);
    return ExitUsage;
}

void printHelp(const ProgramForm& form)
{
    printUsage(stdout, form);
    if (form.dialogue)
        std::printf("Without arguments %s asks its questions one by one; given arguments, it takes them as "
                    "its answers, in the order it asks for them, and never waits for input.\n",
                    form.name);
    std::fputs(form.arguments, stdout);
    std::printf("Options, as the first argument only: --help, --version, and -- to end the options.\n"
                "Manual page: man %s\n",
                form.name);
}

// Where failure reports go: standard output, or standard error in the argument form.
std::FILE* failureStream()
{
    return FromArguments ? stderr : stdout;
}

// Prints a failure where failures go; in the argument form it fails the
// run, and when ends is set it also ends it.
void report(bool ends, const char* format, va_list list)
{
    std::FILE* stream = failureStream();
    std::fflush(stdout);
    std::vfprintf(stream, format, list);
    std::fflush(stream);
    Failed = Failed || FromArguments;
    Ended = Ended || (FromArguments && ends);
}

} // namespace

int startProgram(const ProgramForm& form, int argc, char** argv)
{
    std::span<char*> args(argv, static_cast<size_t>(argc));
    if (!args.empty())
        args = args.subspan(1);
    if (args.empty())
        return form.dialogue ? -1 : usageError(form);

    const std::string_view first = args[0];
    if (first == "--help" || first == "--version") {
        if (args.size() > 1)
            return usageError(form);
        if (first == "--help")
            printHelp(form);
        else
            std::printf("%s %s\n", form.name, SUITE_VERSION);
        return ExitOk;
    }
    if (first == "--")
        args = args.subspan(1);
    else if (first.size() > 1 && first[0] == '-' && first != form.flag)
        return usageError(form); // an unknown option; "-" alone names a file

    const auto count = static_cast<int>(args.size());
    if (count < form.fewest || (form.most != AnyNumber && count > form.most))
        return usageError(form);
    for (const char* arg : args)
        if (arg[0] == '\0')
            return usageError(form);
    Remaining = args;
    FromArguments = true;
    return -1;
}

int programMain(const ProgramForm& form, int argc, char** argv, int (*entry)())
{
    const int started = startProgram(form, argc, argv);
    return started >= 0 ? started : exitStatus(entry());
}

bool argumentForm()
{
    return FromArguments;
}

std::span<char*> argumentAnswers()
{
    return Remaining;
}

std::string_view nextArgumentAnswer()
{
    if (Ended || Remaining.empty())
        return {};
    const std::string_view answer = Remaining.front();
    Remaining = Remaining.subspan(1);
    return answer;
}

void reportFailure(const char* format, ...)
{
    va_list list;
    va_start(list, format);
    report(true, format, list);
    va_end(list);
}

void reportSetback(const char* format, ...)
{
    va_list list;
    va_start(list, format);
    report(false, format, list);
    va_end(list);
}

void countFailure()
{
    if (FromArguments)
        Failed = true;
}

bool runEnded()
{
    return Ended;
}

int exitStatus(int dialogueStatus)
{
    if (!FromArguments)
        return dialogueStatus;
    return Failed ? ExitFailure : ExitOk;
}
