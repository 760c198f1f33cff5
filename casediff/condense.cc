#include "condense.h"

#include "console.h"
#include "letter_class.h"

#include <string_view>

namespace {

constexpr int ListingLineSize = 256;

char ListingText[ListingLineSize];

} // namespace

size_t condenseEntry(const ListingLine& entry, uint32_t& previousAddress, std::span<char, PieceMaxBytes> out)
{
    size_t length = 0;
    if (previousAddress + 1 != entry.address)
        out[length++] = '\n';
    previousAddress = entry.address;

    if (const char letter = caseOnlyLetter(entry.byteA, entry.byteB); letter != 0) {
        out[length++] = letter;
        return length;
    }
    return length + formatHexLine(entry, out.subspan(length).first<HexLineMaxBytes>());
}

bool condenseListing(std::FILE* in, std::FILE* out)
{
    uint32_t previousAddress = 0;
    char piece[PieceMaxBytes];
    for (;;) {
        const int length = readConfigLine(ListingText, in);
        if (length < 0)
            break;
        ListingLine entry;
        if (!scanListingLine(std::string_view(ListingText), entry))
            continue;
        const size_t pieceLength = condenseEntry(entry, previousAddress, piece);
        std::fwrite(piece, 1, pieceLength, out);
    }
    return std::ferror(in) == 0;
}
