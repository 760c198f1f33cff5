// The verifier's dialogue: capture, start offset, image, track, byte count.
#include "aiffverify.h"

#include "console.h"
#include "numbers.h"
#include "program.h"

#include <bit>
#include <span>
#include <string_view>
#include <sys/types.h>

namespace {

constexpr int AnswerPathSize = 80; // this program keeps paths of up to 79 characters
constexpr int NumberSize = 32;
constexpr int64_t TrackBytes = 0x1000; // one track of a 16-sector image
// The capture is read one sample at a time; a large buffer keeps the refills rare.
constexpr size_t StreamBufferSize = 1 << 16;

char AiffPath[AnswerPathSize];
char DskPath[AnswerPathSize];
char Number[NumberSize]; // shared by the three hexadecimal answers
char AiffBuffer[StreamBufferSize];
char DskBuffer[StreamBufferSize];
std::FILE* AiffPtr = nullptr;
std::FILE* DskPtr = nullptr;

// The answer's number as the C library's "%lx" and "%x" read it, as an
// unsigned value of the width whose all-ones value is allOnes: no number
// reads as 0, a minus sign negates the number in its width, and a number too
// wide for its width reads as all ones (-1), as the C library's readers
// saturate, rather than wrapping to a small value.
uint64_t readHex(std::string_view answer, uint64_t allOnes)
{
    const ScannedNumber number = scanNumber(answer, 16, allOnes);
    if (number.used == 0)
        return 0;
    if (number.tooWide)
        return allOnes;
    return number.negative ? (0 - number.magnitude) & allOnes : number.magnitude;
}

int64_t readHex64(std::string_view answer)
{
    return std::bit_cast<int64_t>(readHex(answer, UINT64_MAX));
}

int32_t readHex32(std::string_view answer)
{
    return std::bit_cast<int32_t>(static_cast<uint32_t>(readHex(answer, UINT32_MAX)));
}

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

// Each failure ends the dialogue right after the answer that caused it.
void askAndVerify()
{
    askPath("\nEnter AIFF filename path:  ", AiffPath);
    AiffPtr = openForReading(AiffPath, AiffBuffer);
    if (AiffPtr == nullptr) {
        std::printf("\nError on fopen() for AIFF File '%s'.\n", AiffPath);
        return;
    }
    if (!seekTo(AiffPtr, readHex64(askNumber("\nEnter start AIFF offset:  0x", false)))) {
        std::printf("\nError on fseek() for AIFF File '%s'.\n", AiffPath);
        return;
    }

    askPath("\nEnter DSK or CMP filename path:  ", DskPath);
    DskPtr = openForReading(DskPath, DskBuffer);
    if (DskPtr == nullptr) {
        std::printf("\nError on fopen() for DSK or CMP File '%s'.\n", DskPath);
        return;
    }
    const int32_t track = readHex32(askNumber("\nEnter DSK Track value:  0x", false));
    if (!seekTo(DskPtr, static_cast<int64_t>(track) * TrackBytes)) {
        std::printf("\nError on fseek() for DSK File '%s'.\n", DskPath);
        return;
    }

    verifyCapture(AiffPtr, DskPtr, readHex64(askNumber("\nEnter number of bytes to process:  0x", true)));
}

} // namespace

int aiffverifyMain()
{
    askAndVerify();
    // Both files are only read, so closing them cannot lose anything.
    if (AiffPtr != nullptr)
        std::fclose(AiffPtr);
    if (DskPtr != nullptr)
        std::fclose(DskPtr);
    return ExitOk;
}
