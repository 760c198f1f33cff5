#include "output_stops.h"

#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::map<std::string, Bytes> folderFiles(const std::string& folder)
{
    std::map<std::string, Bytes> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = readFile(entry.path().string());
    return files;
}

// Whether name is output's temporary name, output.XXXXXX.
bool isTemporaryOf(const std::string& name, const std::string& output)
{
    return name.size() == output.size() + 7 && name.compare(0, output.size() + 1, output + ".") == 0;
}

struct OutputCalls {
    std::vector<int> writes; // the ordinal of each write to the temporary file among all write calls
    int fsyncs = 0;
    int renames = 0;
};

OutputCalls callsOf(const std::string& trace, const std::string& output)
{
    static const std::regex temporary(R"re(^openat\([^"]*"(?:[^"]*/)?([^"/]*)", O_RDWR\|O_CREAT\|O_EXCL.*= (\d+)$)re");
    OutputCalls calls;
    std::string fd; // the temporary file's, while it is open
    int writes = 0;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        std::smatch opened;
        if (std::regex_match(line, opened, temporary) && isTemporaryOf(opened[1].str(), output))
            fd = opened[2].str();
        if (line.starts_with("write(")) {
            ++writes;
            if (!fd.empty() && line.starts_with("write(" + fd + ","))
                calls.writes.push_back(writes);
        }
        if (!fd.empty() && line.starts_with("close(" + fd + ")"))
            fd.clear();
        calls.fsyncs += line.starts_with("fsync(") ? 1 : 0;
        calls.renames += line.starts_with("rename(") ? 1 : 0;
    }
    return calls;
}

enum class Stop { Failure, Kill, End };

struct Injection {
    std::string inject;
    Stop stop;
};

} // namespace

void expectEveryStopKeepsTheOutput(const OutputJob& job)
{
    ASSERT_EQ(runProgram(StracePath, {"-V"}, "").status, 0)
        << "strace is needed: apt-get install strace (scripts/test.sh does)";
    const std::map<std::string, Bytes> before = folderFiles(job.folder);
    const std::string output = job.folder + "/" + job.output;
    ASSERT_EQ(before.count(job.output), 1u) << "the output must exist already";

    const TempDir traceDir;
    const std::string log = traceDir.file("trace.log");
    const RunResult clean = runUnderStrace({"-o", log, "-e", "trace=openat,write,close,fsync,rename"}, job.program,
                                           job.args, "", job.options);
    ASSERT_EQ(clean.status, 0) << clean.errors;
    ASSERT_NE(readFile(output), before.at(job.output)) << "the clean run must change the output";
    writeFile(output, before.at(job.output));

    const OutputCalls calls = callsOf(readText(log), job.output);
    ASSERT_FALSE(calls.writes.empty()) << readText(log);
    ASSERT_EQ(calls.fsyncs, 1);
    ASSERT_EQ(calls.renames, 1);
    std::vector<Injection> injections;
    for (int write : calls.writes) {
        const std::string when = ":when=" + std::to_string(write);
        injections.push_back({"inject=write:error=ENOSPC" + when, Stop::Failure});
        injections.push_back({"inject=write:error=EIO:signal=SIGKILL" + when, Stop::Kill});
        injections.push_back({"inject=write:signal=SIGTERM" + when, Stop::End});
    }
    injections.push_back({"inject=fsync:error=EIO", Stop::Failure});
    injections.push_back({"inject=fsync:signal=SIGTERM", Stop::End});
    injections.push_back({"inject=rename:error=EXDEV", Stop::Failure});

    for (const Injection& injection : injections) {
        SCOPED_TRACE(job.program + " stopped by " + injection.inject);
        const std::string traced = "trace=" + injection.inject.substr(7, injection.inject.find(':') - 7);
        const RunResult run =
            runUnderStrace({"-o", "/dev/null", "-e", traced, "-e", injection.inject}, job.program, job.args, "",
                           job.options);
        if (injection.stop == Stop::Failure) {
            EXPECT_EQ(run.status, 1);
            EXPECT_NE(run.errors.find(job.failureText), std::string::npos) << run.errors;
        } else {
            EXPECT_EQ(run.status, -1) << "not ended by the signal";
        }
        std::map<std::string, Bytes> after = folderFiles(job.folder);
        if (injection.stop == Stop::Kill) {
            std::erase_if(after, [&](const auto& file) {
                if (!isTemporaryOf(file.first, job.output))
                    return false;
                fs::remove(job.folder + "/" + file.first);
                return true;
            });
        }
        for (const auto& [name, bytes] : before)
            EXPECT_TRUE(after.count(name) == 1 && after.at(name) == bytes) << name << " is gone or changed";
        EXPECT_EQ(after.size(), before.size()) << "a file is left over";
    }
}
