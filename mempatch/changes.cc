// The change file: pairs of a configLine ("%x %d": the memory address and
// the byte count) and a dataLine (one hexadecimal byte every 3 characters),
// the checks a change must pass, and its bytes stored into the copy.
#include "mempatch.h"

#include "console.h"
#include "numbers.h"
#include "program.h"

#include <array>

namespace {

constexpr int ChangeLineSize = 256;
constexpr int MaxChangeBytes = 85; // the most bytes a dataLine of 255 characters can carry
constexpr size_t DataBytePitch = 3;

char ConfigLine[ChangeLineSize];
char DataLine[ChangeLineSize];
std::array<uint32_t, MaxChangeBytes> DataValues;

// Buffer index of memory address A, A + S - 0xD000 in 32-bit arithmetic
// (addresses below the image wrap round to large values).
uint32_t bufferAddress(uint32_t address, int32_t start)
{
    return address + static_cast<uint32_t>(start) - static_cast<uint32_t>(WindowStart);
}

// Reads the address and the byte count from the configLine. Returns false
// when the line does not start with both numbers.
bool readConfigValues(uint32_t& address, int32_t& count)
{
    const std::string_view line = ConfigLine;
    const size_t used = scanHex(line, address);
    return used != 0 && scanDecimal(line.substr(used), count) != 0;
}

// Reads the bytes of the dataLine: byte i is the number that starts at
// character 3i. Stops at the first position that holds no number. Returns
// how many values were read.
int readDataValues()
{
    const std::string_view line = DataLine;
    int read = 0;
    for (uint32_t& value : DataValues) {
        const size_t at = static_cast<size_t>(read) * DataBytePitch;
        if (at >= line.size() || scanHex(line.substr(at), value) == 0)
            break;
        ++read;
    }
    return read;
}

// Checks a change against its dataLine and the image; reports the reason (a
// failure after which the run goes on) and returns false when it must be refused.
bool changeFits(uint32_t address, int32_t count, int32_t start, int valuesRead, size_t imageBytes)
{
    if (count < 0 || count > MaxChangeBytes) {
        reportSetback("\nChange refused: configLine '%s' asks for %d bytes; a change holds 0 to %d.\n\n", ConfigLine,
                      count, MaxChangeBytes);
        return false;
    }
    if (valuesRead < count) {
        reportSetback("\nChange refused: configLine '%s' asks for %d bytes, its dataLine holds %d.\n\n", ConfigLine,
                      count, valuesRead);
        return false;
    }
    // Whole 64-bit arithmetic: neither a wrapped index nor a wrapped end may pass.
    const int64_t first = int64_t{address} + start - WindowStart;
    if (first < 0 || first + count > static_cast<int64_t>(imageBytes)) {
        const int64_t lowest = int64_t{WindowStart} - start;
        reportSetback("\nChange refused: configLine '%s' does not lie inside the image, 0x%04x to 0x%04x.\n\n",
                      ConfigLine, static_cast<unsigned>(lowest),
                      static_cast<unsigned>(lowest + static_cast<int64_t>(imageBytes) - 1));
        return false;
    }
    return true;
}

} // namespace

void applyChangeFile(std::FILE* changes, int32_t start, std::span<uint8_t> image)
{
    while (readConfigLine(ConfigLine, changes) >= 0) {
        std::printf("configLine:  %s\n", ConfigLine);
        uint32_t address = 0;
        int32_t count = 0;
        const bool readable = readConfigValues(address, count);

        if (readConfigLine(DataLine, changes) < 0)
            return;
        std::printf("dataLine:  %s\n", DataLine);
        if (!readable) {
            reportSetback("\nChange refused: configLine '%s' does not start with a hexadecimal address and a "
                          "decimal count.\n\n",
                          ConfigLine);
            continue;
        }
        const uint32_t index = bufferAddress(address, start);
        std::printf("bufferAddress = 0x%04x, nBytes = %d\n", index, count);

        if (!changeFits(address, count, start, readDataValues(), image.size()))
            continue;
        for (int32_t i = 0; i < count; ++i) {
            const uint32_t value = DataValues[static_cast<size_t>(i)];
            std::printf("%x:  bufferAddress = %04x, dataByte = %02x\n", static_cast<unsigned>(i),
                        index + static_cast<uint32_t>(i), value);
            image[index + static_cast<size_t>(i)] = static_cast<uint8_t>(value & 0xFF);
        }
    }
}
