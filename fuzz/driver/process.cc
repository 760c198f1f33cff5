#include "process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// In the child: wires the streams and starts the program; never returns.
[[noreturn]] void startChild(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                             const std::string& answersPath, const std::string& outPath, const std::string& errPath)
{
    const int in = open(answersPath.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
        chdir(cwd.c_str()) != 0)
        _exit(127);
    // A distinct status for a sanitizer's report; the programs themselves end with 0 or 1.
    setenv("ASAN_OPTIONS", "exitcode=86:detect_leaks=1:abort_on_error=0", 1);
    setenv("UBSAN_OPTIONS", "halt_on_error=1:print_stacktrace=1:exitcode=86", 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}

} // namespace

Outcome runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                   const std::string& answersPath, int timeoutSeconds)
{
    Outcome outcome;
    const std::string outPath = answersPath + ".out";
    const std::string errPath = answersPath + ".err";
    const pid_t child = fork();
    if (child < 0)
        return outcome;
    if (child == 0)
        startChild(program, args, cwd, answersPath, outPath, errPath);
    outcome.started = true;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            break;
        if (done < 0 && errno != EINTR) {
            outcome.started = false;
            return outcome;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL); // only the child this call started
            waitpid(child, &status, 0);
            outcome.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!outcome.timedOut && WIFEXITED(status)) {
        outcome.exited = true;
        outcome.status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.signal = WTERMSIG(status);
    }
    outcome.output = readWhole(outPath);
    outcome.errors = readWhole(errPath);
    return outcome;
}
