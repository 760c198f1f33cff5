// dskblank: writes a formatted blank diskette image, as the diskette's own
// DOS initialises one.
#include "blank_image.h"
#include "files.h"
#include "program.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

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
    // Without -f an existing file is never touched: it may be someone's only image.
    const int flags = O_WRONLY | O_CREAT | (overwrite ? O_TRUNC : O_EXCL);
    const int fd = open(path, flags, 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            std::fprintf(stderr, "dskblank: '%s' exists; give -f to overwrite it\n", path);
        else
            reportCallFailure("open", "image", path);
        return ExitFailure;
    }
    const bool written = writeAll(fd, std::span(Image).first(size)) == 0;
    if (close(fd) != 0 || !written) {
        reportCallFailure(written ? "close" : "write", "image", path);
        return ExitFailure;
    }
    return ExitOk;
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
    const int status = writeImage(args[0], overwrite, size);
    if (status == ExitOk)
        std::printf("dskblank: wrote a blank %s-track %s-sector image of %zu bytes to '%s'\n", args[1], args[2], size,
                    args[0]);
    return status;
}
