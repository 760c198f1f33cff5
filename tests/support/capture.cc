#include "capture.h"

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

Captured captureConsole(const std::string& input, const std::function<int()>& body)
{
    Captured result;
    char inName[] = "/tmp/suite-capture-in-XXXXXX";
    char outName[] = "/tmp/suite-capture-out-XXXXXX";
    int in = mkstemp(inName);
    int out = mkstemp(outName);
    if (in < 0 || out < 0)
        return result;
    if (write(in, input.data(), input.size()) != static_cast<ssize_t>(input.size()))
        return result;
    lseek(in, 0, SEEK_SET);
    std::fflush(stdout);

    pid_t pid = fork();
    if (pid == 0) {
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        int code = body();
        std::fflush(stdout);
        _exit(code);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);

    lseek(out, 0, SEEK_SET);
    char buffer[4096];
    ssize_t got;
    while ((got = read(out, buffer, sizeof buffer)) > 0)
        result.output.append(buffer, static_cast<size_t>(got));
    close(in);
    close(out);
    unlink(inName);
    unlink(outName);
    return result;
}
