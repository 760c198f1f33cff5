// Turns a host text file into the bytes of a diskette text file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

// Room for the encoded text of one file: as large as the largest image.
inline constexpr int32_t EncodedTextBytes = 393216;
// One read of the host file: at most 255 characters; longer lines are
// encoded in pieces of 255, each as a line of its own.
inline constexpr int LineBufferBytes = 256;

// Appends the encoding of one line (its line end already removed) to out
// from out[n] on, advancing n: every character with its high bit set,
// trailing blanks dropped, an empty or all-blank line and a leading ':'
// turned into ';', a run of blanks outside quotes and comments shrunk to
// one, and 0x8D at the end. Returns false, with n unchanged, when the line
// does not fit.
bool encodeLine(std::string_view line, std::span<uint8_t> out, int32_t& n);

// Encodes every line read from in (opened as text) into out and appends the
// end marker 0x00 0x80 0x8D. Returns the encoded size, or -1 when the text
// does not fit in out; reading then stops there.
int32_t encodeText(std::FILE* in, std::span<uint8_t> out);
