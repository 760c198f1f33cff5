// Runs a piece of in-process code in a child whose standard input is the
// given text and whose standard output and error are captured: for testing console
// routines that read stdin and print on stdout.
#pragma once

#include <functional>
#include <string>

struct Captured {
    std::string output;
    std::string errors; // standard error
    int status = -1;
};

// The child runs body, flushes stdout and exits with body's return value.
Captured captureConsole(const std::string& input, const std::function<int()>& body);
