#include "dskrecord_test_helpers.h"
#include "run_program.h"

#include <gtest/gtest.h>

using namespace dskrecord_test;

namespace {

int sectorTotal(int dataSectors)
{
    return dataSectors + (dataSectors + 121) / 122;
}

} // namespace

// Files of many sizes fill each geometry to its last free sector; every
// catalog entry then reads back as exactly its file's encoded bytes, and
// the bitmap marks exactly the sectors the files use as taken.
TEST(Fill, EveryGeometryFilledToTheLastSectorReadsBack)
{
    for (const Geometry& g : AllGeometries) {
        SCOPED_TRACE(std::to_string(g.tracks) + "x" + std::to_string(g.sectors));
        TempDir dir;
        const Bytes blank = blankImage(g.tracks, g.sectors);
        writeFile(dir.file("d.dsk"), blank);

        // empty, one line, 256 and 257 bytes, 122 and 123 data sectors
        std::vector<size_t> sizes{3, 9, 256, 257, 31232, 31233};
        int left = (g.tracks - 4) * g.sectors;
        for (size_t size : sizes)
            left -= sectorTotal(static_cast<int>((size + 255) / 256));
        int data = 1;
        while (sectorTotal(data + 1) <= left)
            ++data;
        if (sectorTotal(data) != left) { // no file has that many sectors: a small one first
            sizes.push_back(9);
            data -= 1;
        }
        sizes.push_back(256 * static_cast<size_t>(data - 1) + 100);

        std::string input = dir.file("d.dsk") + "\n" + dir.path() + "\n";
        std::vector<HostText> files;
        for (size_t i = 0; i < sizes.size(); ++i) {
            files.push_back(hostTextOfEncodedSize(sizes[i], static_cast<int>(i)));
            const std::string name = "f" + std::to_string(i);
            writeText(dir.file(name), files.back().text);
            input += name;
            input += '\n';
        }
        // One file more, of a single line: no sector is left for it. It is refused and asked
        // for again, and every file recorded before it stays.
        writeText(dir.file("more"), "A\n");
        const RunResult run = runProgram("dskrecord", {}, input + "more\n\n\n");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.output.find("Error"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("There is insufficient disk space for file '" + dir.file("more") +
                                  "'.\n\n\n\nPress <cr> to continue ...  \n\n\nEnter text file to record:  \n\n\n"
                                  "Press <cr> to continue ...  \n\n"),
                  std::string::npos)
            << run.output;

        const Bytes after = readFile(dir.file("d.dsk"));
        ASSERT_EQ(after.size(), blank.size());
        const std::vector<size_t> entries = catalogEntries(after, g.sectors);
        std::set<Place> used;
        for (size_t i = 0; i < files.size(); ++i) {
            const ReadBack file = readBack(after, g.sectors, entries[i]);
            EXPECT_TRUE(file.wellFormed) << i;
            EXPECT_TRUE(holdsExactly(file, files[i].encoded)) << i;
            EXPECT_EQ(file.lists, (file.dataSectors + 121) / 122) << i;
            EXPECT_EQ(after[entries[i] + 33] + 256 * after[entries[i] + 34], file.dataSectors + file.lists) << i;
            for (const Place& p : file.used)
                EXPECT_TRUE(used.insert(p).second) << "sector used twice";
        }
        EXPECT_EQ(after[entries[files.size()]], 0); // the next entry stays free

        for (int t = 0; t < g.tracks; ++t) {
            for (int s = 0; s < 32; ++s) {
                const int byte = s >= 16 ? 2 + (31 - s) / 8 : (15 - s) / 8;
                const uint8_t bit = static_cast<uint8_t>(1u << (s % 8));
                const size_t at = vtocAt(g.sectors, 0x38 + 4 * t + byte);
                const bool wasFree = (blank[at] & bit) != 0;
                const bool isUsed = used.count({t, s}) != 0;
                EXPECT_EQ((after[at] & bit) != 0, wasFree && !isUsed) << t << "/" << s;
                EXPECT_TRUE(wasFree || !isUsed) << t << "/" << s;
            }
        }
        EXPECT_EQ(static_cast<int>(used.size()), (g.tracks - 4) * g.sectors); // every free sector
    }
}
