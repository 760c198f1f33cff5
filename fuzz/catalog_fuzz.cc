// dskrecord's catalog walk and recording on an arbitrary image, in process.
//
// Input: a geometry byte (one of the six sizes), two bytes that pick up to
// five answers to "Enter text file to record:", then bytes laid over the
// image file from track 17 sector 0 on (VTOC, bitmap, catalog sectors
// first), wrapping round to track 0; what they do not reach stays a
// formatted blank image. The answers name host files of a scratch folder:
// small, exactly one sector, large enough for a second track/sector list,
// empty, a folder, a missing name, an over-long name, or an empty answer.
//
// Rules checked: nothing is written outside the image's geometry (it would
// be lost with the save); the VTOC changes only in its last-allocated-track
// byte and the bitmap of the image's tracks; the free count never grows.
#include "blank_image.h"
#include "dialogue.h"
#include "disk_image.h"
#include "fuzz_support.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

std::string Folder;
std::array<std::vector<uint8_t>, DiskSizes.size()> BlankImages;
std::FILE* Console = nullptr; // standard input as the process got it

constexpr const char* Answers[8] = {"small.s", "sector.s", "big.s", "empty.s", "folder",
                                    "missing.s", "a-name-longer-than-thirty-characters.s", ""};

void writeHostFile(const std::string& name, const std::string& text)
{
    std::FILE* file = std::fopen((Folder + "/" + name).c_str(), "w");
    if (file == nullptr || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0)
        fuzzFailure("cannot write a host file");
}

// Puts the blank image of the geometry into Disk as loading it would, then
// lays the fuzz bytes over it in file order from the VTOC on.
void loadImage(const std::vector<uint8_t>& blank, const uint8_t* bytes, size_t count)
{
    const auto trackBytes = static_cast<size_t>(NumSectors) * SectorBytes;
    Disk.fill(0);
    for (int32_t t = 0; t < NumTracks; ++t)
        std::copy_n(blank.begin() + static_cast<std::ptrdiff_t>(t * trackBytes), trackBytes,
                    Disk.begin() + sectorOffset(t, 0));
    const size_t vtocAt = CatalogTrack * trackBytes;
    for (size_t i = 0; i < count && i < blank.size(); ++i) {
        const size_t at = (vtocAt + i) % blank.size();
        Disk[at / trackBytes * TrackSlotBytes + at % trackBytes] = bytes[i];
    }
}

bool zeroOutsideGeometry()
{
    static const std::array<uint8_t, TrackSlotBytes> zeros{};
    for (int32_t t = 0; t < MaxTracks; ++t) {
        const int32_t from = t < NumTracks ? NumSectors : 0;
        const auto at = static_cast<size_t>(sectorOffset(t, from));
        if (std::memcmp(&Disk[at], zeros.data(), static_cast<size_t>(32 - from) * SectorBytes) != 0)
            return false;
    }
    return true;
}

// Whether a VTOC byte may change in a recording: byte 0x30 and the bitmap of the image's tracks.
bool mayChange(int byte)
{
    return byte == VtocLastAllocatedTrack || (byte >= VtocBitmap && byte < VtocBitmap + 4 * NumTracks);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceConsole();
    // The answers come from memory streams; the process's own input must not be a terminal.
    if (std::freopen("/dev/null", "r", stdin) == nullptr)
        fuzzFailure("standard input cannot be taken from the null device");
    Console = stdin;
    Folder = makeScratchFolder("catalog-fuzz");
    writeHostFile("small.s", "START  LDA #$00 ; clear\n\n:COMMENT\n  RTS\n");
    writeHostFile("sector.s", std::string(252, 'A') + "\n"); // 253 encoded, 256 with the end marker
    std::string big;
    for (int line = 0; line < 318; ++line)
        big += std::string(99, static_cast<char>('A' + line % 26)) + "\n"; // 125 sectors
    writeHostFile("big.s", big);
    writeHostFile("empty.s", "");
    if (mkdir((Folder + "/folder").c_str(), 0777) != 0)
        fuzzFailure("cannot make the host folder");

    for (size_t i = 0; i < DiskSizes.size(); ++i) {
        BlankImages[i].resize(static_cast<size_t>(DiskSizes[i].fileSize));
        if (buildBlankImage(DiskSizes[i].tracks, DiskSizes[i].sectors, BlankImages[i]) == 0)
            fuzzFailure("no blank image for a recognised size");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const size_t geometry = data[0] % DiskSizes.size();
    NumTracks = DiskSizes[geometry].tracks;
    NumSectors = DiskSizes[geometry].sectors;

    std::string answers;
    const unsigned plan = data[1] | data[2] << 8;
    for (int i = 0; i < 5; ++i)
        answers += std::string(Answers[(plan >> (3 * i)) & 7]) + "\n";

    loadImage(BlankImages[geometry], data + 3, size - 3);

    // As the dialogue does before the walk.
    const int freeBefore = countFree();
    vtoc()[VtocLastAllocatedTrack] = static_cast<uint8_t>(NumTracks - 1);
    const std::array<uint8_t, SectorBytes> vtocBefore = [] {
        std::array<uint8_t, SectorBytes> copy;
        std::ranges::copy(vtoc(), copy.begin());
        return copy;
    }();

    stdin = fmemopen(answers.data(), answers.size(), "r");
    if (stdin == nullptr)
        fuzzFailure("the answers cannot be opened");
    recordAlongCatalog(Folder, freeBefore);
    std::fclose(stdin);
    stdin = Console;

    if (!zeroOutsideGeometry())
        fuzzFailure("a sector outside the image's geometry was written");
    for (int byte = 0; byte < SectorBytes; ++byte)
        if (!mayChange(byte) && vtoc()[static_cast<size_t>(byte)] != vtocBefore[static_cast<size_t>(byte)])
            fuzzFailure("a VTOC byte outside the bitmap changed");
    if (countFree() > freeBefore)
        fuzzFailure("the free count grew");
    return 0;
}
