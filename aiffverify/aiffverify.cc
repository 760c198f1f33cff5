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

// The answer goes to Number; an empty one, or one without a number, reads as 0.
// False when the answer ended the run (one too long, in the argument form).
bool askNumber(std::string_view prompt, bool echoLineFeed)
{
    Ask(prompt, NumberSize - 1, echoLineFeed);
    copyAnswer(Number);
    return !runEnded();
}

// Asks for a file's path (no line feed follows the answer: the next output
// starts with its own) and opens the file for reading. Null when the answer
// ended the run, or when the file cannot be opened: then failure, a printf
// format taking the path, is reported.
std::FILE* askFile(std::string_view prompt, std::span<char> path, std::span<char> buffer, const char* failure)
{
    Ask(prompt, static_cast<int>(path.size()) - 1, false);
    copyAnswer(path);
    if (runEnded())
        return nullptr;
    std::FILE* stream = std::fopen(path.data(), "r");
    if (stream == nullptr) {
        reportFailure(failure, path.data());
        return nullptr;
    }
    // Should the buffer be refused, the stream keeps its own: slower, still right.
    std::setvbuf(stream, buffer.data(), _IOFBF, buffer.size());
    return stream;
}

// Only a negative offset fails; then failure, a printf format taking the
// path, is reported.
bool seekTo(std::FILE* stream, int64_t offset, const char* failure, const char* path)
{
    if (fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0)
        return true;
    reportFailure(failure, path);
    return false;
}

// Each failure ends the dialogue right after the answer that caused it.
void askAndVerify()
{
    AiffPtr = askFile("\nEnter AIFF filename path:  ", AiffPath, AiffBuffer,
                      "\nError on fopen() for AIFF File '%s'.\n");
    if (AiffPtr == nullptr || !askNumber("\nEnter start AIFF offset:  0x", false))
        return;
    if (!seekTo(AiffPtr, readHex64(Number), "\nError on fseek() for AIFF File '%s'.\n", AiffPath))
        return;

    DskPtr = askFile("\nEnter DSK or CMP filename path:  ", DskPath, DskBuffer,
                     "\nError on fopen() for DSK or CMP File '%s'.\n");
    if (DskPtr == nullptr || !askNumber("\nEnter DSK Track value:  0x", false))
        return;
    const int64_t trackStart = static_cast<int64_t>(readHex32(Number)) * TrackBytes;
    if (!seekTo(DskPtr, trackStart, "\nError on fseek() for DSK File '%s'.\n", DskPath))
        return;

    if (askNumber("\nEnter number of bytes to process:  0x", true))
        verifyCapture(AiffPtr, DskPtr, readHex64(Number));
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
