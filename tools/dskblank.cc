// dskblank: writes a formatted blank diskette image, for the demo and the
// examples. Usage: dskblank PATH TRACKS SECTORS (35/40/48 and 16/32).
#include "blank_image.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitUsage = 2;
constexpr int ExitFailed = 1;

std::array<uint8_t, 393216> image;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: dskblank PATH TRACKS(35|40|48) SECTORS(16|32)\n");
        return ExitUsage;
    }
    const size_t size = buildBlankImage(std::atoi(argv[2]), std::atoi(argv[3]), image);
    if (size == 0) {
        std::fprintf(stderr, "dskblank: %s tracks of %s sectors is not a recognised geometry\n", argv[2], argv[3]);
        return ExitUsage;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return ExitFailed;
    }
    const bool written = std::fwrite(image.data(), 1, size, out) == size;
    if (std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return ExitFailed;
    }
    std::printf("dskblank: wrote a blank %s-track %s-sector image of %zu bytes to '%s'\n", argv[2], argv[3], size, argv[1]);
    return ExitOk;
}
