// The layouts are described as the walk that lays the blocks down in file
// order, and the table of places is worked out from it when compiling:
//   phase 1, the main run from track 0 at the version's start sector,
//            counting sectors 0 to 15 on every track, up to the version's
//            end place (which itself receives nothing);
//   phase 2, blocks that have no place (version 3 only);
//   phase 3, one block into track 0 sector 0;
//   phase 4, the tail into track 0 from sector 1 on, while a counter that
//            starts at 9 and drops by one a block differs from the version's
//            stop value.
#include "dos_layout.h"

#include "program.h"

#include <array>

namespace {

struct DosWalk {
    int startSector; // phase 1 starts on track 0 here
    int endTrack;    // phase 1 stops on reaching this place
    int endSector;
    int placeless; // phase 2
    int tailStop;  // phase 4
};

constexpr std::array<DosWalk, DosVersions> DosWalks{{
    {12, 2, 5, 0, 0}, // 1) DOS 3.3
    {9, 2, 3, 0, 1},  // 2) DOS 4.0 - 35 sectors
    {7, 2, 0, 3, 3},  // 3) DOS 4.1 - 32 sectors
}};

using BlockPlaces = std::array<DosPlace, DosBlocks>;

// The walk of one version. A walk that does not take exactly 35 blocks
// gives block 0 a place off the DOS tracks, which wellPlaced refuses.
constexpr BlockPlaces walkBlocks(const DosWalk& walk)
{
    BlockPlaces places{};
    int block = 0;
    auto next = [&](DosPlace place) {
        if (block < DosBlocks)
            places[static_cast<size_t>(block)] = place;
        ++block;
    };
    for (int track = 0, sector = walk.startSector; track != walk.endTrack || sector != walk.endSector;) {
        next({track, sector});
        if (++sector == 16) {
            sector = 0;
            ++track;
        }
    }
    for (int i = 0; i < walk.placeless; ++i)
        next({-1, -1});
    next({0, 0});
    for (int n = 9, sector = 1; n != walk.tailStop; --n)
        next({0, sector++});
    if (block != DosBlocks)
        places[0] = {99, 0};
    return places;
}

// Every block lies on tracks 0 to 2 below sector 16, or nowhere, and no two
// blocks share a sector.
constexpr bool wellPlaced(const BlockPlaces& places)
{
    for (size_t i = 0; i < places.size(); ++i) {
        const DosPlace& place = places[i];
        if (place.nowhere())
            continue;
        if (place.track > 2 || place.sector < 0 || place.sector >= 16)
            return false;
        for (size_t j = 0; j < i; ++j)
            if (places[j].track == place.track && places[j].sector == place.sector)
                return false;
    }
    return true;
}

constexpr std::array<BlockPlaces, DosVersions> Places{
    walkBlocks(DosWalks[0]),
    walkBlocks(DosWalks[1]),
    walkBlocks(DosWalks[2]),
};
static_assert(wellPlaced(Places[0]) && wellPlaced(Places[1]) && wellPlaced(Places[2]));

constexpr std::array<std::string_view, DosVersions> Numbers{"1", "2", "3"};
constexpr std::array<std::string_view, DosVersions> Names{"3.3", "4.0", "4.1"};

} // namespace

DosPlace dosBlockPlace(int version, int block)
{
    if (version < 1 || version > DosVersions || block < 0 || block >= DosBlocks)
        return {-1, -1};
    return Places[static_cast<size_t>(version - 1)][static_cast<size_t>(block)];
}

bool dosPlacesBlockAt(int version, int track, int sector)
{
    for (int block = 0; block < DosBlocks; ++block) {
        const DosPlace place = dosBlockPlace(version, block);
        if (place.track == track && place.sector == sector)
            return true;
    }
    return false;
}

int dosVersionNamed(std::string_view name)
{
    for (size_t i = 0; i < Names.size(); ++i)
        if (name == Numbers[i] || name == Names[i])
            return static_cast<int>(i) + 1;
    return 0;
}

int dosVersionArgument(const char* word)
{
    const int version = dosVersionNamed(word);
    if (version == 0)
        reportFailure("\nError, DOS version '%s' is not 1, 2, 3, 3.3, 4.0 or 4.1.\n\n", word);
    return version;
}

const char* dosVersionName(int version)
{
    return version >= 1 && version <= DosVersions ? Names[static_cast<size_t>(version - 1)].data() : "";
}
