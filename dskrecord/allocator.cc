#include "allocator.h"

#include "disk_image.h"

#include <algorithm>
#include <array>

namespace {

// The four bitmap bytes of a track in search order, each with the sector
// that its bit 0 stands for; bits are tested from 7 down, so the sectors
// come strictly from 31 down to 0.
struct BitmapByte {
    int index;
    int lowestSector;
};
constexpr std::array<BitmapByte, 4> SearchOrder{{{2, 24}, {3, 16}, {0, 8}, {1, 0}}};

// Takes the highest free sector of track t; returns it, or -1 when none is free.
int32_t takeFromTrack(int32_t t)
{
    auto table = vtoc();
    for (const BitmapByte& byte : SearchOrder) {
        const int index = VtocBitmap + 4 * t + byte.index;
        for (int bit = 7; bit >= 0; --bit) {
            const int32_t s = byte.lowestSector + bit;
            const auto mask = static_cast<uint8_t>(1u << bit);
            if (s >= NumSectors || (table[index] & mask) == 0)
                continue;
            table[index] = static_cast<uint8_t>(table[index] & ~mask);
            return s;
        }
    }
    return -1;
}

} // namespace

int getNextTS(int32_t& track, int32_t& sector)
{
    auto table = vtoc();
    int32_t t = std::min<int32_t>(table[VtocLastAllocatedTrack], NumTracks - 1);
    while (t >= 0) {
        const int32_t s = takeFromTrack(t);
        if (s >= 0) {
            table[VtocLastAllocatedTrack] = static_cast<uint8_t>(t);
            auto taken = sectorAt(t, s);
            std::fill(taken.begin(), taken.end(), uint8_t{0});
            track = t;
            sector = s;
            return 0;
        }
        --t;
        if (t == CatalogTrack)
            --t;
    }
    table[VtocLastAllocatedTrack] = 0xFF;
    track = -1;
    sector = -1;
    return -1;
}
