#include "catalog.h"

uint8_t diskTrackByte(int32_t track)
{
    return track == 0 ? uint8_t{0x40} : static_cast<uint8_t>(track);
}

uint8_t catalogNameByte(char ch)
{
    auto byte = static_cast<uint8_t>(ch);
    if (static_cast<signed char>(ch) >= 'a')
        byte = static_cast<uint8_t>(byte + 0x60);
    return static_cast<uint8_t>(byte | 0x80);
}

void printCatalogGuard(std::FILE* stream, CatalogLink link, int32_t track, int32_t sector)
{
    if (link == CatalogLink::OutsideImage)
        std::fprintf(stream,
                     "\nError, the catalog links to track %d sector %d, outside this diskette; "
                     "the catalog ends there.\n\n",
                     static_cast<int>(track), static_cast<int>(sector));
    else if (link == CatalogLink::Revisited)
        std::fprintf(stream,
                     "\nError, the catalog links back to track %d sector %d, read already; "
                     "the catalog ends there.\n\n",
                     static_cast<int>(track), static_cast<int>(sector));
}
