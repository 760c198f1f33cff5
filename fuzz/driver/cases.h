// One generated case for one program: its files, its answers, and what the
// run may change.
#pragma once

#include "random.h"

#include <functional>
#include <string>
#include <vector>

struct Case {
    using Written = std::function<std::string(const std::string& path, const std::string& before,
                                              const std::string& after, const std::string& output)>;

    std::string program;           // a program of the suite's bin folder
    std::vector<std::string> args; // command-line arguments (bin2array only)
    std::string answers;           // piped on standard input, one answer a line
    std::string cwd;               // working folder, relative to the case folder
    std::vector<int> statuses{0};  // exit statuses of a sound run
    bool errorsExpected = false;   // failures are reported on standard error (the argument form)
    // Whether the run may write the file at this path (relative to the case
    // folder); every other file must be left byte for byte as it was.
    std::function<bool(const std::string&)> mayWrite = [](const std::string&) { return false; };
    // A further rule on a file the run may write (before is empty for a new
    // file): the broken rule, or an empty text.
    Written checkWritten = [](const std::string&, const std::string&, const std::string&, const std::string&) {
        return std::string();
    };
};

// The suite's programs, in the order the driver takes them.
extern const std::vector<std::string> Programs;

// Writes the files of a case for program into folder (which exists and is
// empty) and returns how to run it.
Case makeCase(Random& random, const std::string& program, const std::string& folder);
