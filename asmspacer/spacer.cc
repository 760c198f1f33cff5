#include "spacer.h"

#include "line_fields.h"
#include "line_reader.h"
#include "line_writer.h"
#include "separator_rules.h"

#include <array>
#include <string_view>

namespace {

LineReader Reader;
LineWriter Writer;
std::array<char, LineSize> Piece;

} // namespace

SpaceResult spaceFile(std::FILE* in, std::FILE* out)
{
    startReading(Reader, in);
    startWriting(Writer, out);
    SpacerState state;

    int length = 0;
    while ((length = readPiece(Reader, Piece)) >= 0) {
        const std::string_view line(Piece.data(), static_cast<size_t>(length));
        if (applyRules(splitLine(line), state).separator)
            writeText(Writer, ";\n");
        writeText(Writer, line);
        if (Writer.failed)
            return SpaceResult::WriteFailed;
        writeText(Writer, "\n");
    }
    // What was read before a read error is still written out.
    if (!finishWriting(Writer))
        return SpaceResult::WriteFailed;
    return Reader.failed ? SpaceResult::ReadFailed : SpaceResult::Done;
}
