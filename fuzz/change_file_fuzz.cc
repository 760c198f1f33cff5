// mempatch's change-file reader on any change file, for any start address.
//
// Input: two bytes for the start address (taken modulo 0xD001), then the
// change file. The image lies on the heap at exactly its length, so a change
// written outside it is seen by AddressSanitizer. Rules checked: a change
// stores nothing outside the image; the start-address answer reader accepts
// only 0 to 0xD000.
#include "fuzz_support.h"
#include "mempatch.h"

#include <algorithm>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceConsole(); // the trace
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const auto start = static_cast<int32_t>((data[0] | data[1] << 8) % (MaxStartAddress + 1));
    std::vector<uint8_t> image(static_cast<size_t>(imageLength(start)), 0xEA);

    std::FILE* changes = openBytes(data + 2, size - 2);
    if (changes == nullptr)
        fuzzFailure("the input stream cannot be opened");
    applyChangeFile(changes, start, image);
    std::fclose(changes);

    // The same bytes as a start-address answer (an answer holds at most 255 characters).
    const std::string_view answer(reinterpret_cast<const char*>(data + 2), std::min<size_t>(size - 2, 255));
    int32_t parsed = -1;
    if (parseStartAddress(answer, parsed) && (parsed < 0 || parsed > MaxStartAddress))
        fuzzFailure("a start address outside 0 to 0xD000 was accepted");
    return 0;
}
