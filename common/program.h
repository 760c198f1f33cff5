// How a program of the suite starts and ends: its command line (the options
// and the argument form), its failure reports and its exit status.
//
// Every program holds its dialogue, and most can also be given the answers
// as arguments, in the order the dialogue asks for them. The dialogue code is
// the same either way: Ask takes the next argument instead of reading a line,
// Pause is passed over, and a failure report goes to standard error and ends
// the run (the next question gets an empty answer) or only marks it failed.
#pragma once

#include <cstdio>
#include <span>
#include <string_view>

inline constexpr int ExitOk = 0;      // the job was done; also every ending of a dialogue
inline constexpr int ExitFailure = 1; // argument form: something failed
inline constexpr int ExitUsage = 2;   // the command line is wrong

// Room for a path answer: 127 characters and the string end.
inline constexpr int PathSize = 128;

inline constexpr int AnyNumber = -1;

// What the command line of one program may hold.
struct ProgramForm {
    const char* name;       // as in its manual page
    const char* synopsis;   // the argument form, e.g. "IMAGE DIR FILE..."
    int fewest;             // fewest arguments of the argument form
    int most;               // most arguments, or AnyNumber
    const char* arguments;  // --help's lines on what each argument is
    bool dialogue = true;   // run without arguments, it holds its dialogue
    const char* flag = "";  // an option-like first argument it takes as an argument ("-f")
};

// Reads the command line. Returns -1 when the program is to run, as a
// dialogue (no arguments) or in its argument form. Otherwise --help,
// --version or a usage error has been printed and the program is to end with
// the returned status. Options count only as the first argument; "--" there
// ends them. An empty argument is a usage error.
int startProgram(const ProgramForm& form, int argc, char** argv);

// The whole of a program's main: startProgram, then the dialogue's entry
// routine unless the command line ended the run, then exitStatus.
int programMain(const ProgramForm& form, int argc, char** argv, int (*entry)());

// Whether the answers come from the command line.
bool argumentForm();

// The arguments still to be answered, in order. A program may rewrite them
// before the dialogue starts (dskputdos turns "3.3" into its menu's "1").
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

// Marks the argument form's run failed, for a failure the program tells
// among its regular output on standard output (a byte that differs, in
// aiffverify's report): the run goes on, and the status will be 1.
void countFailure();

// Whether the argument form's run has ended on a failure (reportFailure).
bool runEnded();

// The status to end with: the dialogue's own, or in the argument form 0 when
// nothing failed and 1 otherwise.
int exitStatus(int dialogueStatus);
