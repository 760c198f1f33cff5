// dskgetdos: writes the DOS of a bootable diskette image, tracks 0 to 2 in
// one version's layout, as the 8960-byte DOS file that dskputdos takes.
#include "dos_layout.h"
#include "files.h"
#include "program.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view Options[]{"-f"};
const ProgramForm Form{
    "dskgetdos", "[-f] VERSION IMAGE DOSFILE", 3, 3,
    "  -f       replace DOSFILE if it exists (without it, an existing DOSFILE is refused)\n"
    "  VERSION  1 or 3.3 (DOS 3.3), 2 or 4.0 (DOS 4.0, 35 sectors), 3 or 4.1 (DOS 4.1, 32 sectors)\n"
    "  IMAGE    a diskette that this DOS initialised (INIT), not a master disk; it is only read\n"
    "  DOSFILE  the DOS file to write, 8960 bytes, as dskputdos takes it\n",
    false, Options};

constexpr const char* ExistsMessage = "\nError, DOS file '%s' exists; give -f to replace it; nothing written.\n\n";

std::array<uint8_t, DosFileBytes> Dos;
// DOSFILE's temporary name beside it.
std::array<char, PATH_MAX + 8> TempPath;

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

// DOSFILE is written under a temporary name beside it and only then given
// its name: with -f renamed over what has the name, without -f linked to
// the name, which fails when a file of that name appeared meanwhile. A new
// file gets mode 0666 less the umask, a regular one replaced keeps its
// permissions. On a failure the temporary file is removed and DOSFILE is as
// it was.
int writeDosFile(const char* path, bool replace)
{
    const int length = std::snprintf(TempPath.data(), TempPath.size(), "%s.XXXXXX", path);
    const int fd = length > 0 && static_cast<size_t>(length) < TempPath.size() ? mkstemp(TempPath.data()) : -1;
    if (fd < 0) {
        reportCallFailure("mkstemp", "DOS", path);
        return -1;
    }
    const mode_t mask = umask(0);
    umask(mask);
    struct stat existing{};
    const bool keepMode = replace && stat(path, &existing) == 0 && S_ISREG(existing.st_mode);
    const mode_t mode = keepMode ? existing.st_mode & 0777 : 0666 & ~mask;
    const char* failed = nullptr;
    if (fchmod(fd, mode) != 0)
        failed = "fchmod";
    else if (writeAll(fd, Dos) != 0)
        failed = "write";
    else if (fsync(fd) != 0)
        failed = "fsync";
    if (close(fd) != 0 && failed == nullptr)
        failed = "close";
    bool appeared = false;
    if (failed == nullptr && replace && rename(TempPath.data(), path) != 0)
        failed = "rename";
    if (failed == nullptr && !replace) {
        if (link(TempPath.data(), path) != 0) {
            appeared = errno == EEXIST;
            failed = "link";
        } else if (unlink(TempPath.data()) != 0) {
            failed = "unlink";
        }
    }
    if (failed == nullptr)
        return 0;
    unlink(TempPath.data());
    if (appeared)
        reportFailure(ExistsMessage, path);
    else
        reportCallFailure(failed, "DOS", path);
    return -1;
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
    struct stat status{};
    if (!replace && lstat(dosPath, &status) == 0) {
        reportFailure(ExistsMessage, dosPath);
        return ExitFailure;
    }
    if (loadImage(image, DiskUse::ReadStrict) != 0)
        return ExitFailure;
    if (!gatherDos(version)) {
        reportFailure("\nError, the sectors where DOS %s keeps its blocks hold only zeros on diskette file '%s': "
                      "it holds no DOS; nothing written.\n\n",
                      dosVersionName(version), image);
        return ExitFailure;
    }
    if (writeDosFile(dosPath, replace) != 0)
        return ExitFailure;
    std::printf("dskgetdos: wrote the DOS %s of '%s', %d bytes, to '%s'\n", dosVersionName(version), image,
                static_cast<int>(DosFileBytes), dosPath);
    return exitStatus(ExitOk);
}
