// dskrecord's source text encoder on any host text, into rooms of any size.
//
// Input: two bytes choosing the room, then the host text. Rules checked: the
// encoder writes only inside its room; a text that fits ends in the end
// marker and every byte before it has its high bit set; a text that fits a
// small room is encoded the same as in the full room.
#include "dskrecord.h"
#include "fuzz_support.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

std::array<uint8_t, EncodedTextBytes> FullRoom;

int32_t encodeInto(std::span<uint8_t> room, const uint8_t* text, size_t size)
{
    std::FILE* in = openBytes(text, size);
    if (in == nullptr)
        fuzzFailure("the input stream cannot be opened");
    const int32_t n = encodeText(in, room);
    std::fclose(in);
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // Mostly small rooms, which the text outgrows; sometimes the full one.
    const unsigned choice = data[0] | data[1] << 8;
    const size_t roomBytes = choice >= 0xC000 ? FullRoom.size() : choice % 2048;
    // Exactly the room on the heap, so AddressSanitizer sees a write past it.
    std::vector<uint8_t> room(roomBytes);
    const uint8_t* text = data + 2;
    const size_t textBytes = size - 2;

    const int32_t n = encodeInto(room, text, textBytes);
    if (n == -1)
        return 0;
    if (n < 3 || static_cast<size_t>(n) > room.size())
        fuzzFailure("encoded size outside the room");
    if (room[static_cast<size_t>(n) - 3] != 0x00 || room[static_cast<size_t>(n) - 2] != 0x80 ||
        room[static_cast<size_t>(n) - 1] != 0x8D)
        fuzzFailure("encoded text without its end marker");
    for (int32_t i = 0; i < n - 3; ++i)
        if ((room[static_cast<size_t>(i)] & 0x80) == 0)
            fuzzFailure("encoded byte without its high bit");

    if (roomBytes < FullRoom.size()) {
        const int32_t full = encodeInto(FullRoom, text, textBytes);
        if (full != n || !std::equal(room.begin(), room.begin() + n, FullRoom.begin()))
            fuzzFailure("a small room changed the encoding");
    }
    return 0;
}
