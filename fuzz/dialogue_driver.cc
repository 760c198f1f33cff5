// dialogue_driver: runs every sanitizer-built program of the suite on
// generated answer scripts and generated input files, and fails on a crash,
// a sanitizer report, a hang, or a file changed that the run may only read.
//
//   dialogue_driver [--bin DIR] [--seed N] [--seconds N] [--iterations N]
//                   [--program NAME] [--case N] [--work DIR] [--timeout N]
//
// Cases are made from the seed and their number alone, so a failing case is
// made and run again with --seed S --case N (its folder is kept as well).
#include "driver/cases.h"
#include "driver/process.h"
#include "driver/snapshot.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace {

constexpr int ExitClean = 0;
constexpr int ExitFaults = 1;
constexpr int ExitUsage = 2;

struct Settings {
    std::string bin;
    std::string work;
    uint64_t seed = 1;
    double seconds = 60;
    uint64_t iterations = 1000000;
    int64_t onlyCase = -1;
    std::string onlyProgram;
    int timeoutSeconds = 20;
};

// The number of a case's generator, from the run's seed and the case number.
uint64_t caseSeed(uint64_t seed, uint64_t number)
{
    uint64_t z = seed * 0x9E3779B97F4A7C15ull + number + 1;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string clip(const std::string& text, size_t most = 3000)
{
    if (text.size() <= most)
        return text;
    return text.substr(0, most) + "\n[... " + std::to_string(text.size() - most) + " more bytes]";
}

// Every broken rule of one run; empty when the run was sound.
std::vector<std::string> judge(const Case& run, const Outcome& outcome, const Snapshot& before, const Snapshot& after,
                               int timeoutSeconds)
{
    std::vector<std::string> faults;
    if (!outcome.started)
        faults.push_back("the program could not be started");
    else if (outcome.timedOut)
        faults.push_back("hang: killed after " + std::to_string(timeoutSeconds) + " s");
    else if (!outcome.exited)
        faults.push_back("ended by signal " + std::to_string(outcome.signal) + " (" + strsignal(outcome.signal) + ")");
    else if (std::find(run.statuses.begin(), run.statuses.end(), outcome.status) == run.statuses.end())
        faults.push_back("exit status " + std::to_string(outcome.status) +
                         (outcome.status == 86 ? " (a sanitizer's report)" : ""));
    if (!outcome.errors.empty() && !(run.errorsExpected && outcome.status != 0))
        faults.push_back("standard error is not empty:\n" + clip(outcome.errors));

    for (const auto& [path, bytes] : before) {
        const auto now = after.find(path);
        if (!run.mayWrite(path)) {
            if (now == after.end())
                faults.push_back("a file only to be read is gone: " + path);
            else if (now->second != bytes)
                faults.push_back("a file only to be read was changed: " + path);
        } else if (now != after.end()) {
            if (const std::string broken = run.checkWritten(path, bytes, now->second, outcome.output); !broken.empty())
                faults.push_back(path + ": " + broken);
        }
    }
    for (const auto& [path, bytes] : after)
        if (before.count(path) == 0 && !run.mayWrite(path))
            faults.push_back("a file was made where the program may not write: " + path);
    return faults;
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

bool parse(int argc, char** argv, Settings& settings)
{
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* value = argv[++i];
        if (flag == "--bin")
            settings.bin = value;
        else if (flag == "--work")
            settings.work = value;
        else if (flag == "--seed")
            settings.seed = std::strtoull(value, nullptr, 10);
        else if (flag == "--seconds")
            settings.seconds = std::strtod(value, nullptr);
        else if (flag == "--iterations")
            settings.iterations = std::strtoull(value, nullptr, 10);
        else if (flag == "--case")
            settings.onlyCase = std::strtoll(value, nullptr, 10);
        else if (flag == "--program")
            settings.onlyProgram = value;
        else if (flag == "--timeout")
            settings.timeoutSeconds = std::atoi(value);
        else
            return false;
    }
    return settings.onlyProgram.empty() ||
           std::find(Programs.begin(), Programs.end(), settings.onlyProgram) != Programs.end();
}

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    Settings settings;
    if (!parse(argc, argv, settings)) {
        std::fprintf(stderr, "usage: dialogue_driver [--bin DIR] [--seed N] [--seconds N] [--iterations N] "
                             "[--program NAME] [--case N] [--work DIR] [--timeout N]\n");
        return ExitUsage;
    }
    if (settings.bin.empty()) // the programs are built beside the driver
        settings.bin = fs::absolute(argv[0]).parent_path().string();
    settings.bin = fs::absolute(settings.bin).string();
    const bool ownWork = settings.work.empty(); // only a folder the driver made is removed at the end
    if (ownWork) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/dialogue-driver-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            return ExitUsage;
        }
        settings.work = pattern;
    }
    fs::create_directories(settings.work);

    const auto started = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(); };
    std::map<std::string, int> runs;
    int failures = 0;
    uint64_t number = settings.onlyCase >= 0 ? static_cast<uint64_t>(settings.onlyCase) : 0;
    for (uint64_t done = 0; done < settings.iterations && elapsed() < settings.seconds; ++done, ++number) {
        const std::string program =
            settings.onlyProgram.empty() ? Programs[number % Programs.size()] : settings.onlyProgram;
        const std::string name = "case-" + std::to_string(number);
        const std::string folder = settings.work + "/" + name;
        fs::remove_all(folder);
        fs::create_directories(folder);

        Random random(caseSeed(settings.seed, number));
        const Case run = makeCase(random, program, folder);
        const std::string answersPath = settings.work + "/" + name + ".answers";
        writeText(answersPath, run.answers);
        const Snapshot before = takeSnapshot(folder);
        const Outcome outcome = runProgram(settings.bin + "/" + program, run.args, folder + "/" + run.cwd, answersPath,
                                           settings.timeoutSeconds);
        const Snapshot after = takeSnapshot(folder);
        ++runs[program];

        const std::vector<std::string> faults = judge(run, outcome, before, after, settings.timeoutSeconds);
        if (faults.empty() && settings.onlyCase < 0) {
            fs::remove_all(folder);
            for (const char* ending : {".answers", ".answers.out", ".answers.err"})
                fs::remove(settings.work + "/" + name + ending);
        }
        if (!faults.empty()) {
            ++failures;
            std::printf("\nFAULT in %s, case %llu of seed %llu (replay: --seed %llu --case %llu --program %s)\n",
                        program.c_str(), static_cast<unsigned long long>(number),
                        static_cast<unsigned long long>(settings.seed), static_cast<unsigned long long>(settings.seed),
                        static_cast<unsigned long long>(number), program.c_str());
            std::printf("  files and answers kept in %s (answers: %s)\n", folder.c_str(), answersPath.c_str());
            for (const std::string& fault : faults)
                std::printf("  - %s\n", fault.c_str());
            std::fflush(stdout);
        }
        if (settings.onlyCase >= 0)
            break;
    }

    uint64_t total = 0;
    std::string counts;
    for (const auto& [program, count] : runs) {
        total += static_cast<uint64_t>(count);
        counts += " " + program + "=" + std::to_string(count);
    }
    std::printf("dialogue driver: %llu runs in %.0f s, seed %llu, %d faults;%s\n",
                static_cast<unsigned long long>(total), elapsed(), static_cast<unsigned long long>(settings.seed),
                failures, counts.c_str());
    if (failures == 0 && settings.onlyCase < 0 && ownWork)
        fs::remove_all(settings.work);
    return failures == 0 ? ExitClean : ExitFaults;
}
