// Recording a text file: the trace of its sectors, the line that ends it,
// and the packed BCD of the time stamp that follows a stamped name.
#include "dskrecord.h"

#include "console.h"
#include "file_writer.h"

#include <cstdio>

// ---- Packed BCD

// Worked in 64 bits so that no input can overflow; the result wraps to 32.
int32_t dec2hex(int32_t v)
{
    const int64_t wide = v;
    return static_cast<int32_t>(wide + 6 * (wide / 10));
}

int32_t hex2dec(int32_t v)
{
    const int64_t wide = v;
    return static_cast<int32_t>(wide % 16 + 10 * (wide / 16));
}

// ---- Recording one file

namespace {

void traceSector(FilePart part, int32_t track, int32_t sector)
{
    if (part == FilePart::List)
        std::printf("Obtained tsTrack = 0x%02x and tsSector = 0x%02x.\n\n", static_cast<unsigned>(track),
                    static_cast<unsigned>(sector));
    else
        std::printf("Obtained data track = 0x%02x and sector = 0x%02x.\n", static_cast<unsigned>(track),
                    static_cast<unsigned>(sector));
}

uint8_t bcdByte(int32_t value)
{
    return static_cast<uint8_t>(dec2hex(value));
}

// The time stamp in entry bytes 27-32, over the name's last six characters:
// seconds, minutes, hours, year, day, month, each in packed BCD.
void stampEntry(CatalogEntry entry, const TimeRecord& time)
{
    const int32_t stamp[6] = {time.seconds, time.minutes, time.hours, time.year, time.day, time.month};
    for (size_t i = 0; i < 6; ++i)
        entry[EntryStamp + i] = bcdByte(stamp[i]);
}

} // namespace

int32_t recordTextFile(std::span<const uint8_t> text, std::string_view name, CatalogEntry entry, const char* path,
                       NameLayout layout)
{
    const size_t kept = layout == NameLayout::Dos ? FullNameBytes : CatalogNameBytes;
    const int32_t total = recordFile(text, TextFileType, storedName(name.substr(0, kept)), entry, traceSector);
    if (total < 0)
        return -1;
    std::printf("\nProcessing complete for file '%s' with sector count of %d.\n\n", path, static_cast<int>(total));
    if (layout == NameLayout::Dos)
        return total;
    TimeRecord now{};
    get_time_date(now); // the moment the entry is written, after the data
    stampEntry(entry, now);
    return total;
}
