// dskblank: writes a formatted blank diskette image, as the diskette's own
// DOS initialises one.
#include "blank_image.h"
#include "files.h"
#include "output_file.h"
#include "program.h"

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
