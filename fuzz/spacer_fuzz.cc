// asmspacer's copy of a source file, on any source text.
//
// Input: one byte that sets the size of the input stream's buffer (1 to 256
// bytes, so that lines, runs of carriage returns and the character read
// ahead at a full piece fall across the stream's refills), then the text.
// Rules checked: the copy is written without a failure; taken without its
// ";" lines it is the text's lines, each without its line feed and the
// carriage returns just before it, cut into pieces of at most 255
// characters; no ";" line stands in front of a comment line, of another ";"
// line or at the end (a ";" line before a comment that is ";" alone cannot
// be told apart, as the check reads the copy from the top).
#include "asmspacer.h"
#include "fuzz_support.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

char InputBuffer[256];

// The lines of the text as the copy must hold them.
std::vector<std::string> expectedLines(const char* bytes, size_t size)
{
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < size) {
        const void* lineFeed = std::memchr(bytes + at, '\n', size - at);
        const size_t end = lineFeed != nullptr ? static_cast<size_t>(static_cast<const char*>(lineFeed) - bytes) : size;
        size_t lineEnd = end;
        while (lineEnd > at && bytes[lineEnd - 1] == '\r')
            --lineEnd;
        const std::string line(bytes + at, lineEnd - at);
        size_t piece = 0;
        do {
            lines.push_back(line.substr(piece, 255));
            piece += 255;
        } while (piece < line.size());
        at = end + 1;
    }
    return lines;
}

void checkCopy(const std::string& copy, const std::vector<std::string>& lines)
{
    if (!copy.empty() && copy.back() != '\n')
        fuzzFailure("the copy does not end with a line feed");
    size_t next = 0;
    bool separatorBefore = false;
    for (size_t start = 0; start < copy.size();) {
        const size_t end = copy.find('\n', start);
        const std::string_view line = std::string_view(copy).substr(start, end - start);
        start = end + 1;
        if (next < lines.size() && line == lines[next]) {
            if (separatorBefore && line.starts_with(';'))
                fuzzFailure("a separator line in front of a comment line");
            ++next;
            separatorBefore = false;
        } else if (line == ";" && !separatorBefore) {
            separatorBefore = true;
        } else {
            fuzzFailure("the copy lost, changed or added text");
        }
    }
    if (next != lines.size() || separatorBefore)
        fuzzFailure("the copy lost text or ends with a separator line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    std::FILE* in = openBytes(data + 1, size - 1);
    char* copyBytes = nullptr;
    size_t copySize = 0;
    std::FILE* out = open_memstream(&copyBytes, &copySize);
    if (in == nullptr || out == nullptr)
        fuzzFailure("the streams cannot be opened");
    std::setvbuf(in, InputBuffer, _IOFBF, 1 + data[0]);

    if (spaceFile(in, out) != SpaceResult::Done)
        fuzzFailure("spacing a readable text failed");
    std::fclose(in);
    std::fclose(out);
    const std::string copy(copyBytes, copySize);
    std::free(copyBytes);
    checkCopy(copy, expectedLines(reinterpret_cast<const char*>(data + 1), size - 1));
    return 0;
}
