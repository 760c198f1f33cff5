// When a line starts a new group of instructions: how a line is cut into
// label and opcode, the key of an "equ" group, and the rule table.
#include "asmspacer.h"

#include "numbers.h"

#include <initializer_list>

namespace {

struct LineFields {
    bool comment = false;    // a ';' in the very first position
    std::string_view label;  // the whole word, however long; empty when the line has none
    std::string_view opcode; // the whole word as written; empty when the line has none
};

// The word at or after at, which moves past it; empty when none is left.
// A NUL ends the text as it ends a C string: nothing after it is read.
std::string_view nextWord(std::string_view text, size_t& at)
{
    while (at < text.size() && isBlank(text[at]))
        ++at;
    const size_t start = at;
    while (at < text.size() && !isBlank(text[at]) && text[at] != '\0')
        ++at;
    const std::string_view word = text.substr(start, at - start);
    if (at < text.size() && text[at] == '\0')
        at = text.size();
    return word;
}

// A line that begins with ';' is a comment and is not split. A line that
// begins with a blank has no label: its first word is the opcode. Any other
// line (a tab first, or an empty line) has the label as its first word and
// the opcode as its second. Words are read as a "%s" scan reads them.
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

// Key of an "equ" line: the second character of its label, or the third when
// the second is the digit '0' (L0300 and L00FE give '3' and '0'). A label that
// ends before that character, or no label at all, gives the NUL character.
char equKey(std::string_view label)
{
    size_t at = 1;
    if (label.size() > at && label[at] == '0')
        at = 2;
    return label.size() > at ? label[at] : '\0';
}

// Only A to Z change; every other character stays.
char lowerCase(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

OpcodeHead opcodeHead(std::string_view opcode)
{
    OpcodeHead head;
    for (; head.length < 3 && head.length < opcode.size(); ++head.length)
        head.letters[head.length] = lowerCase(opcode[head.length]);
    return head;
}

// An opcode matches a name when its first three characters are the name's
// three letters: "equate" matches "equ", "ld" matches nothing.
bool is(const OpcodeHead& opcode, std::string_view name)
{
    return opcode.length == 3 && std::string_view(opcode.letters, 3) == name;
}

bool isOneOf(const OpcodeHead& opcode, std::initializer_list<std::string_view> names)
{
    for (std::string_view name : names)
        if (is(opcode, name))
            return true;
    return false;
}

} // namespace

// The rule table: the rows are tried from the top, and the first row whose
// condition on the line holds decides.
bool startsGroup(std::string_view text, SpacerState& state)
{
    const LineFields line = splitLine(text);
    if (line.comment) // row 1: never, and the previous opcode stays
        return false;
    const OpcodeHead opcode = opcodeHead(line.opcode);
    const OpcodeHead previous = state.previous;
    state.previous = opcode;

    if (is(opcode, "equ")) { // row 2: when its key leaves the current group
        const char key = equKey(line.label);
        const bool separate = key != state.equGroupKey;
        state.equGroupKey = key;
        return separate;
    }
    if (!line.label.empty() && line.label[0] == 'H') // row 3 (a capital H only)
        return true;
    if (isOneOf(opcode, {"lda", "ldx", "ldy", "inc", "inx", "iny", "dec", "dex", "dey"})) // row 4
        return true;
    if (is(opcode, "cmp")) // row 5
        return !is(previous, "lda");
    if (isOneOf(opcode, {"cpx", "cpy", "cli", "clr", "sec"})) // row 6 ("clr", not clc)
        return true;
    if (is(opcode, "bit")) // row 7
        return !is(previous, "bit");
    if (is(opcode, "jsr")) // row 8
        return !is(previous, "jsr");
    if (is(opcode, "jmp")) // row 9: the same partner as row 5
        return !is(previous, "lda");
    if (is(opcode, "hex")) // row 10
        return !is(previous, "hex");
    // row 11: any other line, one without an opcode included; a branch right after a "jsr"
    const bool branchAfterCall = is(previous, "jsr") && opcode.length > 0 && opcode.letters[0] == 'b';
    return isOneOf(opcode, {"rts", "brk"}) || isOneOf(previous, {"rts", "hex", "jmp"}) || branchAfterCall;
}
