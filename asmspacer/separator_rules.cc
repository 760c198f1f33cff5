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

// The names the rules test, packed once at compile time.
constexpr uint32_t Equ = nameKey("equ"), Lda = nameKey("lda"), Cmp = nameKey("cmp"), Bit = nameKey("bit"),
                   Jsr = nameKey("jsr"), Jmp = nameKey("jmp"), Hex = nameKey("hex"), Rts = nameKey("rts"),
                   Brk = nameKey("brk");

// Rows 4 to 10: the line's opcode names the row; it gets a separator always,
// or only when the previous opcode does not match the row's partner.
enum class When { Always, PreviousIsNot };

struct OpcodeRow {
    int row;
    std::array<uint32_t, 9> names; // unused places hold 0, which no opcode matches
    When when;
    uint32_t partner;
};

constexpr OpcodeRow OpcodeRows[] = {
    {4,
     {nameKey("lda"), nameKey("ldx"), nameKey("ldy"), nameKey("inc"), nameKey("inx"), nameKey("iny"), nameKey("dec"),
      nameKey("dex"), nameKey("dey")},
     When::Always, 0},
    {5, {Cmp}, When::PreviousIsNot, Lda},
    {6, {nameKey("cpx"), nameKey("cpy"), nameKey("cli"), nameKey("clr"), nameKey("sec")}, When::Always, 0},
    {7, {Bit}, When::PreviousIsNot, Bit},
    {8, {Jsr}, When::PreviousIsNot, Jsr},
    {9, {Jmp}, When::PreviousIsNot, Lda},
    {10, {Hex}, When::PreviousIsNot, Hex},
};

constexpr bool is(OpcodeHead opcode, uint32_t name)
{
    return opcode.key != 0 && opcode.key == name;
}

bool matchesRow(OpcodeHead opcode, const OpcodeRow& row)
{
    for (uint32_t name : row.names) {
        if (name == 0)
            return false;
        if (name == opcode.key)
            return true;
    }
    return false;
}

Decision decide(const LineFields& line, OpcodeHead opcode, SpacerState& state)
{
    if (line.comment)
        return {1, false};

    if (is(opcode, Equ)) {
        const char key = equKey(line.label);
        const bool separator = key != state.equGroupKey;
        state.equGroupKey = key;
        return {2, separator};
    }

    if (!line.label.empty() && line.label[0] == 'H')
        return {3, true};

    for (const OpcodeRow& row : OpcodeRows)
        if (matchesRow(opcode, row))
            return {row.row, row.when == When::Always || !is(state.previous, row.partner)};

    const OpcodeHead previous = state.previous;
    const bool separator = is(opcode, Rts) || is(opcode, Brk) || is(previous, Rts) || is(previous, Hex)
                           || is(previous, Jmp) || (is(previous, Jsr) && opcode.first == 'b');
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

Decision applyRules(const LineFields& line, SpacerState& state)
{
    const OpcodeHead opcode = opcodeHead(line.opcode);
    const Decision decision = decide(line, opcode, state);
    if (!line.comment)
        state.previous = opcode;
    return decision;
}
