#include "writer.h"

#include "item_format.h"

#include <array>
#include <cerrno>
#include <span>
#include <unistd.h>

namespace {

constexpr size_t InputChunk = size_t{1} << 17;
// A whole chunk of items fits, with room left over for the head or the tail.
constexpr size_t OutputBytes = InputChunk * MaxItemChars + 1024;

std::array<uint8_t, InputChunk> InputBuffer;
std::array<char, OutputBytes> OutputBuffer;

// Returns the bytes read (0 at the end of the file) or -1 on an error.
ssize_t readSome(int fd, std::span<uint8_t> into)
{
    for (;;) {
        const ssize_t got = read(fd, into.data(), into.size());
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

bool writeAll(int fd, std::span<const char> text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t put = write(fd, &text[done], text.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

} // namespace

ArrayTextResult writeArrayText(int inputFd, int outputFd, std::string_view name)
{
    ArrayTextResult result;
    const std::span<char> output(OutputBuffer);
    size_t fill = formatHead(output, name);
    if (fill == 0) { // a name too long for the buffer: no text rather than a wrong one
        result.writeFailed = true;
        return result;
    }

    for (;;) {
        const ssize_t got = readSome(inputFd, InputBuffer);
        if (got < 0)
            result.readFailed = true;
        if (got <= 0)
            break;
        auto bytes = std::span<const uint8_t>(InputBuffer).first(static_cast<size_t>(got));
        while (!bytes.empty()) {
            const ItemsFormatted done = formatItems(bytes, result.count, output.subspan(fill));
            fill += done.charsWritten;
            result.count += static_cast<int64_t>(done.bytesUsed);
            bytes = bytes.subspan(done.bytesUsed);
            if (!writeAll(outputFd, output.first(fill))) {
                result.writeFailed = true;
                return result;
            }
            fill = 0;
        }
    }

    const size_t tail = formatTail(output.subspan(fill), name, result.count);
    if (tail == 0 || !writeAll(outputFd, output.first(fill + tail)))
        result.writeFailed = true;
    return result;
}
