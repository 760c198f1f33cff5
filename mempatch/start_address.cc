#include "start_address.h"

#include "memory_image.h"
#include "numbers.h"

bool parseStartAddress(std::string_view answer, int32_t& start)
{
    while (!answer.empty() && isBlank(answer.front()))
        answer.remove_prefix(1);
    while (!answer.empty() && isBlank(answer.back()))
        answer.remove_suffix(1);
    if (answer.empty())
        return false;

    int32_t value = 0;
    for (char ch : answer) {
        const int digit = hexDigitValue(ch);
        if (digit < 0)
            return false;
        value = value * 16 + digit;
        if (value > MaxStartAddress) // also keeps a long answer from overflowing
            return false;
    }
    start = value;
    return true;
}
