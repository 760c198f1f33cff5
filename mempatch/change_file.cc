#include "change_file.h"

#include "change_line.h"
#include "console.h"
#include "memory_image.h"

#include <array>

namespace {

constexpr int ChangeLineSize = 256;

char ConfigLine[ChangeLineSize];
char DataLine[ChangeLineSize];
std::array<uint32_t, MaxChangeBytes> DataValues;

// Checks a change against its dataLine and the image; prints the reason and
// returns false when it must be refused.
bool changeFits(uint32_t address, int32_t count, int32_t start, int valuesRead, size_t imageBytes,
                std::FILE* trace)
{
    if (count < 0 || count > MaxChangeBytes) {
        std::fprintf(trace, "\nChange refused: configLine '%s' asks for %d bytes; a change holds 0 to %d.\n\n",
                     ConfigLine, count, MaxChangeBytes);
        return false;
    }
    if (valuesRead < count) {
        std::fprintf(trace, "\nChange refused: configLine '%s' asks for %d bytes, its dataLine holds %d.\n\n",
                     ConfigLine, count, valuesRead);
        return false;
    }
    // Whole 64-bit arithmetic: neither a wrapped index nor a wrapped end may pass.
    const int64_t first = int64_t{address} + start - WindowStart;
    if (first < 0 || first + count > static_cast<int64_t>(imageBytes)) {
        const int64_t lowest = int64_t{WindowStart} - start;
        std::fprintf(trace,
                     "\nChange refused: configLine '%s' does not lie inside the image, 0x%04x to 0x%04x.\n\n",
                     ConfigLine, static_cast<unsigned>(lowest),
                     static_cast<unsigned>(lowest + static_cast<int64_t>(imageBytes) - 1));
        return false;
    }
    return true;
}

} // namespace

ChangeTally applyChangeFile(std::FILE* changes, int32_t start, std::span<uint8_t> image, std::FILE* trace)
{
    ChangeTally tally;
    for (;;) {
        if (readConfigLine(ConfigLine, changes) < 0)
            break;
        std::fprintf(trace, "configLine:  %s\n", ConfigLine);
        uint32_t address = 0;
        int32_t count = 0;
        const bool readable = readConfigValues(ConfigLine, address, count);

        if (readConfigLine(DataLine, changes) < 0)
            break;
        std::fprintf(trace, "dataLine:  %s\n", DataLine);
        if (!readable) {
            std::fprintf(trace,
                         "\nChange refused: configLine '%s' does not start with a hexadecimal address and a "
                         "decimal count.\n\n",
                         ConfigLine);
            ++tally.refused;
            continue;
        }
        const uint32_t index = bufferAddress(address, start);
        std::fprintf(trace, "bufferAddress = 0x%04x, nBytes = %d\n", index, count);

        const int valuesRead = readDataValues(DataLine, DataValues);
        if (!changeFits(address, count, start, valuesRead, image.size(), trace)) {
            ++tally.refused;
            continue;
        }
        for (int32_t i = 0; i < count; ++i) {
            const uint32_t value = DataValues[static_cast<size_t>(i)];
            std::fprintf(trace, "%x:  bufferAddress = %04x, dataByte = %02x\n", static_cast<unsigned>(i),
                         index + static_cast<uint32_t>(i), value);
            image[index + static_cast<size_t>(i)] = static_cast<uint8_t>(value & 0xFF);
        }
        ++tally.applied;
    }
    return tally;
}
