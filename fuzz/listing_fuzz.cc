// casediff's listing scanner and condenser on any listing.
//
// Rules checked: a listing that can be read is condensed without a read
// failure; the output holds nothing but line feeds, lower-case letters and
// the hex lines' digits, colons and blanks.
#include "casediff.h"
#include "fuzz_support.h"

#include <cstdio>

namespace {

bool condensedCharacter(int ch)
{
    return ch == '\n' || ch == ' ' || ch == ':' || (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* in = openBytes(data, size);
    std::FILE* out = std::tmpfile();
    if (in == nullptr || out == nullptr)
        fuzzFailure("the input or output stream cannot be opened");
    if (!condenseListing(in, out).readToEnd)
        fuzzFailure("a memory stream reported a read failure");
    std::rewind(out);
    for (int ch; (ch = std::fgetc(out)) != EOF;)
        if (!condensedCharacter(ch))
            fuzzFailure("a character that is no letter, line feed or part of a hex line");
    std::fclose(in);
    std::fclose(out);
    return 0;
}
