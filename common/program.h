// How a program of the suite starts and ends: its command line (the options
// and the argument form), its failure reports and its exit status.
//
// Every program holds its dialogue, and most can also be given the answers
// as arguments, in the order the dialogue asks for them. The dialogue code is
// the same either way: Ask takes the next argument instead of reading a line,
// Pause is passed over, and a failure report goes to standard error and ends
// the run (the next question gets an empty answer) or only marks it failed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

inline constexpr int ExitOk = 0;      // the job was done; also every ending of a dialogue
inline constexpr int ExitFailure = 1; // argument form: something failed
inline constexpr int ExitUsage = 2;   // the command line is wrong

// Room for a path answer: 127 characters and the string end.
inline constexpr int PathSize = 128;

inline constexpr int AnyNumber = -1;

// An argument that must be a whole number: all of it digits of base (16 with
// an optional 0x in front, or 10), no blank, no sign. Position counts the
// arguments after the options from 1; name is the synopsis's ("OFFSET").
struct NumberArgument {
    int position;
    int base;
    const char* name;
};

// What the command line of one program may hold.
struct ProgramForm {
    const char* name;       // as in its manual page
    const char* synopsis;   // the argument form with its options, e.g. "[-f] PATH TRACKS SECTORS"
    int fewest;             // fewest arguments of the argument form (after the options)
    int most;               // most arguments, or AnyNumber
    const char* arguments;  // --help's lines on each option and argument
    bool dialogue = true;   // run without arguments, it holds its dialogue
    std::span<const std::string_view> options = {};  // its own options, e.g. "-f"
    std::span<const NumberArgument> numbers = {};    // arguments checked as whole numbers
};

// Reads the command line. Returns -1 when the program is to run, as a
// dialogue (no arguments) or in its argument form. Otherwise --help,
// --version or a usage error has been printed and the program is to end with
// the returned status.
//
// The program's own options come first, in any order; "--" ends them, and so
// does the first word that is not one ("-" alone names a file). --help and
// --version count only as the first word. An empty argument, a wrong count
// and a malformed number are usage errors.
//
// Before anything else it opens /dev/null on each of descriptors 0, 1 and 2
// that is closed, so that no file the program opens later becomes one of
// them, and what it writes to such a stream is lost as with >/dev/null.
int startProgram(const ProgramForm& form, int argc, char** argv);

// Whether the option (one of form.options) was given.
bool optionGiven(std::string_view option);

// For a program whose product is standard output: when standard output was
// closed at the start, reports the failure to write it and returns true.
bool refuseClosedStandardOutput();

// A usage error found by the program itself: prints "NAME: " and the problem
// (printf-like, ending in a line feed), the usage line and where help is, on
// standard error. Returns ExitUsage.
int usageProblem(const ProgramForm& form, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Whether text is a whole number of base 16 (optional 0x) or 10; its value,
// held at UINT64_MAX when it does not fit, goes to value.
bool wholeNumber(std::string_view text, int base, uint64_t& value);

// The whole of a program's main: startProgram, then the dialogue's entry
// routine unless the command line ended the run, then exitStatus.
int programMain(const ProgramForm& form, int argc, char** argv, int (*entry)());

// Whether the answers come from the command line.
bool argumentForm();

// The arguments still to be answered, in order. A program may check or
// rewrite them before the dialogue starts.
std::span<char*> argumentAnswers();

// The next argument as an answer, or an empty one once they are used up or a
// failure has ended the run. For Ask.
std::string_view nextArgumentAnswer();

// Reports a failure, printf-like. In the dialogue it is printed on standard
// output and the dialogue goes on as it always did (asks again, or pauses
// and ends). In the argument form it goes to standard error and ends the
// run: every later question gets an empty answer, and the status will be 1.
void reportFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The same for a failure after which the program goes on with its work (a
// refused change, a byte that differs): in the argument form the run goes
// on, and the status will be 1.
void reportSetback(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A note that fails nothing, printf-like: on standard output in the
// dialogue, on standard error in the argument form.
void reportNote(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Marks the argument form's run failed, for a failure the program tells
// among its regular output on standard output (a byte that differs, in
// aiffverify's report): the run goes on, and the status will be 1.
void countFailure();

// Whether the argument form's run has ended on a failure (reportFailure).
bool runEnded();

// Flushes standard output. In the argument form a failure to write it is a
// failure of the run, reported once; returns false then.
bool flushStandardOutput();

// The status to end with: the dialogue's own, or in the argument form 0 when
// nothing failed and 1 otherwise. In the argument form, standard output is
// flushed first and a failure to write it fails the run.
int exitStatus(int dialogueStatus);
