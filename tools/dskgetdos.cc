// dskgetdos: writes the DOS of a bootable diskette image, tracks 0 to 2 in
// one version's layout, as the 8960-byte DOS file that dskputdos takes.
#include "dos_layout.h"
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
const ProgramForm Form{
    "dskgetdos", "[-f] VERSION IMAGE DOSFILE", 3, 3,
    "  -f       replace DOSFILE if it exists (without it, an existing DOSFILE is refused)\n"
    "  VERSION  1 or 3.3 (DOS 3.3), 2 or 4.0 (DOS 4.0, 35 sectors), 3 or 4.1 (DOS 4.1, 32 sectors)\n"
    "  IMAGE    a diskette that this DOS initialised (INIT), not a master disk; it is only read\n"
    "  DOSFILE  the DOS file to write, 8960 bytes, as dskputdos takes it\n",
    false, Options};

std::array<uint8_t, DosFileBytes> Dos;

// Takes each block from its place in Disk; a block the version has no place
// for is zeros. Returns whether a placed block holds a byte other than zero.
bool gatherDos(int version)
{
    bool anything = false;
    for (int block = 0; block < DosBlocks; ++block) {
        const auto into = std::span(Dos).subspan(static_cast<size_t>(block) * SectorBytes, SectorBytes);
        const DosPlace place = dosBlockPlace(version, block);
        if (place.nowhere()) {
            std::ranges::fill(into, uint8_t{0});
            continue;
        }
        const auto from = sectorAt(place.track, place.sector);
        std::ranges::copy(from, into.begin());
        anything = anything || std::ranges::any_of(from, [](uint8_t byte) { return byte != 0; });
    }
    return anything;
}

} // namespace

int main(int argc, char** argv)
{
    const int started = startProgram(Form, argc, argv);
    if (started >= 0)
        return started;
    const std::span<char*> args = argumentAnswers();
    const char* image = args[1];
    const char* dosPath = args[2];
    const bool replace = optionGiven("-f");
    const int version = dosVersionArgument(args[0]);
    if (version == 0)
        return ExitFailure;
    if (refuseSameFile(image, dosPath, "\nError, DOS file '%s' is the diskette file '%s'; nothing written.\n\n"))
        return ExitFailure;
    if (loadImage(image, DiskUse::ReadStrict) != 0)
        return ExitFailure;
    if (!gatherDos(version)) {
        reportFailure("\nError, the sectors where DOS %s keeps its blocks hold only zeros on diskette file '%s': "
                      "it holds no DOS; nothing written.\n\n",
                      dosVersionName(version), image);
        return ExitFailure;
    }
    // Without -f an existing DOSFILE is never touched, nor one that appears while the DOS is written.
    const OutputFailure failure = writeOutput(dosPath, Dos, replace ? OutputUse::Descriptor : OutputUse::NewOnly);
    if (failure.failed()) {
        if (failure.error == EEXIST && !replace)
            reportFailure("\nError, DOS file '%s' exists; give -f to replace it; nothing written.\n\n", dosPath);
        else
            reportCallFailure(failure.call, "DOS", dosPath);
        return ExitFailure;
    }
    std::printf("dskgetdos: wrote the DOS %s of '%s', %d bytes, to '%s'\n", dosVersionName(version), image,
                static_cast<int>(DosFileBytes), dosPath);
    return exitStatus(ExitOk);
}
