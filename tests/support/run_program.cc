#include "run_program.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

std::string programPath(const std::string& name)
{
    if (!name.empty() && name[0] == '/')
        return name;
    return std::string(SUITE_BIN_DIR) + "/" + name;
}

namespace {

// Standard input comes from an unlinked temporary file, so a program that
// stops reading early never blocks the test on a full pipe.
int inputFile(const std::string& input)
{
    char name[] = "/tmp/suite-input-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0)
        return -1;
    unlink(name);
    size_t done = 0;
    while (done < input.size()) {
        ssize_t put = write(fd, input.data() + done, input.size() - done);
        if (put <= 0) {
            close(fd);
            return -1;
        }
        done += static_cast<size_t>(put);
    }
    lseek(fd, 0, SEEK_SET);
    return fd;
}

// A copy of the program in a folder of its own under /tmp, so that user
// nobody can run it even when the build folder sits below a private home.
std::string copyForNobody(const std::string& program, std::string& folder)
{
    char name[] = "/tmp/suite-nobody-XXXXXX";
    if (mkdtemp(name) == nullptr)
        return program;
    folder = name;
    chmod(name, 0755);
    std::filesystem::path copy = folder + "/" + std::filesystem::path(program).filename().string();
    std::error_code failed;
    std::filesystem::copy_file(program, copy, failed);
    if (failed)
        return program;
    chmod(copy.c_str(), 0755);
    return copy.string();
}

} // namespace

RunResult runProgram(const std::string& name, const std::vector<std::string>& args, const std::string& input,
                     const RunOptions& options)
{
    RunResult result;
    int in = inputFile(input);
    int out[2];
    int err[2];
    if (in < 0 || pipe(out) != 0 || pipe(err) != 0)
        return result;

    std::vector<std::string> argv;
    std::string program = programPath(name);
    std::string copyFolder;
    if (options.asNobody) {
        for (const char* word : {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"})
            argv.emplace_back(word);
        program = copyForNobody(program, copyFolder);
    }
    argv.push_back(program);
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (auto& word : argv)
        cargv.push_back(word.data());
    cargv.push_back(nullptr);

    pid_t pid = fork();
    if (pid == 0) {
        dup2(in, STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        close(in);
        for (int fd : {out[0], out[1], err[0], err[1]})
            close(fd);
        if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0)
            _exit(127);
        execvp(cargv[0], cargv.data());
        _exit(127);
    }
    close(in);
    close(out[1]);
    close(err[1]);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    char buffer[65536];
    pollfd watch[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* into[2] = {&result.output, &result.errors};
    while (watch[0].fd >= 0 || watch[1].fd >= 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill(pid, SIGKILL);
            result.timedOut = true;
            break;
        }
        int ready = poll(watch, 2, static_cast<int>(left.count()));
        if (ready <= 0)
            continue;
        for (int k = 0; k < 2; ++k) {
            if (watch[k].fd < 0 || watch[k].revents == 0)
                continue;
            ssize_t got = read(watch[k].fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                watch[k].fd = -1; // poll passes over a negative descriptor
                continue;
            }
            into[k]->append(buffer, static_cast<size_t>(got));
        }
    }
    close(out[0]);
    close(err[0]);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!result.timedOut && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    if (!copyFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(copyFolder, ignored);
    }
    return result;
}

RunResult runUnderStrace(const std::vector<std::string>& straceOptions, const std::string& name,
                         const std::vector<std::string>& args, const std::string& input, const RunOptions& options)
{
    // LeakSanitizer cannot run under ptrace; a sanitizer build must go without it here.
    std::vector<std::string> all{"-qq", "-E", "ASAN_OPTIONS=detect_leaks=0"};
    all.insert(all.end(), straceOptions.begin(), straceOptions.end());
    all.push_back(programPath(name));
    all.insert(all.end(), args.begin(), args.end());
    return runProgram(StracePath, all, input, options);
}
