#include "capture.h"

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <sys/wait.h>
#include <unistd.h>

Captured captureConsole(const std::string& input, const std::function<int()>& body)
{
    Captured result;
    char inName[] = "/tmp/suite-capture-in-XXXXXX";
    char outName[] = "/tmp/suite-capture-out-XXXXXX";
    char errName[] = "/tmp/suite-capture-err-XXXXXX";
    int in = mkstemp(inName);
    int out = mkstemp(outName);
    int err = mkstemp(errName);
    if (in < 0 || out < 0 || err < 0)
        return result;
    if (write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size()))
        return result;
    lseek(in, 0, SEEK_SET);
    std::fflush(stdout);
    std::fflush(stderr);

    pid_t pid = fork();
    if (pid == 0) {
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        int code = body();
        std::fflush(stdout);
        std::fflush(stderr);
        _exit(code);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);

    char buffer[4096];
    ssize_t got;
    for (auto [fd, text] : {std::pair{out, &result.output}, std::pair{err, &result.errors}}) {
        lseek(fd, 0, SEEK_SET);
        while ((got = read(fd, buffer, sizeof buffer)) > 0)
            text->append(buffer, static_cast<size_t>(got));
        close(fd);
    }
    close(in);
    unlink(inName);
    unlink(outName);
    unlink(errName);
    return result;
}
