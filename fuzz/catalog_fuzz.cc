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
// And when the image is to be saved and no catalog sector lies in space the
// bitmap calls free: every entry filled reads back, through its own
// track/sector lists and sectors used once, as the name, the sector count
// and the encoded text of one of the host files.
#include "blank_image.h"
#include "catalog.h"
#include "disk_image.h"
#include "dskrecord.h"
#include "fuzz_support.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

std::string Folder;
std::array<std::vector<uint8_t>, DiskSizes.size()> BlankImages;
std::FILE* Console = nullptr; // standard input as the process got it

constexpr const char* Answers[8] = {"small.s", "sector.s", "big.s", "empty.s", "folder",
                                    "missing.s", "a-name-longer-than-thirty-characters.s", ""};

// The host files that can be recorded, with their encoded texts.
struct HostFile {
    std::string name;
    std::vector<uint8_t> encoded;
};
std::vector<HostFile> HostFiles;

void writeHostFile(const std::string& name, const std::string& text)
{
    std::FILE* file = std::fopen((Folder + "/" + name).c_str(), "w");
    if (file == nullptr || std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fclose(file) != 0)
        fuzzFailure("cannot write a host file");
    std::vector<uint8_t> encoded(EncodedTextBytes);
    std::FILE* in = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    const int32_t size = in != nullptr ? encodeText(in, encoded) : -1;
    if (in != nullptr)
        std::fclose(in);
    if (size < 0)
        fuzzFailure("cannot encode a host file");
    encoded.resize(static_cast<size_t>(size));
    HostFiles.push_back({name, encoded});
}

using Place = std::pair<int32_t, int32_t>; // track, sector

int32_t trackOf(uint8_t byte)
{
    return byte == 0x40 ? 0 : byte;
}

bool inImage(const Place& place)
{
    return place.first < NumTracks && place.second < NumSectors;
}

// Whether the bitmap calls the sector free where the recording may take it
// (never on the catalog track).
bool markedFree(const Place& place)
{
    if (place.first == CatalogTrack)
        return false;
    const int sector = place.second;
    const int byte = sector >= 16 ? 2 + (31 - sector) / 8 : (15 - sector) / 8;
    return (vtoc()[static_cast<size_t>(VtocBitmap + 4 * place.first + byte)] >> (sector % 8) & 1) != 0;
}

// The free entries along the catalog chain, as the walk finds them (the chain
// is followed as followLink judges it); false when a catalog sector of the
// chain lies in free space, where the recording may take it for a file.
bool freeEntries(std::vector<std::pair<Place, int32_t>>& entries)
{
    CatalogWalk walk{};
    Place link{vtoc()[CatalogNextTrack], vtoc()[CatalogNextSector]};
    while (followLink(walk, link.first, link.second) == CatalogLink::Follow) {
        if (markedFree(link))
            return false;
        const auto catalog = sectorAt(link.first, link.second);
        for (int32_t offset : EntryOffsets)
            if (catalog[static_cast<size_t>(offset)] == 0)
                entries.emplace_back(link, offset);
        link = {catalog[CatalogNextTrack], catalog[CatalogNextSector]};
    }
    return true;
}

// Follows a recorded entry's track/sector lists; false when they leave the
// image, use a sector twice or disagree with the entry's sector count.
bool readBack(CatalogEntry entry, std::set<Place>& used, std::vector<uint8_t>& data)
{
    int32_t count = 0;
    Place list{trackOf(entry[0]), entry[1]};
    for (;;) {
        if (!inImage(list) || !used.insert(list).second)
            return false;
        ++count;
        const auto sector = sectorAt(list.first, list.second);
        for (size_t pair = 0x0C; pair < SectorBytes; pair += 2) {
            if (sector[pair] == 0 && sector[pair + 1] == 0)
                break;
            const Place place{trackOf(sector[pair]), sector[pair + 1]};
            if (!inImage(place) || !used.insert(place).second)
                return false;
            ++count;
            const auto bytes = sectorAt(place.first, place.second);
            data.insert(data.end(), bytes.begin(), bytes.end());
        }
        if (sector[1] == 0 && sector[2] == 0)
            break;
        list = {trackOf(sector[1]), sector[2]};
    }
    return count == (entry[33] | entry[34] << 8);
}

// Whether data is the encoded text followed by zeros, in the fewest sectors.
bool holds(const std::vector<uint8_t>& data, const std::vector<uint8_t>& encoded)
{
    const size_t sectors = (encoded.size() + SectorBytes - 1) / SectorBytes;
    return data.size() == sectors * SectorBytes && std::equal(encoded.begin(), encoded.end(), data.begin()) &&
           std::all_of(data.begin() + static_cast<std::ptrdiff_t>(encoded.size()), data.end(),
                       [](uint8_t byte) { return byte == 0; });
}

bool namedAs(CatalogEntry entry, const std::string& name)
{
    for (size_t i = 0; i < CatalogNameBytes; ++i)
        if (entry[3 + i] != catalogNameByte(i < name.size() ? name[i] : ' '))
            return false;
    return entry[2] == 0x00; // a text file
}

// Every entry the recording filled reads back as one of the host files.
void checkRecordedFiles(const std::vector<std::pair<Place, int32_t>>& entries)
{
    std::set<Place> used;
    for (const auto& [place, offset] : entries) {
        const CatalogEntry entry(sectorAt(place.first, place.second).subspan(static_cast<size_t>(offset), EntryBytes));
        if (entry[0] == 0)
            continue; // not recorded into
        std::vector<uint8_t> data;
        if (!readBack(entry, used, data))
            fuzzFailure("a recorded file's track/sector lists do not read back");
        const bool found = std::any_of(HostFiles.begin(), HostFiles.end(), [&](const HostFile& file) {
            return holds(data, file.encoded) && namedAs(entry, file.name);
        });
        if (!found)
            fuzzFailure("a recorded file does not read back as a host file");
    }
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

    std::vector<std::pair<Place, int32_t>> entries;
    const bool catalogApart = freeEntries(entries);

    stdin = fmemopen(answers.data(), answers.size(), "r");
    if (stdin == nullptr)
        fuzzFailure("the answers cannot be opened");
    const bool save = recordAlongCatalog(Folder, freeBefore);
    std::fclose(stdin);
    stdin = Console;

    if (!zeroOutsideGeometry())
        fuzzFailure("a sector outside the image's geometry was written");
    for (int byte = 0; byte < SectorBytes; ++byte)
        if (!mayChange(byte) && vtoc()[static_cast<size_t>(byte)] != vtocBefore[static_cast<size_t>(byte)])
            fuzzFailure("a VTOC byte outside the bitmap changed");
    if (countFree() > freeBefore)
        fuzzFailure("the free count grew");
    if (save && catalogApart)
        checkRecordedFiles(entries);
    return 0;
}
