#include "letter_class.h"

char caseOnlyLetter(uint32_t byteA, uint32_t byteB)
{
    for (const LetterClass& letterClass : LetterClasses) {
        if (byteA < letterClass.first || byteA > letterClass.last)
            continue;
        const int64_t partner = int64_t{byteA} + letterClass.partnerOffset;
        if (int64_t{byteB} != partner)
            return 0;
        return static_cast<char>(int64_t{byteA} + letterClass.letterOffset);
    }
    return 0;
}
