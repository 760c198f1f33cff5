#include "dialogue.h"

#include "console.h"
#include "compare.h"
#include "hex_answer.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>
#include <sys/types.h>

namespace {

constexpr int ExitOk = 0; // every ending, failures included
constexpr int PathSize = 80;
constexpr int NumberSize = 32;
constexpr int64_t TrackBytes = 0x1000; // one track of a 16-sector image
// The capture is read one sample at a time; a large buffer keeps the refills rare.
constexpr size_t StreamBufferSize = 1 << 16;

char AiffPath[PathSize];
char DskPath[PathSize];
char Number[NumberSize]; // shared by the three hexadecimal answers
char AiffBuffer[StreamBufferSize];
char DskBuffer[StreamBufferSize];

// No line feed follows a path answer: the next output starts with its own.
void askPath(std::string_view prompt, std::span<char> path)
{
    Ask(prompt, static_cast<int>(path.size()) - 1, false);
    copyAnswer(path);
}

// An empty answer, or one without a number, reads as 0.
std::string_view askNumber(std::string_view prompt, bool echoLineFeed)
{
    Ask(prompt, NumberSize - 1, echoLineFeed);
    copyAnswer(Number);
    return Number;
}

std::FILE* openForReading(const char* path, std::span<char> buffer)
{
    std::FILE* stream = std::fopen(path, "r");
    // Should the buffer be refused, the stream keeps its own: slower, still right.
    if (stream != nullptr)
        std::setvbuf(stream, buffer.data(), _IOFBF, buffer.size());
    return stream;
}

bool seekTo(std::FILE* stream, int64_t offset)
{
    return fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0;
}

// Both files are only read, so closing them cannot lose anything.
int closeAndEnd(std::FILE* aiff, std::FILE* dsk)
{
    if (aiff != nullptr)
        std::fclose(aiff);
    if (dsk != nullptr)
        std::fclose(dsk);
    return ExitOk;
}

} // namespace

int aiffverifyMain()
{
    askPath("\nEnter AIFF filename path:  ", AiffPath);
    std::FILE* aiff = openForReading(AiffPath, AiffBuffer);
    if (aiff == nullptr) {
        std::printf("\nError on fopen() for AIFF File '%s'.\n", AiffPath);
        return ExitOk;
    }
    const int64_t start = readHex64(askNumber("\nEnter start AIFF offset:  0x", false));
    if (!seekTo(aiff, start)) {
        std::printf("\nError on fseek() for AIFF File '%s'.\n", AiffPath);
        return closeAndEnd(aiff, nullptr);
    }

    askPath("\nEnter DSK or CMP filename path:  ", DskPath);
    std::FILE* dsk = openForReading(DskPath, DskBuffer);
    if (dsk == nullptr) {
        std::printf("\nError on fopen() for DSK or CMP File '%s'.\n", DskPath);
        return closeAndEnd(aiff, nullptr);
    }
    const int32_t track = readHex32(askNumber("\nEnter DSK Track value:  0x", false));
    if (!seekTo(dsk, static_cast<int64_t>(track) * TrackBytes)) {
        std::printf("\nError on fseek() for DSK File '%s'.\n", DskPath);
        return closeAndEnd(aiff, dsk);
    }

    const int64_t byteCount = readHex64(askNumber("\nEnter number of bytes to process:  0x", true));
    verifyCapture(aiff, dsk, byteCount);
    std::fflush(stdout);
    return closeAndEnd(aiff, dsk);
}
