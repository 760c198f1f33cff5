// The source text encoder: host text lines into the bytes of a diskette
// text file.
#include "dskrecord.h"

#include <array>
#include <cstring>

namespace {

constexpr uint8_t HighBit = 0x80;
constexpr uint8_t StoredBlank = ' ' | HighBit;
constexpr uint8_t LineEnd = '\r' | HighBit;
constexpr std::array<uint8_t, 3> EndMarker{0x00, 0x80, 0x8D};

bool isQuote(char ch)
{
    return ch == '"' || ch == '\'';
}

// One read of the host file: at most 255 characters; longer lines are
// encoded in pieces of 255, each as a line of its own.
constexpr int LineBufferBytes = 256;

// Appends the encoding of one line (its line end already removed) to out
// from out[n] on, advancing n. Returns false, with n unchanged, when the
// line does not fit.
bool encodeLine(std::string_view line, std::span<uint8_t> out, int32_t& n)
{
    auto at = static_cast<size_t>(n);
    auto put = [&](uint8_t byte) {
        if (at >= out.size())
            return false;
        out[at++] = byte;
        return true;
    };

    size_t end = line.size();
    while (end > 0 && line[end - 1] == ' ')
        --end;
    bool fits = true;
    if (end == 0) {
        fits = put(';' | HighBit);
    } else {
        bool quoted = false;
        bool comment = false;
        for (size_t k = 0; k < end && fits; ++k) {
            char ch = line[k];
            if (k == 0 && ch == ':')
                ch = ';';
            if (ch == ';')
                comment = true;
            if (isQuote(ch))
                quoted = !quoted;
            if (quoted || comment || ch != ' ')
                fits = put(static_cast<uint8_t>(static_cast<uint8_t>(ch) | HighBit));
            else if (line[k + 1] != ' ') // a trimmed line never ends in a blank
                fits = put(StoredBlank);
        }
    }
    if (!fits || !put(LineEnd))
        return false;
    n = static_cast<int32_t>(at);
    return true;
}

// The host text is read as Gets reads it: at most 255 characters a read,
// the trailing CRs and LF removed. But the line end that comes right after
// a full read goes with that read (a run of CRs, then a LF or the end of
// the file), so it never makes an empty line of its own. CRs read ahead
// that turn out to be text begin the next read.
struct HostReader {
    std::FILE* in = nullptr;
    size_t heldReturns = 0;
};

int readHostLine(HostReader& reader, std::span<char> line)
{
    const size_t room = line.size() - 1;
    size_t n = 0;
    for (; n < room && reader.heldReturns > 0; --reader.heldReturns)
        line[n++] = '\r';
    while (n < room) {
        const int ch = std::getc(reader.in);
        if (ch == EOF)
            break;
        line[n++] = static_cast<char>(ch);
        if (ch == '\n')
            break;
    }
    if (n == 0)
        return -1;
    const bool full = n == room && line[n - 1] != '\n';
    line[n] = '\0';
    size_t length = std::strlen(line.data());
    while (length > 0 && (line[length - 1] == '\r' || line[length - 1] == '\n'))
        line[--length] = '\0';

    if (full && reader.heldReturns == 0) {
        int ch;
        while ((ch = std::getc(reader.in)) == '\r')
            ++reader.heldReturns;
        if (ch == '\n' || ch == EOF)
            reader.heldReturns = 0; // the line's end: taken with this read
        else
            std::ungetc(ch, reader.in);
    }
    return static_cast<int>(length);
}

} // namespace

int32_t encodeText(std::FILE* in, std::span<uint8_t> out)
{
    static char line[LineBufferBytes];
    HostReader reader{in};
    int32_t n = 0;
    for (;;) {
        const int length = readHostLine(reader, line);
        if (length < 0)
            break;
        if (!encodeLine(std::string_view(line, static_cast<size_t>(length)), out, n))
            return -1;
    }
    if (out.size() - static_cast<size_t>(n) < EndMarker.size())
        return -1;
    for (uint8_t byte : EndMarker)
        out[static_cast<size_t>(n++)] = byte;
    return n;
}
