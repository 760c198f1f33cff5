// Path helpers shared by the programs.
#pragma once

// Cuts path in place at its last '/', leaving the directory part:
// "a/b/c" becomes "a/b", "/x" and "file" become "".
void pathBase(char* path);

// Whether two paths name one file (same device and inode). False when
// either cannot be examined, e.g. an output that does not exist yet.
bool isSameFile(const char* first, const char* second);

// Whether path names a directory.
bool isDirectory(const char* path);

// Whether path names a regular file (not a directory, device or pipe).
bool isRegularFile(const char* path);
