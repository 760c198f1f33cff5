// Host files and paths: the path helper, what a path names, the same-file
// refusal, and the message for a file call that failed.
#pragma once

#include <cstdint>
#include <span>

// Cuts path in place at its last '/', leaving the directory part:
// "a/b/c" becomes "a/b", "/x" and "file" become "".
void pathBase(char* path);

// Whether two paths name one file (same device and inode). False when
// either cannot be examined, e.g. an output that does not exist yet.
bool isSameFile(const char* first, const char* second);

// Whether path names a directory.
bool isDirectory(const char* path);

// Refuses an output that is the input file under whatever name: opening it
// for writing would empty the very bytes about to be read. When the two
// paths name one file, reports the failure with message (a printf format
// taking the output path and then the input path) and returns true.
bool refuseSameFile(const char* inputPath, const char* outputPath, const char* message);

// "\nError from CALL() for ROLE file 'PATH'.\n\n", reported as a failure:
// e.g. call "fopen", role "input".
void reportCallFailure(const char* call, const char* role, const char* path);

// Writes all of bytes to fd: a write that takes less is followed by one for
// the rest, an interrupted one is tried again. Returns 0, or the error
// number of the call that failed (0 stays 0 for a write that took nothing,
// so EIO stands in then).
int writeAll(int fd, std::span<const uint8_t> bytes);
