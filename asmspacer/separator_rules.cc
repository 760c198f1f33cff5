#include "separator_rules.h"

#include "equ_group.h"

#include <array>

namespace {

constexpr char lowerCase(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

constexpr uint32_t packHead(char a, char b, char c)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8
           | static_cast<uint32_t>(static_cast<uint8_t>(c));
}

constexpr uint32_t nameKey(std::string_view name)
{
    return name.size() == 3 ? packHead(name[0], name[1], name[2]) : 0;
}

// Rows 4 to 10: the line's opcode names the row; it gets a separator always,
// or only when the previous opcode does not match the row's partner.
enum class When { Always, PreviousIsNot };

struct OpcodeRow {
    int row;
    std::array<std::string_view, 9> names;
    When when;
    std::string_view partner;
};

constexpr OpcodeRow OpcodeRows[] = {
    {4, {"lda", "ldx", "ldy", "inc", "inx", "iny", "dec", "dex", "dey"}, When::Always, {}},
    {5, {"cmp"}, When::PreviousIsNot, "lda"},
    {6, {"cpx", "cpy", "cli", "clr", "sec"}, When::Always, {}},
    {7, {"bit"}, When::PreviousIsNot, "bit"},
    {8, {"jsr"}, When::PreviousIsNot, "jsr"},
    {9, {"jmp"}, When::PreviousIsNot, "lda"},
    {10, {"hex"}, When::PreviousIsNot, "hex"},
};

bool matchesRow(OpcodeHead opcode, const OpcodeRow& row)
{
    for (std::string_view name : row.names)
        if (!name.empty() && matches(opcode, name))
            return true;
    return false;
}

Decision decide(const LineFields& line, OpcodeHead opcode, SpacerState& state)
{
    if (line.comment)
        return {1, false};

    if (matches(opcode, "equ")) {
        const char key = equKey(line.label);
        const bool separator = key != state.equGroupKey;
        state.equGroupKey = key;
        return {2, separator};
    }

    if (!line.label.empty() && line.label[0] == 'H')
        return {3, true};

    for (const OpcodeRow& row : OpcodeRows)
        if (matchesRow(opcode, row))
            return {row.row, row.when == When::Always || !matches(state.previous, row.partner)};

    const OpcodeHead previous = state.previous;
    const bool separator = matches(opcode, "rts") || matches(opcode, "brk") || matches(previous, "rts")
                           || matches(previous, "hex") || matches(previous, "jmp")
                           || (matches(previous, "jsr") && opcode.first == 'b');
    return {11, separator};
}

} // namespace

OpcodeHead opcodeHead(std::string_view opcode)
{
    OpcodeHead head;
    if (!opcode.empty())
        head.first = lowerCase(opcode[0]);
    if (opcode.size() >= 3)
        head.key = packHead(lowerCase(opcode[0]), lowerCase(opcode[1]), lowerCase(opcode[2]));
    return head;
}

bool matches(OpcodeHead opcode, std::string_view name)
{
    return opcode.key != 0 && opcode.key == nameKey(name);
}

Decision applyRules(const LineFields& line, SpacerState& state)
{
    const OpcodeHead opcode = opcodeHead(line.opcode);
    const Decision decision = decide(line, opcode, state);
    if (!line.comment)
        state.previous = opcode;
    return decision;
}
