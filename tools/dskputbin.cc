// dskputbin: records a host file into a diskette image as a binary file of
// its DOS, with the load address and length that BLOAD and BRUN read.
#include "file_writer.h"
#include "files.h"
#include "program.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view Options[]{"--replace", "--header"};
const ProgramForm Form{
    "dskputbin", "[--replace] IMAGE FILE ADDRESS [NAME]\n   or: dskputbin [--replace] --header IMAGE FILE [NAME]", 0,
    AnyNumber,
    "  --replace  replace the binary file of that name on the diskette, reusing its catalog entry\n"
    "  --header   FILE begins with its load address and length already, as array2bin writes them\n"
    "  IMAGE      the diskette image to record into\n"
    "  FILE       the host file whose bytes the binary file holds\n"
    "  ADDRESS    the load address, hexadecimal (6000, 0x6000 or $6000), 0 to FFFF\n"
    "  NAME       the name on the diskette, at most 30 characters; without it, FILE's last path component\n",
    false, Options};

// A binary file's data on the diskette: its load address and its length,
// two bytes each, low byte first, then the bytes the DOS loads.
constexpr size_t HeaderBytes = 4;
constexpr uint32_t LastAddress = 0xFFFF;
constexpr size_t MostBytes = 0xFFFF; // after the header

// The data as it is recorded, header first; one byte more than the largest,
// to tell a FILE that is larger.
std::array<uint8_t, HeaderBytes + MostBytes + 1> Data;
size_t DataLength = 0;

uint32_t wordAt(size_t at)
{
    return static_cast<uint32_t>(Data[at] | Data[at + 1] << 8);
}

void putWord(size_t at, uint32_t value)
{
    Data[at] = static_cast<uint8_t>(value & 0xFF);
    Data[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// ADDRESS: hexadecimal with an optional 0x or $ in front, 0 to FFFF. Returns
// 0, or the status of the usage error it printed.
int readAddress(const char* text, uint32_t& address)
{
    std::string_view digits = text;
    const bool dollar = digits.starts_with('$');
    if (dollar)
        digits.remove_prefix(1);
    uint64_t value = 0;
    if ((dollar && (digits.starts_with("0x") || digits.starts_with("0X"))) || !wholeNumber(digits, 16, value))
        return usageProblem(Form, "ADDRESS '%s' is not a hexadecimal number\n", text);
    if (value > LastAddress)
        return usageProblem(Form, "ADDRESS '%s' is past FFFF, the last address; it takes 0 to FFFF\n", text);
    address = static_cast<uint32_t>(value);
    return 0;
}

// The name FILE gives when NAME is not: its last path component.
const char* lastComponent(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

// Reads FILE into Data from offset at on, as far as Data reaches. Returns
// false (reported) when it cannot be read, or is not a regular file.
bool readHostFile(const char* path, size_t at)
{
    // Without O_NONBLOCK a FIFO with no writer would hold the run at open.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reportCallFailure("open", "input", path);
        return false;
    }
    struct stat status{};
    const char* failed = fstat(fd, &status) != 0 ? "fstat" : nullptr;
    size_t length = at;
    while (failed == nullptr && S_ISREG(status.st_mode) && length < Data.size()) {
        const ssize_t got = read(fd, Data.data() + length, Data.size() - length);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            failed = "read";
        if (got <= 0)
            break;
        length += static_cast<size_t>(got);
    }
    close(fd); // only read: nothing to lose on a failed close
    if (failed != nullptr) {
        reportCallFailure(failed, "input", path);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        reportFailure("\nError, input file '%s' is not a regular file.\n\n", path);
        return false;
    }
    DataLength = length;
    return true;
}

// Whether a file of length bytes loaded at address ends by FFFF; otherwise
// reports where it would end.
bool endsInMemory(const char* path, uint32_t address, size_t length, bool fromHeader)
{
    const auto end = static_cast<uint32_t>(address + length - 1);
    if (length == 0 || end <= LastAddress)
        return true;
    if (fromHeader)
        reportFailure("\nError, the header of input file '%s' gives address $%04X and length %d: the file would "
                      "end at $%X, past $FFFF.\n\n",
                      path, static_cast<unsigned>(address), static_cast<int>(length), static_cast<unsigned>(end));
    else
        reportFailure("\nError, input file '%s' of %d bytes loaded at $%04X would end at $%X, past $FFFF.\n\n", path,
                      static_cast<int>(length), static_cast<unsigned>(address), static_cast<unsigned>(end));
    return false;
}

// FILE's bytes after a header made of ADDRESS and their count.
bool takeWithAddress(const char* path, uint32_t address)
{
    if (!readHostFile(path, HeaderBytes))
        return false;
    const size_t length = DataLength - HeaderBytes;
    if (length == 0) {
        reportFailure("\nError, input file '%s' is empty; a binary file holds at least one byte.\n\n", path);
        return false;
    }
    if (length > MostBytes) {
        reportFailure("\nError, input file '%s' holds more than 65535 bytes, the most a binary file holds.\n\n",
                      path);
        return false;
    }
    if (!endsInMemory(path, address, length, false))
        return false;
    putWord(0, address);
    putWord(2, static_cast<uint32_t>(length));
    return true;
}

// FILE as it stands, its own header first. A header whose length is not
// the count of the bytes after it is told, and taken as it is.
bool takeWithHeader(const char* path)
{
    if (!readHostFile(path, 0))
        return false;
    if (DataLength <= HeaderBytes) {
        reportFailure("\nError, input file '%s' holds %d bytes; with --header it needs its 4-byte header and at "
                      "least one byte after it.\n\n",
                      path, static_cast<int>(DataLength));
        return false;
    }
    if (DataLength > HeaderBytes + MostBytes) {
        reportFailure("\nError, input file '%s' holds more than 65539 bytes: a 4-byte header and the 65535 bytes a "
                      "binary file holds at most.\n\n",
                      path);
        return false;
    }
    const uint32_t address = wordAt(0);
    const uint32_t length = wordAt(2);
    if (!endsInMemory(path, address, length, true))
        return false;
    if (length != DataLength - HeaderBytes)
        reportNote("\nNote: the header of input file '%s' gives a length of %d bytes, but %d bytes follow it; the "
                   "file is recorded as it stands, and the DOS will load %d bytes.\n",
                   path, static_cast<int>(length), static_cast<int>(DataLength - HeaderBytes),
                   static_cast<int>(length));
    return true;
}

// Records Data as the binary file name into the image and saves it: into
// the entry of the binary file of that name with replace, else into the
// first free entry. Nothing is written unless all of it succeeds.
int recordBinary(const char* image, const char* path, const char* name, bool replace)
{
    if (loadImage(image, DiskUse::Record) != 0)
        return ExitFailure;
    // A chain that leaves the image or runs in a circle hides entries: a file
    // of this name, or the free entry the DOS would take, may lie beyond.
    if (walkCatalog([](CatalogEntry) { return false; }) == WalkEnd::Guard) {
        reportFailure("\nError, the catalog of diskette file '%s' is damaged; nothing written.\n\n", image);
        return ExitFailure;
    }
    const StoredName stored = storedName(name);
    int at = entryForName(stored, BinaryFileType, replace, name, image);
    if (at == Refused)
        return ExitFailure;
    static DiskUsage usage;  // large: kept out of the stack
    static SectorSet toFree; // the replaced file's sectors, freed only once all is recorded
    if (at != NewEntry) {
        findDiskUsage(usage);
        collectSectorsToFree(entryAt(at), usage, toFree);
    } else if ((at = findFreeEntry()) < 0) {
        reportFailure("\nError, the catalog of diskette file '%s' has no free entry for '%s'; nothing written.\n\n",
                      image, name);
        return ExitFailure;
    }
    prepareRecording();
    const auto size = static_cast<int32_t>(DataLength);
    if (!roomFor(size)) {
        reportFailure("\nThere is insufficient disk space for file '%s'.\n\n", path);
        return ExitFailure;
    }
    if (recordFile(std::span(Data).first(DataLength), BinaryFileType, stored, entryAt(at)) < 0) {
        reportFailure("\nError from getNextTS(); no sectors left.\n\n");
        return ExitFailure;
    }
    freeSectors(toFree);
    return saveDisk(image) == 0 ? ExitOk : ExitFailure;
}

} // namespace

int main(int argc, char** argv)
{
    const int started = startProgram(Form, argc, argv);
    if (started >= 0)
        return started;
    const bool header = optionGiven("--header");
    const std::span<char*> args = argumentAnswers();
    const size_t fewest = header ? 2 : 3;
    if (args.size() < fewest || args.size() > fewest + 1)
        return usageProblem(Form, "%d arguments given; it takes %s\n", static_cast<int>(args.size()),
                            header ? "2 or 3 with --header" : "3 or 4 without --header");
    const char* image = args[0];
    const char* path = args[1];
    uint32_t address = 0;
    if (!header) {
        if (const int usage = readAddress(args[2], address); usage != 0)
            return usage;
    }
    const char* name = args.size() > fewest ? args[fewest] : lastComponent(path);
    const size_t nameLength = std::strlen(name);
    if (nameLength == 0 || nameLength > FullNameBytes) {
        reportFailure("\nError, the name '%s' has %d characters; a name on the diskette has 1 to 30 (give NAME to "
                      "choose one).\n\n",
                      name, static_cast<int>(nameLength));
        return ExitFailure;
    }
    if (!(header ? takeWithHeader(path) : takeWithAddress(path, address)))
        return ExitFailure;
    return recordBinary(image, path, name, optionGiven("--replace"));
}
