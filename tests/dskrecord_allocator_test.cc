#include "allocator.h"
#include "disk_image.h"
#include "dskrecord_test_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace dskrecord_test;

namespace {

Place next()
{
    int32_t track = 99;
    int32_t sector = 99;
    const int status = getNextTS(track, sector);
    EXPECT_EQ(status == 0, track >= 0 && sector >= 0);
    return {track, sector};
}

} // namespace

// Every free sector in order, each cleared, then exhaustion that changes
// nothing but byte 0x30. Track 17 and, on 16-sector images, bits of sectors
// 16 to 31 are marked free and must never be handed out.
TEST(Allocator, HandsOutEverySectorInOrderThenRunsOut)
{
    for (int sectors : {16, 32}) {
        SCOPED_TRACE(sectors);
        Bytes image = blankImage(35, sectors);
        for (int t = 0; t < 35; ++t)
            for (int b = 0; b < 4; ++b)
                if (t == 17 || (b >= 2 && sectors == 16))
                    image[vtocAt(sectors, 0x38 + 4 * t + b)] = 0xFF;
        image[vtocAt(sectors, 0x30)] = 34;
        useImage(image, 35, sectors);
        for (const auto& [t, s] : allocationOrder(34, 3, sectors))
            std::ranges::fill(sectorAt(t, s), uint8_t{0xAA}); // old data the allocator must clear

        for (const Place& expected : allocationOrder(34, 3, sectors)) {
            ASSERT_EQ(next(), expected);
            EXPECT_EQ(vtoc()[0x30], expected.first);
            auto taken = sectorAt(expected.first, expected.second);
            EXPECT_TRUE(std::all_of(taken.begin(), taken.end(), [](uint8_t b) { return b == 0; }));
        }
        auto before = Disk;
        EXPECT_EQ(next(), Place(-1, -1));
        before[VtocOffset + 0x30] = 0xFF;
        EXPECT_TRUE(Disk == before);
    }
}

TEST(Allocator, StartsAtByte0x30AndReachesTrackZero)
{
    Bytes image = blankImage(35, 32);
    setFreeSectors(image, 35, 32, 32 * 34); // every track but the catalog's
    useImage(image, 35, 32);
    vtoc()[0x30] = 5; // tracks above are free but never examined
    for (int s = 31; s >= 0; --s)
        EXPECT_EQ(next(), Place(5, s));
    EXPECT_EQ(next(), Place(4, 31));

    vtoc()[0x30] = 1;
    vtoc()[0x38 + 4] = vtoc()[0x39 + 4] = vtoc()[0x3A + 4] = vtoc()[0x3B + 4] = 0;
    EXPECT_EQ(next(), Place(0, 31));

    vtoc()[0x30] = 200; // a start beyond the image begins on its top track
    EXPECT_EQ(next(), Place(34, 31));
}
