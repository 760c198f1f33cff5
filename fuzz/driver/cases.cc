#include "cases.h"

#include "inputs.h"

#include <fstream>
#include <sys/stat.h>

namespace {

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    writeFile(path, std::string(bytes.begin(), bytes.end()));
}

void makeFolder(const std::string& path)
{
    mkdir(path.c_str(), 0777);
}

// answer, then a line feed.
void say(std::string& answers, const std::string& answer)
{
    answers += answer + "\n";
}

// Usually the usual answer, else one of the others or an odd one. An odd
// answer longer than the question's limit is refused and the question asked
// again: the usual answer follows it then, so that the later answers still
// meet the questions they were meant for.
std::string mostly(Random& random, int percent, const std::string& usual, std::initializer_list<const char*> others,
                   size_t limit = 127)
{
    if (random.chance(percent))
        return usual;
    if (random.chance(70))
        return random.pick(others);
    const std::string odd = oddAnswer(random);
    return odd.size() > limit ? odd + "\n" + usual : odd;
}

// Empty answers (for the pauses), odd ones now and then.
void sayRest(Random& random, std::string& answers)
{
    for (int64_t i = random.between(0, 4); i > 0; --i)
        say(answers, random.chance(80) ? "" : oddAnswer(random));
}

bool contains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// A diskette image that may be written back only when the run did not end
// on one of the failures named, and, when done is given, only after the
// output says it (a run that recorded nothing writes nothing).
Case::Written imageRule(std::vector<const char*> failures, size_t untouchedFrom, const char* done = nullptr)
{
    return [failures, untouchedFrom, done](const std::string&, const std::string& before, const std::string& after,
                                           const std::string& output) -> std::string {
        if (before.size() != after.size())
            return "the image changed its size";
        if (done != nullptr && !contains(output, done) && before != after)
            return std::string("the image was written without \"") + done + "\"";
        for (const char* failure : failures)
            if (contains(output, failure) && before != after)
                return std::string("the image was written after \"") + failure + "\"";
        if (before.compare(std::min(untouchedFrom, before.size()), std::string::npos, after,
                           std::min(untouchedFrom, after.size())) != 0)
            return "the image changed past the part the program may write";
        return "";
    };
}

Case dskrecordCase(Random& random, const std::string& folder)
{
    Case run;
    makeFolder(folder + "/img");
    makeFolder(folder + "/text");
    makeFolder(folder + "/text/sub");
    int sectors = 16;
    writeFile(folder + "/img/disk.dsk", diskImage(random, sectors));
    std::vector<std::string> names;
    for (int64_t i = random.between(0, 6); i > 0; --i) {
        names.push_back(fileName(random));
        writeFile(folder + "/text/" + names.back(), hostText(random));
    }
    writeFile(folder + "/text/sub/inner.s", hostText(random));
    mkfifo((folder + "/text/pipe").c_str(), 0666); // opened, it would hang the run

    say(run.answers, mostly(random, 85, "img/disk.dsk", {"img/none.dsk", "img", ""}));
    say(run.answers, mostly(random, 85, "text", {"img/disk.dsk", "none", "text/sub"}));
    for (int64_t i = random.between(0, 12); i > 0; --i)
        say(run.answers, random.chance(70) && !names.empty()
                             ? random.pick(names)
                             : mostly(random, 0, "", {"sub/inner.s", "pipe", "sub", "none.s", "../img/disk.dsk"}));
    sayRest(random, run.answers);
    run.mayWrite = [](const std::string& path) { return path == "img/disk.dsk"; };
    run.checkWritten = imageRule({"no sectors left"}, std::string::npos, "Processing complete for file");
    return run;
}

Case dskputdosCase(Random& random, const std::string& folder)
{
    Case run;
    makeFolder(folder + "/img");
    makeFolder(folder + "/dir");
    int sectors = 16;
    writeFile(folder + "/img/disk.dsk", diskImage(random, sectors));
    writeFile(folder + "/dos.bin", dosFile(random));

    for (int64_t i = random.between(0, 2); i > 0; --i)
        say(run.answers, mostly(random, 0, "", {"0", "4", "x", "-1", "99999999999999999999", " 2 and more"}));
    say(run.answers, mostly(random, 90, random.pick({"1", "2", "3"}), {"", "+3", "  1", "3.3", " 4.1 "}));
    say(run.answers, mostly(random, 85, "img/disk.dsk", {"img/none.dsk", "img", "dos.bin"}));
    say(run.answers, mostly(random, 85, "dos.bin", {"none.bin", "dir", "img/disk.dsk"}));
    sayRest(random, run.answers);
    run.mayWrite = [](const std::string& path) { return path == "img/disk.dsk"; };
    // Only tracks 0 to 2 take the DOS.
    run.checkWritten = imageRule({"Expecting DOS to be 35 sectors", "Error from read() for DOS file",
                                  "Error from open() to read DOS file", "Error, the DOS would overwrite"},
                                 static_cast<size_t>(3 * sectors * 256));
    return run;
}

Case asmspacerCase(Random& random, const std::string& folder)
{
    Case run;
    makeFolder(folder + "/src");
    makeFolder(folder + "/src/dir.s");
    makeFolder(folder + "/src/blocked.sT"); // the output cannot be opened
    writeFile(folder + "/src/blocked.s", hostText(random));
    std::vector<std::string> names{"blocked.s"};
    for (int64_t i = random.between(0, 5); i > 0; --i) {
        names.push_back(fileName(random));
        writeFile(folder + "/src/" + names.back(), hostText(random));
    }
    const bool inside = random.chance(80);
    say(run.answers, inside ? "src" : mostly(random, 50, ".", {"none", "src/blocked.s"}));
    for (int64_t i = random.between(0, 6); i > 0; --i) {
        const std::string name = random.chance(75)
                                     ? random.pick(names)
                                     : mostly(random, 0, "", {"dir.s", "none.s", "abcdefghijklmnopqrstuvwxyz.s"});
        say(run.answers, inside || name.empty() ? name : "src/" + name);
        sayRest(random, run.answers);
    }
    // Every output is its input's name with T appended; no input's name ends in T.
    run.mayWrite = [](const std::string& path) { return !path.empty() && path.back() == 'T'; };
    return run;
}

Case array2binCase(Random& random, const std::string& folder)
{
    Case run;
    makeFolder(folder + "/in");
    makeFolder(folder + "/out");
    run.cwd = "out";
    // The input lies beside the outputs now and then, where an array may be named after it.
    const bool beside = random.chance(40);
    const std::string input = beside ? "arrays.txt" : "../in/arrays.txt";
    writeFile(folder + (beside ? "/out/arrays.txt" : "/in/arrays.txt"), arrayText(random, input));
    say(run.answers, mostly(random, 90, input, {"none.txt", ".."}));
    sayRest(random, run.answers);
    run.mayWrite = [](const std::string& path) { return path.rfind("out/", 0) == 0 && path != "out/arrays.txt"; };
    return run;
}

Case mempatchCase(Random& random, const std::string& folder)
{
    Case run;
    makeFolder(folder + "/dir");
    const size_t size = random.chance(60) ? random.pick(std::vector<size_t>{0, 100, 0x3000, 0xD000, 0x10000, 0x10001})
                                          : random.below(0x11000);
    writeFile(folder + "/mem.bin", random.bytes(size));
    writeFile(folder + "/changes.txt", changeFile(random));
    say(run.answers, mostly(random, 90, "mem.bin", {"none.bin", "dir"}));
    say(run.answers, mostly(random, 85, "out.bin", {"mem.bin", "changes.txt", "dir", "nodir/out.bin"}));
    say(run.answers, mostly(random, 90, "changes.txt", {"none.txt", "dir"}));
    for (int64_t i = random.between(0, 2); i > 0; --i)
        say(run.answers, mostly(random, 0, "", {"d001", "-1", "zz", "ffffffff", "0x100", "1 2"}));
    say(run.answers, random.chance(90) ? hexAnswer(random, random.below(0xD001)) : "");
    sayRest(random, run.answers);
    run.statuses = {0, 1}; // 1: a file could not be opened
    // Whatever the output question was answered with may be written; never the input or the change file.
    run.mayWrite = [](const std::string& path) { return path != "mem.bin" && path != "changes.txt"; };
    return run;
}

Case casediffCase(Random& random, const std::string& folder)
{
    Case run;
    writeFile(folder + "/listing.txt", listing(random));
    say(run.answers, mostly(random, 90, "listing.txt", {"none.txt", "."}));
    say(run.answers, mostly(random, 85, "out.txt", {"listing.txt", "nodir/out.txt", "."}));
    sayRest(random, run.answers);
    run.mayWrite = [](const std::string& path) { return path != "listing.txt"; };
    return run;
}

// The two names, asked for or given as arguments (OUTPUT left out now and
// then: standard output); either one odd now and then.
Case bin2arrayCase(Random& random, const std::string& folder)
{
    Case run;
    makeFolder(folder + "/dir");
    writeFile(folder + "/data.bin", random.bytes(random.chance(10) ? 0 : random.below(30000)));
    run.mayWrite = [](const std::string& path) { return path != "data.bin"; };
    const std::string input = mostly(random, 90, "data.bin", {"dir", "none.bin"});
    const std::string output = mostly(random, 85, "out.txt", {"data.bin", "nodir/out.txt", "dir"});
    if (random.chance(50)) {
        say(run.answers, input);
        say(run.answers, output);
    } else {
        // An empty argument is a usage error (2); any failure ends the run with 1.
        run.statuses = {0, 1, 2};
        run.errorsExpected = true;
        if (random.chance(10))
            run.args.push_back("--");
        run.args.push_back(random.chance(5) ? std::string(200, 'x') : input);
        if (random.chance(70)) {
            run.args.push_back(output);
            for (int64_t i = random.between(0, 2); i > 0; --i)
                run.args.push_back(fileName(random)); // ignored
        }
    }
    sayRest(random, run.answers); // the argument form never reads them
    return run;
}

Case aiffverifyCase(Random& random, const std::string& folder)
{
    Case run;
    int sectors = 16;
    const Bytes image = random.chance(50) ? diskImage(random, sectors) : random.bytes(random.below(20000));
    writeFile(folder + "/disk.dsk", image);
    const uint64_t track = random.below(4);
    const size_t leader = random.below(300);
    writeFile(folder + "/capture.aiff", capture(random, image, track * 0x1000, leader));
    say(run.answers, mostly(random, 90, "capture.aiff", {"none.aiff", "."}, 79));
    say(run.answers, hexAnswer(random, leader));
    say(run.answers, mostly(random, 90, "disk.dsk", {"none.dsk", "capture.aiff"}, 79));
    say(run.answers, hexAnswer(random, track));
    say(run.answers, hexAnswer(random, random.below(10000)));
    sayRest(random, run.answers);
    return run; // both files are only read
}

} // namespace

const std::vector<std::string> Programs{"dskrecord", "dskputdos", "asmspacer", "array2bin",
                                        "mempatch",  "casediff",  "bin2array", "aiffverify"};

Case makeCase(Random& random, const std::string& program, const std::string& folder)
{
    Case run;
    if (program == "dskrecord")
        run = dskrecordCase(random, folder);
    else if (program == "dskputdos")
        run = dskputdosCase(random, folder);
    else if (program == "asmspacer")
        run = asmspacerCase(random, folder);
    else if (program == "array2bin")
        run = array2binCase(random, folder);
    else if (program == "mempatch")
        run = mempatchCase(random, folder);
    else if (program == "casediff")
        run = casediffCase(random, folder);
    else if (program == "bin2array")
        run = bin2arrayCase(random, folder);
    else
        run = aiffverifyCase(random, folder);
    run.program = program;
    return run;
}
