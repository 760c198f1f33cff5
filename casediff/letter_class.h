// The letter classes: which byte pairs are one letter in upper and lower case.
#pragma once

#include <array>
#include <cstdint>

struct LetterClass {
    uint32_t first;        // lowest byte A of the class
    uint32_t last;         // highest byte A of the class
    int32_t partnerOffset; // byte B of a case-only pair is A + partnerOffset
    int32_t letterOffset;  // the plain lower-case letter is A + letterOffset
};

// Plain ASCII and the form with bit 7 set; bit 7 must agree in both bytes.
inline constexpr std::array<LetterClass, 4> LetterClasses{{
    {0x41, 0x5A, +0x20, +0x20}, // 'A' to 'Z'
    {0x61, 0x7A, -0x20, 0},     // 'a' to 'z'
    {0xC1, 0xDA, +0x20, -0x60}, // upper case, bit 7 set
    {0xE1, 0xFA, -0x20, -0x80}, // lower case, bit 7 set
}};

// The lower-case ASCII letter 'a' to 'z' when byteA and byteB are one letter
// that differs only by case (either may be the upper-case one), else 0.
// Values are compared whole: anything above 0xFF is in no class.
char caseOnlyLetter(uint32_t byteA, uint32_t byteB);
