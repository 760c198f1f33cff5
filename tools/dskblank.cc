// dskblank: writes a formatted blank diskette image, as the diskette's own
// DOS initialises one.
#include "blank_image.h"
#include "disk_image.h"
#include "files.h"
#include "output_file.h"
#include "program.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <string_view>

namespace {

constexpr std::string_view Options[]{"-f"};
constexpr NumberArgument Numbers[]{{2, 10, "TRACKS"}, {3, 10, "SECTORS"}};
const ProgramForm Form{
    "dskblank", "[-f] PATH TRACKS SECTORS", 3, 3,
    "  -f       overwrite PATH if it exists (without it, an existing PATH is refused)\n"
    "  PATH     the image file to write\n"
    "  TRACKS   35, 40 or 48\n"
    "  SECTORS  16 or 32, sectors per track\n",
    false, Options, Numbers};

std::array<uint8_t, 393216> Image;

int writeImage(const char* path, bool overwrite, size_t size)
{
    // Without -f an existing file is never touched: it may be someone's only
    // image. Nor is one that appears while the image is written.
    const OutputFailure failure =
        writeOutput(path, std::span(Image).first(size), overwrite ? OutputUse::Descriptor : OutputUse::NewOnly);
    if (!failure.failed())
        return ExitOk;
    if (failure.error == EEXIST && !overwrite)
        std::fprintf(stderr, "dskblank: '%s' exists; give -f to overwrite it\n", path);
    else
        reportCallFailure(failure.opening ? "open" : failure.call, "image", path);
    return ExitFailure;
}

// An image named .po is kept in ProDOS order: DOS sector s of each track
// 256 x ProdosPlace[s] bytes from the track's start.
void toProdosOrder(size_t size)
{
    constexpr size_t TrackBytes = ProdosPlace.size() * SectorBytes;
    std::array<uint8_t, TrackBytes> track{};
    for (size_t start = 0; start + TrackBytes <= size; start += TrackBytes) {
        const auto stored = std::span(Image).subspan(start, TrackBytes);
        std::ranges::copy(stored, track.begin());
        for (size_t s = 0; s < ProdosPlace.size(); ++s)
            std::ranges::copy(std::span(track).subspan(s * SectorBytes, SectorBytes),
                              stored.begin() + ProdosPlace[s] * SectorBytes);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int started = startProgram(Form, argc, argv);
    if (started >= 0)
        return started;
    const std::span<char*> args = argumentAnswers();
    const bool overwrite = optionGiven("-f");
    uint64_t tracks = 0;
    uint64_t sectors = 0;
    wholeNumber(args[1], 10, tracks); // both checked as whole numbers already
    wholeNumber(args[2], 10, sectors);
    const size_t size = tracks > 48 || sectors > 32
                            ? 0
                            : buildBlankImage(static_cast<int>(tracks), static_cast<int>(sectors), Image);
    if (size == 0) {
        std::fprintf(stderr, "dskblank: %s tracks of %s sectors is not a recognised geometry\n", args[1], args[2]);
        return ExitUsage;
    }
    if (prodosOrderName(args[0])) {
        if (sectors != ProdosPlace.size()) {
            std::fprintf(stderr, "dskblank: '%s' is named .po, but a %s-sector image has no ProDOS order\n", args[0],
                         args[2]);
            return ExitUsage;
        }
        toProdosOrder(size);
    }
    const int status = writeImage(args[0], overwrite, size);
    if (status == ExitOk)
        std::printf("dskblank: wrote a blank %s-track %s-sector image of %zu bytes to '%s'\n", args[1], args[2], size,
                    args[0]);
    return status;
}
