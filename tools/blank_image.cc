#include "blank_image.h"

#include <algorithm>

namespace {

constexpr size_t SectorSize = 256;
constexpr int Vtoc = 17;

bool recognised(int tracks, int sectors)
{
    return (tracks == 35 || tracks == 40 || tracks == 48) && (sectors == 16 || sectors == 32);
}

} // namespace

size_t buildBlankImage(int tracks, int sectors, std::span<uint8_t> out)
{
    const size_t size = static_cast<size_t>(tracks) * static_cast<size_t>(sectors) * SectorSize;
    if (!recognised(tracks, sectors) || out.size() < size)
        return 0;
    std::fill(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(size), uint8_t{0});

    auto sector = [&](int t, int s) { return out.subspan((static_cast<size_t>(t) * sectors + s) * SectorSize, SectorSize); };

    auto vtoc = sector(Vtoc, 0);
    vtoc[0x01] = Vtoc;
    vtoc[0x02] = static_cast<uint8_t>(sectors - 1);
    vtoc[0x03] = 3;
    vtoc[0x06] = 254;
    vtoc[0x27] = 122;
    vtoc[0x30] = Vtoc;
    vtoc[0x31] = 1;
    vtoc[0x34] = static_cast<uint8_t>(tracks);
    vtoc[0x35] = static_cast<uint8_t>(sectors);
    vtoc[0x36] = 0x00;
    vtoc[0x37] = 0x01;
    for (int t = 0; t < tracks; ++t) {
        if (t <= 2 || t == Vtoc)
            continue;
        const size_t map = 0x38 + 4 * static_cast<size_t>(t);
        vtoc[map] = 0xFF;
        vtoc[map + 1] = 0xFF;
        vtoc[map + 2] = sectors == 32 ? 0xFF : 0x00;
        vtoc[map + 3] = sectors == 32 ? 0xFF : 0x00;
    }

    for (int s = sectors - 1; s >= 1; --s) {
        auto catalog = sector(Vtoc, s);
        catalog[0x01] = s > 1 ? Vtoc : 0;
        catalog[0x02] = static_cast<uint8_t>(s - 1);
    }
    return size;
}
