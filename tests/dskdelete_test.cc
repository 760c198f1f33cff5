// dskdelete: files recorded by dskrecord deleted as the DOS deletes them,
// sectors that another file uses kept, a damaged file deleted all the same,
// and the refusals that leave the image byte for byte as it was.
#include "dskrecord_test_helpers.h"

#include <functional>

using namespace dskrecord_test;

TEST(Dskdelete, DeletesAsTheDosOrNothingAtAll)
{
    TempDir dir;
    const std::string image = recordThreeFiles(dir);
    const Bytes recorded = readFile(image);
    const std::vector<size_t> entries = catalogEntries(recorded, 16);
    const size_t a = entries[0], big = entries[1], c = entries[2];
    const size_t cPair = fileOffset(16, 26, 15) + 0x0C;
    const auto cSharesWithA = [=](Bytes& d) { d[cPair] = 34; }; // C.S's data pair names 34/14
    std::set<Place> bigReached = readBack(recorded, 16, big).used;
    bigReached.erase({27, 1}); // the second list's data sectors, past the break
    bigReached.erase({27, 0});
    const std::string inImage = "diskette file '" + image + "'";
    struct Case {
        std::vector<std::string> names;
        std::function<void(Bytes&)> damage;
        std::vector<size_t> deleted; // entries
        std::set<Place> freed;
        std::string errors; // status 1 when nothing is deleted, else 0
    };
    const Case cases[] = {
        {{"big.s", "BIG.S"}, [](Bytes&) {}, {big}, readBack(recorded, 16, big).used, ""},
        {{"c.s"}, cSharesWithA, {c}, {{26, 15}}, ""},
        {{"c.s", "a.s"}, cSharesWithA, {c, a}, {{26, 15}, {34, 15}, {34, 14}}, ""},
        {{"big.s"}, [](Bytes& d) { d[fileOffset(16, 27, 2) + 0x0C] = 40; }, {big}, bigReached,
         "\nNote: the track/sector lists of file 'big.s' on " + inImage +
             " break at track 40 sector 1; the file is deleted, and only the sectors reached before the break are "
             "freed.\n"},
        {{"a.s", "big.s"}, [=](Bytes& d) { d[a + 2] = 0x80; }, {}, {},
         "\nError, file 'a.s' on " + inImage + " is locked; nothing deleted.\n\n"},
        {{"c.s", "none.s"}, [](Bytes&) {}, {}, {},
         "\nError, no file named 'none.s' in the catalog of " + inImage + "; nothing deleted.\n\n"},
        {{"a.s"}, [](Bytes& d) { d[fileOffset(16, 17, 15) + 2] = 15; }, {}, {},
         "\nError, the catalog links back to track 17 sector 15, read already; the catalog ends there.\n\n"
         "\nError, the catalog of " + inImage +
             " is broken, so the sectors of the files past the break are not known; nothing deleted.\n\n"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.names[0] + " " + std::to_string(test.names.size()));
        Bytes expected = recorded;
        test.damage(expected);
        writeFile(image, expected);
        for (size_t entry : test.deleted)
            expected[entry + 32] = std::exchange(expected[entry], uint8_t{0xFF});
        for (const auto& [t, s] : test.freed)
            expected[vtocAt(16, 0x38 + 4 * t + (s < 8 ? 1 : 0))] |= static_cast<uint8_t>(1u << (s % 8));
        std::vector<std::string> args{image};
        args.insert(args.end(), test.names.begin(), test.names.end());
        const RunResult run = runProgram("dskdelete", args, "");
        EXPECT_EQ(run.status, test.deleted.empty() ? 1 : 0);
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.errors, test.errors);
        EXPECT_EQ(readFile(image), expected);
        const std::string listing = runProgram("dskcatalog", {image}, "").output;
        for (const auto& [entry, name] : {std::pair{a, " A.S "}, {big, " BIG.S "}, {c, " C.S "}})
            EXPECT_EQ(listing.find(name) == std::string::npos, std::ranges::count(test.deleted, entry) == 1) << name;
    }
    EXPECT_EQ(runProgram("dskdelete", {image}, "").status, 2);
}
