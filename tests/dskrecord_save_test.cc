// The save of a recording under interruption and beside other programs:
// stopped before each of its writes (a failed write, a kill, a failed
// fdatasync, all injected from outside with strace), the image must at
// every stop catalogue only whole files whose sectors are marked used; a
// second program is refused while the first holds the image; and an image
// that changed since its load is not written.
#include "dskrecord_test_helpers.h"
#include "run_program.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <regex>
#include <thread>

using namespace dskrecord_test;

namespace {

// The catalog name a host name gets: upper case, high bit set, blank-padded.
Bytes catalogName(const std::string& name)
{
    Bytes bytes;
    for (size_t i = 0; i < 24; ++i) {
        const char ch = i < name.size() ? name[i] : ' ';
        bytes.push_back(static_cast<uint8_t>((ch >= 'a' && ch <= 'z' ? ch - 0x20 : ch) | 0x80));
    }
    return bytes;
}

// Checks that every file the catalog lists reads back whole through its
// T/S lists, as one of the contents of its name, and that none of its
// sectors is marked free. Returns how many files it found.
size_t expectConsistent(const Bytes& image, const std::multimap<Bytes, Bytes>& contents, const std::string& where)
{
    size_t files = 0;
    for (size_t entry : catalogEntries(image, 32)) {
        if (image[entry] == 0 || image[entry] == 0xFF)
            continue;
        ++files;
        const Bytes name(image.begin() + static_cast<long>(entry) + 3, image.begin() + static_cast<long>(entry) + 27);
        const auto [wanted, end] = contents.equal_range(name);
        if (wanted == end) {
            ADD_FAILURE() << where << ": an entry of no recorded file";
            continue;
        }
        const ReadBack file = readBack(image, 32, entry);
        EXPECT_TRUE(file.wellFormed) << where;
        EXPECT_TRUE(std::any_of(wanted, end, [&](const auto& text) { return holdsExactly(file, text.second); }))
            << where;
        for (const auto& [t, s] : file.used) {
            const int byte = s >= 16 ? 2 + (31 - s) / 8 : (15 - s) / 8;
            EXPECT_EQ(image[vtocAt(32, 0x38 + 4 * t + byte)] & (1u << (s % 8)), 0u)
                << where << ": track " << t << " sector " << s << " is used but marked free";
        }
    }
    return files;
}

struct Scene {
    TempDir dir;
    std::string image = dir.file("d.dsk");
    Bytes before; // two files recorded, six entries taken: the new files span two catalog sectors
    std::multimap<Bytes, Bytes> contents;
    std::string answers;
    std::vector<std::string> replacing; // arguments that record two new files and replace file0

    Scene()
    {
        Bytes blank = blankImage(35, 32);
        for (size_t i = 2; i < 6; ++i) // four deleted entries
            blank[fileOffset(32, 17, 31) + 11 + 35 * i] = 0xFF;
        writeFile(image, blank);
        std::string first = image + "\n" + dir.path() + "\n";
        const size_t sizes[] = {700, 5000, 31233, 300, 9};
        for (size_t i = 0; i < std::size(sizes); ++i) {
            const HostText text = hostTextOfEncodedSize(sizes[i], static_cast<int>(i));
            const std::string name = "file" + std::to_string(i);
            writeText(dir.file(name), text.text);
            contents.emplace(catalogName(name), text.encoded);
            (i < 2 ? first : answers) += name + "\n";
        }
        const RunResult run = runProgram("dskrecord", {}, first + "\n\n");
        EXPECT_EQ(run.status, 0);
        before = readFile(image);
        EXPECT_EQ(expectConsistent(before, contents, "before"), 2u);
        answers = image + "\n" + dir.path() + "\n" + answers + "\n\n";
        // FILE0 in its old entry, with a new text of four data sectors.
        const HostText newer = hostTextOfEncodedSize(900, 9);
        writeText(dir.file("file0"), newer.text);
        contents.emplace(catalogName("file0"), newer.encoded);
        replacing = {"--replace", image, dir.path(), "file3", "file0", "file4"};
    }
};

std::string readWhole(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(Save, EveryStopOfTheSaveLeavesTheCatalogsFilesWhole)
{
    ASSERT_EQ(runProgram(StracePath, {"-V"}, "").status, 0)
        << "strace is needed: apt-get install strace (scripts/test.sh does)";
    Scene scene;
    // The dialogue records three files; the argument form with --replace
    // records two of them and FILE0 anew in its old entry, whose sectors the
    // last write, of the VTOC again, frees.
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        std::string answers;
        size_t dataSectors; // of the files and their lists, written first
        size_t filesAfter;
        int syncs;
        size_t catalogEnd; // how many writes follow the last catalog sector's
        std::map<size_t, int> filesAtStops;
    } runs[] = {
        // Every stop before the catalog sectors shows the two old files; a
        // kill between them the old ones and the two of sector 30, while a
        // failed write there puts sector 30 back; a failed last fdatasync
        // shows all five.
        {"dialogue", {}, scene.answers, 125 + 3 + 2, 5, 3, 0, {{2, 132 + 4 + 2 + 1}, {4, 1}, {5, 1}}},
        // The same, with FILE3 in sector 31 and FILE4 in 30; and a stop at the
        // last VTOC write or after the catalog's sync shows the four.
        {"--replace", scene.replacing, "", 3 + 5 + 2, 4, 4, 1, {{2, 12 + 4 + 2}, {3, 1}, {4, 1 + 1 + 2}}},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.what);
        writeFile(scene.image, scene.before);
        // A clean run, traced: which write calls go to the image, and how many fdatasync calls.
        const std::string log = scene.dir.file("trace.log");
        RunResult clean =
            runUnderStrace({"-o", log, "-e", "trace=openat,pwrite64,fdatasync"}, "dskrecord", r.arguments, r.answers);
        ASSERT_EQ(clean.status, 0);
        const Bytes saved = readFile(scene.image);
        EXPECT_EQ(expectConsistent(saved, scene.contents, "after"), r.filesAfter);

        const std::string trace = readWhole(log);
        const std::regex open(R"re(openat\([^"]*"([^"]*)", O_RDWR\) = (\d+))re");
        std::smatch opened;
        ASSERT_TRUE(std::regex_search(trace, opened, open)) << trace;
        ASSERT_EQ(opened[1].str(), scene.image);
        const std::string imageFd = opened[2].str();
        std::vector<int> imageWrites; // the ordinal of each write call to the image among all pwrite64 calls
        int writes = 0;
        int syncs = 0;
        std::istringstream lines(trace);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("pwrite64(", 0) == 0) {
                ++writes;
                if (line.rfind("pwrite64(" + imageFd + ",", 0) == 0)
                    imageWrites.push_back(writes);
            }
            syncs += line.rfind("fdatasync(", 0) == 0 ? 1 : 0;
        }
        // The files with their lists, the VTOC, two catalog sectors (30,
        // then 31), then the VTOC again when sectors are freed; each step synced.
        EXPECT_EQ(imageWrites.size(), r.dataSectors + 1 + 2 + r.catalogEnd);
        EXPECT_EQ(syncs, r.syncs);

        // A kill before each write of the image; a failed write where a step
        // begins or ends (the first and last data sector, the VTOC, the catalog).
        std::vector<std::vector<std::string>> stops;
        for (size_t i = 0; i < imageWrites.size(); ++i) {
            const std::string when = ":when=" + std::to_string(imageWrites[i]);
            stops.push_back({"-e", "trace=pwrite64", "-e", "inject=pwrite64:error=EIO:signal=SIGKILL" + when});
            if (i == 0 || i + 4 >= imageWrites.size())
                stops.push_back({"-e", "trace=pwrite64", "-e", "inject=pwrite64:error=EIO" + when});
        }
        for (int k = 1; k <= syncs; ++k)
            stops.push_back({"-e", "trace=fdatasync", "-e", "inject=fdatasync:error=EIO:when=" + std::to_string(k)});

        const std::string lastCatalogWrite =
            "inject=pwrite64:error=EIO:when=" + std::to_string(imageWrites[imageWrites.size() - 1 - r.catalogEnd]);
        std::map<size_t, int> filesAtStops;
        for (const auto& stop : stops) {
            writeFile(scene.image, scene.before);
            const RunResult run = runUnderStrace(stop, "dskrecord", r.arguments, r.answers);
            const std::string told = run.output + run.errors; // the argument form tells failures on stderr
            const std::string& where = stop.back();
            if (where.find("SIGKILL") != std::string::npos) {
                EXPECT_EQ(run.status, -1) << where << ": not killed";
            } else {
                EXPECT_TRUE(told.find("\nError from write() for diskette file '" + scene.image + "'") !=
                                std::string::npos ||
                            told.find("\nError from fdatasync() for diskette file '" + scene.image + "'") !=
                                std::string::npos)
                    << where << told;
            }
            const size_t files = expectConsistent(readFile(scene.image), scene.contents, where);
            ++filesAtStops[files];
            if (where == lastCatalogWrite) {
                EXPECT_NE(told.find("The catalog sectors already written were put back as they were loaded: the "
                                    "catalog names none of the files of this run.\n"),
                          std::string::npos)
                    << told;
            }
        }
        EXPECT_EQ(filesAtStops, r.filesAtStops);
    }
}

TEST(Save, ASecondProgramIsRefusedAndAChangedImageIsNotWritten)
{
    Scene scene;
    // The first run holds the image while it waits at its question.
    const std::string console = scene.dir.file("first.out");
    const std::string command = programPath("dskrecord") + " > " + console;
    std::FILE* first = popen(command.c_str(), "w");
    ASSERT_NE(first, nullptr);
    std::fputs((scene.image + "\n").c_str(), first);
    std::fflush(first);
    for (int i = 0; i < 500 && readWhole(console).find("Enter path of text files") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_NE(readWhole(console).find("Enter path of text files"), std::string::npos);

    for (const char* other : {"dskrecord", "dskputdos"}) {
        const std::string input = std::string(other) == "dskputdos" ? "1\n" + scene.image + "\n\n" : scene.answers;
        const RunResult second = runProgram(other, {}, input);
        EXPECT_NE(second.output.find("\nError, diskette file '" + scene.image +
                                     "' is in use by another program.\n\n\n\nPress <cr> to continue ...  \n\n"),
                  std::string::npos)
            << second.output;
        EXPECT_EQ(second.output.find("Free space"), std::string::npos);
        EXPECT_EQ(readFile(scene.image), scene.before);
    }

    // Something else writes the image while the first run holds it in memory.
    Bytes changed = scene.before;
    changed[fileOffset(32, 5, 5)] = 0x5A;
    writeFile(scene.image, changed);
    std::fputs((scene.answers.substr(scene.answers.find('\n') + 1)).c_str(), first);
    EXPECT_EQ(pclose(first), 0);
    EXPECT_NE(readWhole(console).find("\nError, diskette file '" + scene.image +
                                      "' changed since it was loaded; nothing saved.\n\n"),
              std::string::npos)
        << readWhole(console);
    EXPECT_EQ(readFile(scene.image), changed);
}
