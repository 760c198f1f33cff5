#include "line_kind.h"

#include "numbers.h"

#include <limits>

namespace {

constexpr std::string_view OpenerPrefix = "unsigned char";
constexpr std::string_view LengthPrefix = "unsigned int";
constexpr size_t ArrayNameStart = 14;
constexpr size_t LengthNameStart = 13;
constexpr size_t CountAfterUnderscore = 6; // "_len =" is passed over

// The text read as "%d" reads it: leading blanks, a sign, then digits. Values
// beyond 64 bits stay at the largest, which no byte count can equal.
bool readDecimal(std::string_view text, int64_t& value)
{
    size_t at = 0;
    while (at < text.size() && isBlank(text[at]))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    if (at == text.size() || text[at] < '0' || text[at] > '9')
        return false;
    constexpr int64_t largest = std::numeric_limits<int64_t>::max();
    int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        const int digit = text[at] - '0';
        magnitude = magnitude > (largest - digit) / 10 ? largest : magnitude * 10 + digit;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

LineKind classifyLine(std::string_view line)
{
    if (line.starts_with(OpenerPrefix))
        return LineKind::ArrayOpener;
    if (line.starts_with(LengthPrefix))
        return LineKind::LengthLine;
    return LineKind::Other;
}

std::string_view arrayNameOf(std::string_view openerLine)
{
    if (openerLine.size() <= ArrayNameStart)
        return {};
    const std::string_view rest = openerLine.substr(ArrayNameStart);
    return rest.substr(0, rest.find('['));
}

LengthDeclaration parseLengthLine(std::string_view line)
{
    LengthDeclaration declaration;
    if (line.size() <= LengthNameStart)
        return declaration;
    const size_t underscore = line.find('_', LengthNameStart);
    if (underscore == std::string_view::npos)
        return declaration;
    declaration.hasName = true;
    declaration.name = line.substr(LengthNameStart, underscore - LengthNameStart);

    const size_t countStart = underscore + CountAfterUnderscore;
    if (countStart < line.size()) {
        std::string_view countText = line.substr(countStart);
        countText = countText.substr(0, countText.find(';'));
        declaration.hasNumber = readDecimal(countText, declaration.number);
    }
    return declaration;
}
