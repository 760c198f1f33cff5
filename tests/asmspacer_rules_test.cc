#include "equ_group.h"
#include "line_fields.h"
#include "separator_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Step {
    std::string line;
    int row;
    bool separator;
};

// Feeds the lines through one state, as one file would, checking each decision.
void expectSteps(const std::vector<Step>& steps)
{
    SpacerState state;
    for (const Step& step : steps) {
        const Decision decision = applyRules(splitLine(step.line), state);
        EXPECT_EQ(decision.row, step.row) << "line '" << step.line << "'";
        EXPECT_EQ(decision.separator, step.separator) << "line '" << step.line << "'";
    }
}

TEST(asmspacerRules, WorkedExampleOfTheRules)
{
    expectSteps({{"; clear", 1, false}, {"CLS LDA #$A0", 4, true}, {" LDY #0", 4, true}, {" STA $400,Y", 11, false},
                 {" INY", 4, true}, {" BNE CLS", 11, false}, {" JSR INIT", 8, true}, {" JSR HOME", 8, false},
                 {" BCS ERR", 11, true}, {" RTS", 11, true}, {" NOP", 11, true}, {"HERE NOP", 3, true},
                 {"LOOP CMP #3", 5, true}});
}

TEST(asmspacerRules, WorkedExampleOfEquGroups)
{
    expectSteps({{"L0300 EQU $300", 2, true}, {"L0302 EQU $302", 2, false}, {"LC000 EQU $C000", 2, true},
                 {"L00FE EQU $FE", 2, true}, {"L0001 EQU $01", 2, false}});
}

// Each row with the previous opcode that lets it separate and the one that does not.
TEST(asmspacerRules, EachRowAndItsPreviousOpcode)
{
    struct Case {
        std::string previous, line;
        int row;
        bool separator;
    };
    const Case cases[] = {
        {" JMP", ";x", 1, false},       {" NOP", "L03 equate 1", 2, true}, {" NOP", "HERE NOP", 3, true},
        {" NOP", "here NOP", 11, false}, {" NOP", "HX EQU 1", 2, true},    {" LDA", " ldx #0", 4, true},
        {" LDA", " Dey", 4, true},       {" LDA", " CMP #1", 5, false},    {" LDX", " cmp #1", 5, true},
        {" LDA", " CLR", 6, true},       {" NOP", " clc", 11, false},      {" BIT", " bit $C0", 7, false},
        {" NOP", " BIT $C0", 7, true},   {" JSR", " JSR X", 8, false},     {" NOP", " JSR X", 8, true},
        {" LDA", " JMP X", 9, false},    {" JMP", " JMP X", 9, true},      {" HEX", " HEX 00", 10, false},
        {" NOP", " hex 00", 10, true},   {" NOP", " rts", 11, true},       {" NOP", " BRK", 11, true},
        {" RTS", " NOP", 11, true},      {" HEX", " NOP", 11, true},       {" JMP", "", 11, true},
        {" JSR", " bne X", 11, true},    {" jsr", " Bcc X", 11, true},     {" NOP", " BNE X", 11, false},
        {" JSR", " NOP", 11, false},     {" NOP", " LD", 11, false},       {" L", " LDAX", 4, true},
    };
    for (const Case& c : cases) {
        SpacerState state;
        applyRules(splitLine(c.previous), state);
        const Decision decision = applyRules(splitLine(c.line), state);
        EXPECT_EQ(decision.row, c.row) << "'" << c.previous << "' then '" << c.line << "'";
        EXPECT_EQ(decision.separator, c.separator) << "'" << c.previous << "' then '" << c.line << "'";
    }
}

// What leaves the previous opcode alone, what empties it, what sets it to ";".
TEST(asmspacerRules, PreviousOpcodeAcrossCommentsEmptyAndLabelOnlyLines)
{
    expectSteps({{" JSR X", 8, true}, {"; note", 1, false}, {" BNE Y", 11, true}});
    expectSteps({{" RTS", 11, true}, {"", 11, true}, {" NOP", 11, false}});
    expectSteps({{" JSR X", 8, true}, {"LABEL", 11, false}, {" BNE Y", 11, false}});
    expectSteps({{" RTS", 11, true}, {"  ; not a comment", 11, true}, {" NOP", 11, false}});
}

TEST(asmspacerRules, EquKeys)
{
    EXPECT_EQ(equKey("L0300"), '3');
    EXPECT_EQ(equKey("L00FE"), '0');
    EXPECT_EQ(equKey("LC000"), 'C');
    EXPECT_EQ(equKey("L0"), '\0');
    EXPECT_EQ(equKey("L"), '\0');
    EXPECT_EQ(equKey(""), '\0');
    // A blank-led equ line has no label: its key is NUL, so a second one joins its group.
    expectSteps({{" EQU 1", 2, true}, {" equ 2", 2, false}, {"L0 EQU 3", 2, false}, {"L00 EQU 4", 2, true}});
}

TEST(asmspacerRules, SplittingLines)
{
    const LineFields tabLed = splitLine("\tLDA #$01");
    EXPECT_EQ(tabLed.label, "LDA");
    EXPECT_EQ(tabLed.opcode, "#$01");
    EXPECT_EQ(splitLine("  ;  note").opcode, ";");
    EXPECT_TRUE(splitLine(";LDA").comment);
    EXPECT_FALSE(splitLine(" ;").comment);
    const LineFields labelOnly = splitLine("START");
    EXPECT_EQ(labelOnly.label, "START");
    EXPECT_TRUE(labelOnly.opcode.empty());
    const LineFields empty = splitLine("");
    EXPECT_TRUE(empty.label.empty() && empty.opcode.empty() && !empty.comment);
    // Over-long words are kept whole; the scan ends at a NUL as a C string would.
    const LineFields longWords = splitLine("AVERYLONGLABELNAME123 EQUATEMENTS 5");
    EXPECT_EQ(longWords.label, "AVERYLONGLABELNAME123");
    EXPECT_EQ(longWords.opcode, "EQUATEMENTS");
    EXPECT_TRUE(splitLine(std::string(" \0LDA", 5)).opcode.empty());
}

} // namespace
