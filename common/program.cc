#include "program.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::span<char*> Remaining; // a part of argv
std::span<char*> Options;   // the options given, a part of argv
bool FromArguments = false;
bool Ended = false;
bool Failed = false;
bool OutputClosed = false;       // descriptor 1 was closed at start

// "IMAGE DIR FILE..." as the usage shows it: in brackets when the program
// can also run without arguments.
void printUsage(std::FILE* stream, const ProgramForm& form)
{
    const bool optional = form.dialogue && form.fewest > 0;
    std::fprintf(stream, "usage: %s %s%s%s\n", form.name, optional ? "[" : "", form.synopsis, optional ? "]" : "");
}

void vusageProblem(const ProgramForm& form, const char* format, va_list list)
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s: ", form.name);
    std::vfprintf(stderr, format, list);
    printUsage(stderr, form);
    std::fprintf(stderr, "Try '%s --help'.\n", form.name);
}

void printHelp(const ProgramForm& form)
{
    printUsage(stdout, form);
    if (form.dialogue)
        std::printf("Without arguments %s asks its questions one by one; given arguments, it takes them as "
                    "its answers, in the order it asks for them, and never waits for input.\n",
                    form.name);
    std::fputs(form.arguments, stdout);
    std::printf("Given alone, --help prints this text and --version the version; -- ends the options, so that "
                "a name beginning with - can follow.\nManual page: man %s\n",
                form.name);
}

// How many arguments the form takes, as the usage error says it.
void describeCount(const ProgramForm& form, char* out, size_t size)
{
    if (form.most == AnyNumber)
        std::snprintf(out, size, "at least %d", form.fewest);
    else if (form.most == form.fewest)
        std::snprintf(out, size, "exactly %d", form.fewest);
    else if (form.most == form.fewest + 1)
        std::snprintf(out, size, "%d or %d", form.fewest, form.most);
    else
        std::snprintf(out, size, "%d to %d", form.fewest, form.most);
}

bool isOption(const ProgramForm& form, std::string_view word)
{
    return std::find(form.options.begin(), form.options.end(), word) != form.options.end();
}

// Gives each closed standard descriptor /dev/null, lowest first, so that
// open() hands it out in its place.
void fillStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (fd == STDOUT_FILENO)
            OutputClosed = true;
        const int opened = open("/dev/null", O_RDWR);
        if (opened >= 0 && opened != fd) { // not the lowest free one: cannot happen, but never keep it
            dup2(opened, fd);
            close(opened);
        }
    }
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

int usageProblem(const ProgramForm& form, const char* format, ...)
{
    va_list list;
    va_start(list, format);
    vusageProblem(form, format, list);
    va_end(list);
    return ExitUsage;
}

bool wholeNumber(std::string_view text, int base, uint64_t& value)
{
    if (base == 16 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    if (text.empty())
        return false;
    value = 0;
    for (char ch : text) {
        const int digit = ch >= '0' && ch <= '9'   ? ch - '0'
                          : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
                          : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                                                   : 99;
        if (digit >= base)
            return false;
        const auto radix = static_cast<uint64_t>(base);
        value = value > (UINT64_MAX - static_cast<uint64_t>(digit)) / radix ? UINT64_MAX
                                                                            : value * radix + static_cast<uint64_t>(digit);
    }
    return true;
}

int startProgram(const ProgramForm& form, int argc, char** argv)
{
    fillStandardDescriptors();
    std::span<char*> args(argv, static_cast<size_t>(argc));
    if (!args.empty())
        args = args.subspan(1);
    if (args.empty() && form.dialogue)
        return -1;

    if (!args.empty()) {
        const std::string_view first = args[0];
        if (first == "--help" || first == "--version") {
            if (args.size() > 1)
                return usageProblem(form, "%s takes no other arguments\n", args[0]);
            if (first == "--help")
                printHelp(form);
            else
                std::printf("%s %s\n", form.name, SUITE_VERSION);
            return ExitOk;
        }
    }
    size_t optionCount = 0;
    bool endMarked = false;
    for (; optionCount < args.size(); ++optionCount) {
        const std::string_view word = args[optionCount];
        if (word == "--") {
            endMarked = true;
            break;
        }
        if (word == "--help" || word == "--version")
            return usageProblem(form, "%s takes no other arguments\n", args[optionCount]);
        if (isOption(form, word))
            continue;
        if (word.size() > 1 && word[0] == '-') // "-" alone names a file
            return usageProblem(form, "unknown option '%s'\n", args[optionCount]);
        break;
    }
    Options = args.first(optionCount);
    args = args.subspan(optionCount + (endMarked ? 1 : 0));

    const auto count = static_cast<int>(args.size());
    if (count < form.fewest || (form.most != AnyNumber && count > form.most)) {
        char takes[32];
        describeCount(form, takes, sizeof takes);
        return usageProblem(form, "%d arguments given; it takes %s\n", count, takes);
    }
    for (size_t i = 0; i < args.size(); ++i)
        if (args[i][0] == '\0')
            return usageProblem(form, "argument %d is empty\n", static_cast<int>(i + 1));
    for (const NumberArgument& number : form.numbers) {
        uint64_t value = 0;
        if (number.position <= count &&
            !wholeNumber(args[static_cast<size_t>(number.position - 1)], number.base, value))
            return usageProblem(form, "%s '%s' is not a %s number\n", number.name,
                                args[static_cast<size_t>(number.position - 1)],
                                number.base == 16 ? "hexadecimal" : "decimal");
    }
    Remaining = args;
    FromArguments = true;
    return -1;
}

bool optionGiven(std::string_view option)
{
    return std::find(Options.begin(), Options.end(), option) != Options.end();
}

bool refuseClosedStandardOutput()
{
    if (OutputClosed)
        reportFailure("\nError from write() for standard output.\n\n");
    return OutputClosed;
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

void reportNote(const char* format, ...)
{
    std::FILE* stream = failureStream();
    std::fflush(stdout);
    va_list list;
    va_start(list, format);
    std::vfprintf(stream, format, list);
    va_end(list);
    std::fflush(stream);
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

bool flushStandardOutput()
{
    const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    if (written || !FromArguments)
        return true;
    // A program that has told a failure of its own (its output incomplete) is not told twice.
    if (!Failed)
        std::fprintf(stderr, "\nError from write() for standard output.\n\n");
    Failed = true;
    Ended = true;
    return false;
}

int exitStatus(int dialogueStatus)
{
    if (!FromArguments)
        return dialogueStatus;
    flushStandardOutput();
    return Failed ? ExitFailure : ExitOk;
}
