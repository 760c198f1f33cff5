#include "hex_answer.h"

#include "numbers.h"

#include <bit>

namespace {

// The answer's number as an unsigned value of the width whose all-ones value is allOnes.
uint64_t scanHex(std::string_view text, uint64_t allOnes)
{
    const ScannedNumber number = scanNumber(text, 16, allOnes);
    if (number.used == 0)
        return 0;
    if (number.tooWide)
        return allOnes;
    return number.negative ? (0 - number.magnitude) & allOnes : number.magnitude;
}

} // namespace

int64_t readHex64(std::string_view answer)
{
    return std::bit_cast<int64_t>(scanHex(answer, UINT64_MAX));
}

int32_t readHex32(std::string_view answer)
{
    return std::bit_cast<int32_t>(static_cast<uint32_t>(scanHex(answer, UINT32_MAX)));
}
