#include "asmspacer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Step {
    std::string line;
    bool separator;
};

// Feeds the lines through one state, as one file would, checking each decision.
void expectSteps(const std::vector<Step>& steps)
{
    SpacerState state;
    for (const Step& step : steps)
        EXPECT_EQ(startsGroup(step.line, state), step.separator) << "line '" << step.line << "'";
}

TEST(asmspacerRules, WorkedExampleOfTheRules)
{
    expectSteps({{"; clear", false}, {"CLS LDA #$A0", true}, {" LDY #0", true}, {" STA $400,Y", false},
                 {" INY", true}, {" BNE CLS", false}, {" JSR INIT", true}, {" JSR HOME", false}, {" BCS ERR", true},
                 {" RTS", true}, {" NOP", true}, {"HERE NOP", true}, {"LOOP CMP #3", true}});
}

TEST(asmspacerRules, WorkedExampleOfEquGroups)
{
    expectSteps({{"L0300 EQU $300", true}, {"L0302 EQU $302", false}, {"LC000 EQU $C000", true},
                 {"L00FE EQU $FE", true}, {"L0001 EQU $01", false}});
}

// Each row with the previous opcode that lets it separate and the one that
// does not; the comment names the row that decides.
TEST(asmspacerRules, EachRowAndItsPreviousOpcode)
{
    struct Case {
        std::string previous, line;
        bool separator;
    };
    const Case cases[] = {
        {" JMP", ";x", false},          // 1
        {" NOP", "L03 equate 1", true}, // 2
        {" NOP", "HX EQU 1", true},     // 2 before 3
        {" NOP", "HERE NOP", true},     // 3
        {" NOP", "here NOP", false},    // 11
        {" LDA", " ldx #0", true},      // 4
        {" LDA", " Dey", true},         // 4
        {" L", " LDAX", true},          // 4
        {" LDA", " CMP #1", false},     // 5
        {" LDX", " cmp #1", true},      // 5
        {" LDA", " CLR", true},         // 6
        {" NOP", " clc", false},        // 11
        {" BIT", " bit $C0", false},    // 7
        {" NOP", " BIT $C0", true},     // 7
        {" JSR", " JSR X", false},      // 8
        {" NOP", " JSR X", true},       // 8
        {" LDA", " JMP X", false},      // 9
        {" JMP", " JMP X", true},       // 9
        {" HEX", " HEX 00", false},     // 10
        {" NOP", " hex 00", true},      // 10
        {" NOP", " rts", true},         // 11
        {" NOP", " BRK", true},         // 11
        {" RTS", " NOP", true},         // 11
        {" HEX", " NOP", true},         // 11
        {" JMP", "", true},             // 11
        {" JSR", " bne X", true},       // 11
        {" jsr", " Bcc X", true},       // 11
        {" jsr", " B", true},           // 11
        {" NOP", " BNE X", false},      // 11
        {" JSR", " NOP", false},        // 11
        {" NOP", " LD", false},         // 11
    };
    for (const Case& c : cases) {
        SpacerState state;
        startsGroup(c.previous, state);
        EXPECT_EQ(startsGroup(c.line, state), c.separator) << "'" << c.previous << "' then '" << c.line << "'";
    }
}

// What leaves the previous opcode alone, what empties it, what sets it to ";".
TEST(asmspacerRules, PreviousOpcodeAcrossCommentsEmptyAndLabelOnlyLines)
{
    expectSteps({{" JSR X", true}, {"; note", false}, {" BNE Y", true}});
    expectSteps({{" RTS", true}, {"", true}, {" NOP", false}});
    expectSteps({{" JSR X", true}, {"LABEL", false}, {" BNE Y", false}});
    expectSteps({{" RTS", true}, {"  ; not a comment", true}, {" NOP", false}});
    expectSteps({{" JMP X", true}, {" ;", true}, {" ;LDA", false}});
}

// An equ line's key is the second character of its label, the third when
// the second is '0', and NUL when the label ends first or is missing.
TEST(asmspacerRules, EquKeys)
{
    expectSteps({{"L0300 EQU 1", true}, {"X3 EQU 2", false}, {"L00FE EQU 3", true}, {"Y0 EQU 4", true}});
    // A blank-led equ line has no label: its key is NUL, so a second one joins its group.
    expectSteps({{" EQU 1", true}, {" equ 2", false}, {"L0 EQU 3", false}, {"L EQU 3", false},
                 {"L00 EQU 4", true}, {"LC000 EQU 5", true}});
}

// How a line is cut into label and opcode.
TEST(asmspacerRules, SplittingLines)
{
    // A tab-led line: the mnemonic is the label, the operand the opcode.
    expectSteps({{" NOP", false}, {"\tLDA #$01", false}, {"\tX RTS", true}, {"\tHERE NOP", true}});
    // Over-long words are kept whole: "EQUATEMENTS" is an equ line with key 'V'.
    expectSteps({{"AVERYLONGLABELNAME123 EQUATEMENTS 5", true}, {"AV EQU 1", false}});
    // The scan ends at a NUL as a C string would: no opcode after it.
    expectSteps({{" NOP", false}, {std::string("X\0 LDA", 6), false}, {std::string(" \0 LDA", 6), false}});
}

} // namespace
