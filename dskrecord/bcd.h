// Packed BCD for the catalog time stamps.
#pragma once

#include <cstdint>

// v + 6 * (v / 10): for 0 to 99 the packed BCD byte of v (59 gives 0x59).
int32_t dec2hex(int32_t v);

// The inverse, (v mod 16) + 10 * (v / 16): 0x59 gives 59.
int32_t hex2dec(int32_t v);
