#include "length_check.h"

#include "line_kind.h"

#include <cstdio>

LengthCheck checkLengthLine(std::string_view line, std::string_view currentName, int64_t byteCount)
{
    const LengthDeclaration declaration = parseLengthLine(line);
    return {
        declaration.hasName && declaration.name == currentName,
        declaration.hasNumber && declaration.number == byteCount,
    };
}

void reportLengthCheck(const LengthCheck& check, const char* currentName)
{
    if (check.nameMatches)
        std::printf("Both file names compare to %s.\n", currentName);
    if (check.countMatches)
        std::printf("Number of bytes read for %s is correct.\n", currentName);
}
