#include "output_file.h"

#include "files.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary file's name, kept where the signal handler can reach it.
char TempPath[PATH_MAX + 8];
volatile sig_atomic_t TempExists = 0;

// The signals that end a program from outside and can be caught. One that
// was ignored at the start (nohup, a background job) stays ignored.
constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr size_t SignalCount = sizeof EndingSignals / sizeof EndingSignals[0];
struct sigaction Previous[SignalCount];
bool Caught[SignalCount];

sigset_t endingSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : EndingSignals)
        sigaddset(&set, signal);
    return set;
}

// Only async-signal-safe calls: the temporary file goes, and the program
// ends as the signal would have ended it.
void removeAndEnd(int signal)
{
    if (TempExists != 0)
        unlink(TempPath);
    TempExists = 0;
    struct sigaction fallback{};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal); // delivered when the handler returns, the signal no longer blocked
}

void catchEndingSignals()
{
    struct sigaction action{};
    action.sa_handler = removeAndEnd;
    action.sa_mask = endingSignalSet();
    for (size_t i = 0; i < SignalCount; ++i) {
        Caught[i] = false;
        if (sigaction(EndingSignals[i], nullptr, &Previous[i]) != 0 || Previous[i].sa_handler == SIG_IGN)
            continue;
        Caught[i] = sigaction(EndingSignals[i], &action, nullptr) == 0;
    }
}

void releaseEndingSignals()
{
    for (size_t i = 0; i < SignalCount; ++i)
        if (Caught[i] && sigaction(EndingSignals[i], &Previous[i], nullptr) == 0)
            Caught[i] = false;
}

// Keeps the ending signals away while the temporary file's existence and
// its record change together; returns the mask to go back to.
sigset_t holdEndingSignals()
{
    const sigset_t set = endingSignalSet();
    sigset_t before;
    sigprocmask(SIG_BLOCK, &set, &before);
    return before;
}

void restoreSignals(const sigset_t& before)
{
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

void removeTemporary()
{
    const sigset_t before = holdEndingSignals();
    if (TempExists != 0)
        unlink(TempPath); // the content is given up: whether it went makes no difference now
    TempExists = 0;
    releaseEndingSignals();
    restoreSignals(before);
}

// A new file's permissions are 0666 less the umask; an existing file's are
// kept, and its owner and group where the system lets this user give them.
OutputFailure setMode(int fd, const struct stat* existing)
{
    if (existing == nullptr) {
        const mode_t mask = umask(0);
        umask(mask);
        return fchmod(fd, 0666 & ~mask) == 0 ? OutputFailure{} : OutputFailure{"fchmod", errno, true};
    }
    struct stat made{};
    if (fstat(fd, &made) != 0)
        return {"fstat", errno, true};
    if ((made.st_uid != existing->st_uid || made.st_gid != existing->st_gid) &&
        fchown(fd, existing->st_uid, existing->st_gid) != 0 && errno != EPERM)
        return {"fchown", errno, true};
    return fchmod(fd, existing->st_mode & 0777) == 0 ? OutputFailure{} : OutputFailure{"fchmod", errno, true};
}

OutputFailure createTemporary(OutputFile& out, const struct stat* existing)
{
    const int length = std::snprintf(TempPath, sizeof TempPath, "%s.XXXXXX", out.path);
    if (length < 0 || static_cast<size_t>(length) >= sizeof TempPath)
        return {"mkstemp", ENAMETOOLONG, true};
    const sigset_t before = holdEndingSignals();
    out.fd = mkstemp(TempPath);
    const int error = errno;
    if (out.fd >= 0) {
        TempExists = 1;
        catchEndingSignals();
    }
    restoreSignals(before);
    if (out.fd < 0)
        return {"mkstemp", error, true};
    const OutputFailure failure = setMode(out.fd, existing);
    if (failure.failed())
        abandonOutput(out);
    return failure;
}

// Moves the temporary file to NAME. Without replacing: renameat2's
// RENAME_NOREPLACE, or where the file system has no such rename, a second
// link under NAME, which cannot replace a file either; the temporary name
// is then left for removeTemporary.
OutputFailure moveIntoPlace(const OutputFile& out)
{
    if (!out.newOnly && std::rename(TempPath, out.path) != 0)
        return {"rename", errno};
    if (out.newOnly && renameat2(AT_FDCWD, TempPath, AT_FDCWD, out.path, RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS)
            return {"rename", errno};
        return link(TempPath, out.path) == 0 ? OutputFailure{} : OutputFailure{"link", errno};
    }
    TempExists = 0;
    return {};
}

// Flushes what is written; a regular file written through is cut to it.
OutputFailure finishWriting(const OutputFile& out)
{
    if (out.stream != nullptr) {
        errno = 0;
        if (std::fflush(out.stream) != 0 || std::ferror(out.stream) != 0)
            return {"write", errno != 0 ? errno : EIO};
    }
    if (!out.through)
        return fsync(out.fd) == 0 ? OutputFailure{} : OutputFailure{"fsync", errno};
    struct stat target{};
    if (fstat(out.fd, &target) != 0)
        return {"fstat", errno};
    if (!S_ISREG(target.st_mode))
        return {};
    const off_t end = lseek(out.fd, 0, SEEK_CUR);
    if (end < 0)
        return {"lseek", errno};
    return ftruncate(out.fd, end) == 0 ? OutputFailure{} : OutputFailure{"ftruncate", errno};
}

// Closes the output's descriptor (through its stream, if it has one).
int closeOutput(OutputFile& out)
{
    const int closed = out.stream != nullptr ? std::fclose(out.stream) : out.fd >= 0 ? close(out.fd) : 0;
    out.stream = nullptr;
    out.fd = -1;
    return closed;
}

} // namespace

OutputFailure openOutput(OutputFile& out, const char* path, OutputUse use)
{
    out = OutputFile{};
    out.path = path;
    out.newOnly = use == OutputUse::NewOnly;
    if (path[0] == '\0') // no name: mkstemp would make ".XXXXXX" all the same
        return {"open", ENOENT, true};
    struct stat status{};
    const bool exists = lstat(path, &status) == 0;
    if (exists && out.newOnly)
        return {"open", EEXIST, true};
    // mkstemp beside a folder's name would succeed; the rename would then fail.
    if (exists && S_ISDIR(status.st_mode))
        return {"open", EISDIR, true};
    if (exists && !S_ISREG(status.st_mode)) {
        out.through = true;
        out.fd = open(path, O_WRONLY | O_CREAT, 0666);
        if (out.fd < 0)
            return {"open", errno, true};
    } else if (const OutputFailure failure = createTemporary(out, exists ? &status : nullptr); failure.failed()) {
        return failure;
    }
    if (use == OutputUse::Stream) {
        out.stream = fdopen(out.fd, "w");
        if (out.stream == nullptr) {
            const int error = errno;
            abandonOutput(out);
            return {"fdopen", error, true};
        }
    }
    return {};
}

OutputFailure commitOutput(OutputFile& out)
{
    OutputFailure failure = finishWriting(out);
    if (closeOutput(out) != 0 && !failure.failed())
        failure = {"close", errno};
    if (!failure.failed() && !out.through) {
        const sigset_t before = holdEndingSignals();
        failure = moveIntoPlace(out);
        restoreSignals(before);
    }
    removeTemporary();
    return failure;
}

void abandonOutput(OutputFile& out)
{
    closeOutput(out); // the content is given up: a failed close loses nothing more
    removeTemporary();
}

OutputFailure writeOutput(const char* path, std::span<const uint8_t> bytes, OutputUse use)
{
    OutputFile out;
    if (const OutputFailure failure = openOutput(out, path, use); failure.failed())
        return failure;
    if (const int error = writeAll(out.fd, bytes); error != 0) {
        abandonOutput(out);
        return {"write", error};
    }
    return commitOutput(out);
}
