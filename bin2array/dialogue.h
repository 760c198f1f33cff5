// bin2array's dialogue: the two names from the command line or from
// questions, the checks on them, and the conversion.
#pragma once

#include <span>

// Runs the program with its command-line arguments (the program name not
// among them); returns the exit status.
int bin2arrayMain(std::span<char* const> args);
