// Every host file a program writes comes out whole or as it was. Each
// writer, stopped from outside by strace at each write to its output (a
// failed write, SIGKILL, SIGTERM), at the fsync (a failure, SIGINT, SIGHUP)
// and at the rename (a failure), leaves its old output and, beside its
// inputs, nothing else: only SIGKILL, which nothing catches, may leave the
// temporary file.
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

namespace {

std::map<std::string, std::string> folderFiles(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] = readText(entry.path().string());
    return files;
}

// The ordinal, among all write calls, of each write to the output: the
// programs write nothing but their output to a descriptor above 2.
std::vector<int> outputWrites(const std::string& trace)
{
    std::vector<int> writes;
    int count = 0;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("write("))
            continue;
        ++count;
        if (std::stoi(line.substr(6)) > 2)
            writes.push_back(count);
    }
    return writes;
}

struct Job {
    std::string program;
    std::vector<std::string> args;
    std::map<std::string, std::string> files;   // the inputs and the old output
    std::vector<std::vector<std::string>> make; // program runs that make further inputs
    std::string output;
    std::string failure; // part of what a failed write of the output tells
};

const Job Jobs[] = {
    {"mempatch", {"in", "out", "ch", "0"}, {{"in", std::string(0x3000, 'm')}, {"ch", "FFFF 1\n60\n"}, {"out", "old"}},
     {}, "out", "\nError form write(), errno = "},
    {"bin2array", {"in", "out"}, {{"in", std::string(70000, 'b')}, {"out", "old"}}, {}, "out",
     "\nError from write() for output file 'out'; the array text is incomplete.\n\n"},
    {"casediff", {"in", "out"}, {{"in", "0300-C8 (E8)\n"}, {"out", "old"}}, {}, "out",
     "\nError from fwrite() for output file 'out'; the output is not complete.\n\n"},
    {"asmspacer", {".", "p"}, {{"p", " LDA #1\n"}, {"pT", "old"}}, {}, "pT",
     "\nError in writing to output file './pT'.\n\n"},
    {"array2bin", {"in"}, {{"in", "unsigned char A[] = {\n1, 2\n}\n"}, {"A", "old"}}, {}, "A",
     "\nError from fwrite() for output file 'A'; the file is incomplete.\n\n"},
    {"dskblank", {"-f", "out", "35", "16"}, {{"out", "old"}}, {}, "out", "() for image file 'out'.\n\n"},
    {"dskextract", {"d.dsk", "t.s", "out"}, {{"t.s", " LDA #1\n"}, {"out", "old"}},
     {{"dskblank", "d.dsk", "35", "16"}, {"dskrecord", "d.dsk", ".", "t.s"}}, "out", "() for output file 'out'.\n\n"},
};

} // namespace

TEST(Outputs, EveryStopOfTheWritingKeepsTheOldOutput)
{
    ASSERT_EQ(runProgram(StracePath, {"-V"}, "").status, 0)
        << "strace is needed: apt-get install strace (scripts/test.sh does)";
    for (const Job& job : Jobs) {
        SCOPED_TRACE(job.program);
        const TempDir dir;
        const RunOptions inDir{dir.path()};
        for (const auto& [name, text] : job.files)
            writeText(dir.file(name), text);
        for (const auto& make : job.make)
            ASSERT_EQ(runProgram(make[0], {make.begin() + 1, make.end()}, "", inDir).status, 0);
        const auto before = folderFiles(dir.path());

        const TempDir traceDir;
        const RunResult clean =
            runUnderStrace({"-o", traceDir.file("log"), "-e", "trace=write"}, job.program, job.args, "", inDir);
        ASSERT_EQ(clean.status, 0) << clean.errors;
        ASSERT_NE(readText(dir.file(job.output)), "old");
        writeText(dir.file(job.output), "old");

        std::vector<std::pair<std::string, int>> stops{
            {"fsync:error=EIO", 1}, {"fsync:signal=SIGINT", -1}, {"fsync:signal=SIGHUP", -1}, {"rename:error=EXDEV", 1}};
        for (int write : outputWrites(readText(traceDir.file("log")))) {
            const std::string when = ":when=" + std::to_string(write);
            stops.insert(stops.end(), {{"write:error=ENOSPC" + when, 1},
                                       {"write:error=EIO:signal=SIGKILL" + when, -1},
                                       {"write:signal=SIGTERM" + when, -1}});
        }
        ASSERT_GT(stops.size(), 4u) << "no write to the output";
        for (const auto& [inject, status] : stops) {
            const std::string call = inject.substr(0, inject.find(':'));
            const RunResult run = runUnderStrace({"-o", "/dev/null", "-e", "trace=" + call, "-e", "inject=" + inject},
                                                 job.program, job.args, "", inDir);
            EXPECT_EQ(run.status, status) << inject;
            EXPECT_TRUE(status != 1 || run.errors.find(job.failure) != std::string::npos) << inject << run.errors;
            auto after = folderFiles(dir.path());
            if (inject.find("SIGKILL") != std::string::npos)
                std::erase_if(after, [&](const auto& file) {
                    return file.first.starts_with(job.output + ".") && std::filesystem::remove(dir.file(file.first));
                });
            EXPECT_TRUE(after == before) << inject << ": the folder is not as it was";
        }
    }
}
