// casediff's listing scanner and condenser on any listing.
//
// Rules checked: a listing that can be read is condensed without a read
// failure; every line the scanner takes gives a piece that fits its buffer.
#include "condense.h"
#include "fuzz_support.h"
#include "listing_line.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* in = openBytes(data, size);
    if (in == nullptr)
        fuzzFailure("the input stream cannot be opened");
    if (!condenseListing(in, nullSink()))
        fuzzFailure("a memory stream reported a read failure");
    std::fclose(in);

    // The whole input as one line, NUL bytes and all, straight to the scanner.
    ListingLine entry;
    if (scanListingLine(std::string_view(reinterpret_cast<const char*>(data), size), entry)) {
        uint32_t previous = entry.address;
        char piece[PieceMaxBytes];
        if (condenseEntry(entry, previous, piece) > PieceMaxBytes)
            fuzzFailure("a piece longer than its buffer");
    }
    return 0;
}
