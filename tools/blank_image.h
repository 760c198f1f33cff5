// Formatted blank diskette images, laid out as the diskette's own DOS
// initialises a diskette, so other tools read them too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Writes the image file bytes of a blank diskette of the given geometry
// into out (which must hold tracks * sectors * 256 bytes) and returns that
// count, or 0 when the geometry is not one of the six recognised ones or
// out is too small.
//
// VTOC on track 17 sector 0: catalog at 17/last sector, DOS release 3,
// volume 254, 122 pairs per T/S list, last allocated track 17, direction +1,
// tracks and sectors per track, 256 bytes per sector. Bitmap: tracks 0-2
// and 17 in use, every sector of the other tracks free. Catalog sectors
// from the last sector of track 17 down to sector 1, each linked to the
// next lower one, sector 1 ending the chain.
size_t buildBlankImage(int tracks, int sectors, std::span<uint8_t> out);
