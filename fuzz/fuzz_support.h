// What the fuzz targets share: streams over the fuzz input, a sink for the
// output nobody reads, and a scratch folder for targets that touch files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// A read-only stream over the bytes; the null device when there are none.
std::FILE* openBytes(const uint8_t* data, size_t size);

// The null device opened for writing, once for the whole run.
std::FILE* nullSink();

// Sends the programs' console output (standard output) to the null device;
// libFuzzer's own report goes to standard error and stays.
void silenceConsole();

// Makes a fresh folder under $TMPDIR (or /tmp), removed with everything in
// it when the process exits. Returns its path.
std::string makeScratchFolder(const char* prefix);

// Removes every file in folder except the one named keep. Returns how many
// were removed.
int clearFolder(const std::string& folder, const char* keep);

// Stops the run the way libFuzzer records as a crash, naming the broken rule.
[[noreturn]] void fuzzFailure(const char* rule);
