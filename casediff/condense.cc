// The condensing of a compare listing, whole: the scan of a listing line, the
// letter classes, the hex line and the line-feed rule.
#include "casediff.h"

#include "console.h"
#include "numbers.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace {

struct LetterClass {
    uint32_t first;        // lowest byte A of the class
    uint32_t last;         // highest byte A of the class
    int32_t partnerOffset; // byte B of a case-only pair is A + partnerOffset
    int32_t letterOffset;  // the plain lower-case letter is A + letterOffset
};

// Plain ASCII and the form with bit 7 set; bit 7 must agree in both bytes.
constexpr std::array<LetterClass, 4> LetterClasses{{
    {0x41, 0x5A, +0x20, +0x20}, // 'A' to 'Z'
    {0x61, 0x7A, -0x20, 0},     // 'a' to 'z'
    {0xC1, 0xDA, +0x20, -0x60}, // upper case, bit 7 set
    {0xE1, 0xFA, -0x20, -0x80}, // lower case, bit 7 set
}};

// The lower-case ASCII letter 'a' to 'z' when byteA and byteB are one letter
// that differs only by case (either may be the upper-case one), else 0.
// Values are compared whole: anything above 0xFF is in no class.
char caseOnlyLetter(uint32_t byteA, uint32_t byteB)
{
    for (const LetterClass& letterClass : LetterClasses) {
        if (byteA < letterClass.first || byteA > letterClass.last)
            continue;
        if (int64_t{byteB} != int64_t{byteA} + letterClass.partnerOffset)
            return 0;
        return static_cast<char>(int64_t{byteA} + letterClass.letterOffset);
    }
    return 0;
}

struct ListingLine {
    uint32_t address = 0;
    uint32_t byteA = 0;
    uint32_t byteB = 0;
};

// One "%x" conversion from line[at] on; advances at past the number.
bool scanHexAt(std::string_view line, size_t& at, uint32_t& value)
{
    const size_t used = scanHex(line.substr(at), value);
    at += used;
    return used != 0;
}

bool expect(std::string_view line, size_t& at, char wanted)
{
    if (at >= line.size() || line[at] != wanted)
        return false;
    ++at;
    return true;
}

// Scans line as "%x-%x (%x)" does: a number, '-', a number, any white space,
// '(', a number; whatever follows the third number is ignored. Returns false
// unless all three numbers are there and each fits in 32 bits: such a line
// is passed over, as if it were a comment.
bool scanListingLine(std::string_view line, ListingLine& entry)
{
    size_t at = 0;
    if (!scanHexAt(line, at, entry.address) || !expect(line, at, '-') || !scanHexAt(line, at, entry.byteA))
        return false;
    while (at < line.size() && isBlank(line[at]))
        ++at;
    return expect(line, at, '(') && scanHexAt(line, at, entry.byteB);
}

constexpr int ListingLineSize = 256;

char ListingText[ListingLineSize];

} // namespace

ListingCount condenseListing(std::FILE* in, std::FILE* out)
{
    ListingCount count;
    uint32_t previousAddress = 0;
    while (readConfigLine(ListingText, in) >= 0) {
        ++count.lines;
        ListingLine entry;
        if (!scanListingLine(ListingText, entry))
            continue;
        ++count.compareLines;
        // A new output line wherever the addresses are not consecutive (unsigned wrap included).
        if (previousAddress + 1 != entry.address)
            std::fputc('\n', out);
        previousAddress = entry.address;
        if (const char letter = caseOnlyLetter(entry.byteA, entry.byteB); letter != 0)
            std::fputc(letter, out);
        else
            std::fprintf(out, "%04x:  %02x  %02x\n", entry.address, entry.byteA, entry.byteB);
    }
    count.readToEnd = std::ferror(in) == 0;
    return count;
}
