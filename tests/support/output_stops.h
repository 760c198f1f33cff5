// A program that replaces a host file, stopped from outside at each step
// of the writing: the file must come out whole or as it was.
#pragma once

#include "run_program.h"

#include <string>
#include <vector>

// A run of the argument form that replaces one existing file, output, in
// folder; folder holds nothing else but the run's inputs.
struct OutputJob {
    std::string program;
    std::vector<std::string> args;
    std::string folder;
    std::string output;      // the output's name in folder
    std::string failureText; // part of what standard error shows when writing the output fails
    RunOptions options = {};
};

// A clean run under strace first, which must change the output, shows the
// write, fsync and rename calls of the output's temporary file. Then the job
// is run once for each stop: each of those writes failed with ENOSPC, killed
// (SIGKILL) and ended (SIGTERM) there; the fsync failed and ended there; the
// rename failed. After each, output holds its old bytes and folder holds
// just what it held; only after SIGKILL, which nothing can catch, may the
// temporary file be left as well (it is removed for the next stop).
void expectEveryStopKeepsTheOutput(const OutputJob& job);
