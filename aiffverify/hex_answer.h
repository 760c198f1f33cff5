// Reading the hexadecimal answers as the C library's "%lx" and "%x" read them.
#pragma once

#include <cstdint>
#include <string_view>

// Leading blanks are skipped, then an optional sign, an optional 0x prefix
// and hexadecimal digits; reading stops at the first other character. An
// answer without a number reads as 0. A minus sign negates the number in its
// width. A number too wide for its width reads as all ones (-1), as the C
// library's readers saturate, rather than wrapping to a small value.
int64_t readHex64(std::string_view answer);
int32_t readHex32(std::string_view answer);
