// Running one program of the suite the way a script would: answers piped
// from a file, output captured, killed when it runs too long.
#pragma once

#include <string>
#include <vector>

struct Outcome {
    bool started = false;  // the program could be started at all
    bool exited = false;   // it ended by exit (not by a signal or the timeout)
    int status = -1;       // its exit status when exited
    int signal = 0;        // the signal that ended it, when it did not exit
    bool timedOut = false; // killed at the timeout
    std::string output;    // standard output
    std::string errors;    // standard error: empty for every sound run
};

// Starts program with args in folder cwd; standard input comes from the
// file answersPath; the sanitizers report with a distinct exit status.
Outcome runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                   const std::string& answersPath, int timeoutSeconds);
