#include "spacer.h"

#include "line_fields.h"
#include "line_reader.h"
#include "line_writer.h"
#include "separator_rules.h"

#include <string_view>

namespace {

LineReader Reader;
LineWriter Writer;

} // namespace

SpaceResult spaceFile(std::FILE* in, std::FILE* out)
{
    startReading(Reader, in);
    startWriting(Writer, out);
    SpacerState state;

    std::string_view line;
    while (readPiece(Reader, line)) {
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
