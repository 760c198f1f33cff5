// Telling the lines of array text apart, and the names and numbers they carry.
#pragma once

#include <cstdint>
#include <string_view>

enum class LineKind {
    ArrayOpener, // "unsigned char NAME[] = {"
    LengthLine,  // "unsigned int NAME_len = COUNT;"
    Other,
};

// Only the start of the line counts; an opener is recognised first.
LineKind classifyLine(std::string_view line);

// The array name of an opener line: from the fifteenth character up to the
// first '[' or the end of the line (the fourteenth, normally a blank, is not
// looked at). Empty when the line has nothing after its fourteenth character.
std::string_view arrayNameOf(std::string_view openerLine);

struct LengthDeclaration {
    bool hasName = false;   // the name part holds a '_'
    std::string_view name;  // from the fourteenth character up to that '_'
    bool hasNumber = false; // a decimal number follows where the count belongs
    int64_t number = 0;
};

// The name and the count of a length line. The count's text begins six
// characters after the '_' (past "_len =") and ends before the first ';'.
// Without a '_' there is neither name nor number.
LengthDeclaration parseLengthLine(std::string_view line);
