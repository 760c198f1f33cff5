// Runs a built program of the suite as a user would: given arguments, piped
// answers on standard input, standard output captured.
#pragma once

#include <string>
#include <vector>

struct RunResult {
    std::string output; // everything written to standard output
    std::string errors; // everything written to standard error
    int status = -1;    // exit status, or -1 when the program did not exit normally
    bool timedOut = false;
};

struct RunOptions {
    std::string cwd = {};     // working folder; empty keeps the test's own
    bool asNobody = false;    // run as user nobody, so file modes apply
    int timeoutSeconds = 30;  // the program is killed after this
};

// Path of a built program, e.g. programPath("dskputdos").
std::string programPath(const std::string& name);

// Starts the program (a name from the build's bin folder, or an absolute
// path) with args, feeds input on standard input and closes it.
RunResult runProgram(const std::string& name, const std::vector<std::string>& args, const std::string& input,
                     const RunOptions& options = {});

// strace stops a program from outside: a call made to fail, a signal at a
// call (scripts/test.sh installs it).
inline const std::string StracePath = "/usr/bin/strace";

// runProgram under strace, given strace's options, e.g. {"-o", "/dev/null",
// "-e", "inject=write:error=ENOSPC:when=2"}. Standard error holds strace's
// own messages too, unless the options send them elsewhere.
RunResult runUnderStrace(const std::vector<std::string>& straceOptions, const std::string& name,
                         const std::vector<std::string>& args, const std::string& input,
                         const RunOptions& options = {});
