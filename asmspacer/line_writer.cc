#include "line_writer.h"

#include <cstring>

namespace {

void writeBlock(LineWriter& writer)
{
    if (writer.used > 0 && !writer.failed
        && std::fwrite(writer.block.data(), 1, writer.used, writer.stream) != writer.used)
        writer.failed = true;
    writer.used = 0;
}

} // namespace

void startWriting(LineWriter& writer, std::FILE* stream)
{
    writer.stream = stream;
    writer.used = 0;
    writer.failed = false;
}

void writeText(LineWriter& writer, std::string_view text)
{
    if (writer.failed)
        return;
    if (writer.block.size() - writer.used < text.size())
        writeBlock(writer);
    if (text.size() > writer.block.size()) { // too big to queue: straight out
        if (!writer.failed && std::fwrite(text.data(), 1, text.size(), writer.stream) != text.size())
            writer.failed = true;
        return;
    }
    std::memcpy(writer.block.data() + writer.used, text.data(), text.size());
    writer.used += text.size();
}

bool finishWriting(LineWriter& writer)
{
    writeBlock(writer);
    if (std::fflush(writer.stream) != 0)
        writer.failed = true;
    return !writer.failed;
}
