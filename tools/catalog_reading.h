// How the helpers read a diskette image's catalog: walked with the guard,
// each file entry shown as the diskette's DOS shows it.
#pragma once

#include "catalog.h"

// A name runs over the time stamp's six bytes when they hold no stamp.
inline constexpr int FullNameBytes = 30;

// How a walk of the catalog ended.
enum class WalkEnd {
    Stopped, // the visitor asked to stop
    ChainEnd,
    Guard,   // a link outside the image or back to a sector read already
};

// Calls visit for every entry that names a file (neither free, byte 0 = 0,
// nor deleted, 0xFF), in chain order, until visit returns true. The guard's
// message goes to standard error.
WalkEnd walkCatalog(bool (*visit)(CatalogEntry entry));

// A time stamp as dskrecord writes it into entry bytes 27-32.
struct Stamp {
    int seconds, minutes, hours, year, day, month;
};

// Whether entry bytes 27-32 hold such a stamp: six packed-BCD bytes, seconds
// below 61, minutes below 60, hours below 24, day 1-31, month 1-12.
bool entryStamp(CatalogEntry entry, Stamp& stamp);

// The name's length: 24 before a stamp, otherwise 30.
int entryNameLength(CatalogEntry entry);

// The letter of a file type, byte 2 of the entry with its lock bit ignored:
// T I A B S R, A and B for the two later types, ? for anything else.
char typeLetter(uint8_t type);
