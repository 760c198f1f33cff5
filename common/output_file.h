// Host files the programs write: each output is replaced whole or left as
// it was.
//
// A new or regular output is written under a temporary name beside it
// (NAME.XXXXXX, in the same folder), synced, and renamed over NAME only when
// the program commits it, its whole content written; on any failure, on an
// abandon, and on SIGINT, SIGTERM or SIGHUP the temporary file is removed
// and an existing NAME stays as it was. A new file gets mode 0666 less the
// umask; an existing one keeps its permissions (and, where the system
// allows it, its owner and group).
//
// A NAME that is a symbolic link, a device or a pipe is written through in
// place, as the shell's > would: the link stays and its target gets the
// content. A regular target is cut to the new content's length at the
// commit, so an abandon before anything was written leaves it as it was.
//
// One output is open at a time: a program commits or abandons the one it
// has before it opens the next.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>

enum class OutputUse {
    Descriptor, // written with write(2) on fd
    Stream,     // written with stdio on stream (fully buffered; commit flushes it)
    NewOnly,    // as Descriptor, but NAME must not exist, at the open nor at the commit
};

struct OutputFile {
    int fd = -1;                 // the descriptor to write; -1 when none is open
    std::FILE* stream = nullptr; // the stream over fd, for OutputUse::Stream
    const char* path = nullptr;  // NAME as given; the caller's buffer, kept until the end
    bool through = false;        // a link, device or pipe, written in place
    bool newOnly = false;
};

// What failed: the call's name ("mkstemp", "write", "fsync", "rename", ...)
// and its error number; call is null when nothing failed. opening is set
// for a failure of the open: the program's open-failure message tells it.
struct OutputFailure {
    const char* call = nullptr;
    int error = 0;
    bool opening = false;

    bool failed() const { return call != nullptr; }
};

// Opens NAME to be written: creates the temporary file beside it, or opens
// a link, device or pipe for writing. A NAME that is a folder fails with
// EISDIR, and with OutputUse::NewOnly one that exists with EEXIST (call
// "open" for both). On a failure nothing is left open or created.
OutputFailure openOutput(OutputFile& out, const char* path, OutputUse use = OutputUse::Descriptor);

// Ends the writing: flushes the stream, syncs and closes the temporary file
// and renames it over NAME (without OutputUse::NewOnly's replacing a NAME
// that appeared meanwhile, which fails with EEXIST). On a failure the
// temporary file is removed and NAME is as it was; an output written through
// may be incomplete.
OutputFailure commitOutput(OutputFile& out);

// Gives the output up: closes it and removes the temporary file. Nothing
// happens when none is open.
void abandonOutput(OutputFile& out);

// The whole job for content at hand: open, one write of bytes, commit.
OutputFailure writeOutput(const char* path, std::span<const uint8_t> bytes, OutputUse use = OutputUse::Descriptor);
