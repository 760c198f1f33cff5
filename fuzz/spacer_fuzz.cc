// asmspacer's line reader and separator rules on any source text.
//
// Input: one byte that may put the text just before the reader's block
// boundary (behind filler lines, when its top two bits are set), then the text. Rules checked: no piece is
// longer than a line buffer; the rules always decide by a row of their
// table; no byte is lost, the pieces together are the text without its line
// feeds and without the carriage returns that end a line; and the spaced
// copy of the whole file is written without a failure.
#include "fuzz_support.h"
#include "line_fields.h"
#include "line_reader.h"
#include "separator_rules.h"
#include "spacer.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

LineReader Reader;

// The text as the pieces must give it back: every line without its line
// feed and the carriage returns just before it (or before the end).
std::string withoutLineEnds(const std::vector<uint8_t>& text)
{
    const auto* bytes = reinterpret_cast<const char*>(text.data());
    std::string kept;
    kept.reserve(text.size());
    size_t at = 0;
    while (at < text.size()) {
        const void* lineFeed = std::memchr(bytes + at, '\n', text.size() - at);
        const size_t end = lineFeed != nullptr ? static_cast<size_t>(static_cast<const char*>(lineFeed) - bytes)
                                               : text.size();
        size_t lineEnd = end;
        while (lineEnd > at && bytes[lineEnd - 1] == '\r')
            --lineEnd;
        kept.append(bytes + at, lineEnd - at);
        at = end + 1;
    }
    return kept;
}

// Lines of filler that bring the text to within a few hundred bytes of the block's end.
void addFiller(std::vector<uint8_t>& text, size_t shortBy)
{
    const std::string line = ";" + std::string(248, 'x') + "\n"; // comments: passed over quickly
    const size_t target = ReadBlockBytes - shortBy;
    while (text.size() + line.size() <= target)
        text.insert(text.end(), line.begin(), line.end());
    text.insert(text.end(), target - text.size(), 'x');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    std::vector<uint8_t> text;
    if ((data[0] & 0xC0) == 0xC0)
        addFiller(text, data[0] & 0x3F);
    text.insert(text.end(), data + 1, data + size);

    std::FILE* in = openBytes(text.data(), text.size());
    if (in == nullptr)
        fuzzFailure("the input stream cannot be opened");
    startReading(Reader, in);
    SpacerState state;
    std::string pieces;
    std::string_view piece;
    while (readPiece(Reader, piece)) {
        if (piece.size() > LineSize - 1)
            fuzzFailure("a piece longer than a line buffer");
        const Decision decision = applyRules(splitLine(piece), state);
        if (decision.row < 1 || decision.row > 11)
            fuzzFailure("a decision outside the rule table");
        pieces.append(piece);
    }
    if (Reader.failed)
        fuzzFailure("a read error from a memory stream");
    if (pieces != withoutLineEnds(text))
        fuzzFailure("the pieces lost or changed text");

    std::rewind(in);
    if (spaceFile(in, nullSink()) != SpaceResult::Done)
        fuzzFailure("spacing a readable text failed");
    std::fclose(in);
    return 0;
}
