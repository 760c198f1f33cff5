#include "line_fields.h"

namespace {

// White space as a "%s" scan skips it in the C locale.
constexpr bool isWhite(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// The word at or after at, which moves past it; empty when none is left.
// A NUL ends the text as it ends a C string: nothing after it is read.
std::string_view nextWord(std::string_view text, size_t& at)
{
    while (at < text.size() && isWhite(text[at]))
        ++at;
    const size_t start = at;
    while (at < text.size() && !isWhite(text[at]) && text[at] != '\0')
        ++at;
    const std::string_view word = text.substr(start, at - start);
    if (at < text.size() && text[at] == '\0')
        at = text.size();
    return word;
}

} // namespace

LineFields splitLine(std::string_view line)
{
    LineFields fields;
    size_t at = 0;
    if (!line.empty() && line[0] == ';') {
        fields.comment = true;
    } else if (!line.empty() && line[0] == ' ') {
        fields.opcode = nextWord(line, at);
    } else {
        fields.label = nextWord(line, at);
        fields.opcode = nextWord(line, at);
    }
    return fields;
}
