#include "bcd.h"

// Worked in 64 bits so that no input can overflow; the result wraps to 32.
int32_t dec2hex(int32_t v)
{
    const int64_t wide = v;
    return static_cast<int32_t>(wide + 6 * (wide / 10));
}

int32_t hex2dec(int32_t v)
{
    const int64_t wide = v;
    return static_cast<int32_t>(wide % 16 + 10 * (wide / 16));
}
