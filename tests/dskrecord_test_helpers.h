// Diskette helpers for the recorder's tests: images with a chosen free
// space, the allocation order, and reading a recorded file back.
#pragma once

#include "disk_image.h"
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace dskrecord_test {

using Place = std::pair<int, int>; // track, sector

inline size_t vtocAt(int sectors, int byte)
{
    return fileOffset(sectors, 17, 0) + static_cast<size_t>(byte);
}

// Track byte as stored: 0x40 stands for track 0.
inline int trackFromDisk(uint8_t byte)
{
    return byte == 0x40 ? 0 : byte;
}

// The order in which sectors are handed out on a blank image whose free
// tracks run from top down to low.
inline std::vector<Place> allocationOrder(int top, int low, int sectors)
{
    std::vector<Place> order;
    for (int t = top; t >= low; --t)
        for (int s = sectors - 1; s >= 0 && t != 17; --s)
            order.emplace_back(t, s);
    return order;
}

// Clears the bitmap, then marks the first count sectors of the allocation
// order from the top track free.
inline void setFreeSectors(Bytes& image, int tracks, int sectors, int count)
{
    for (int i = 0x38; i < 0x38 + 4 * tracks; ++i)
        image[vtocAt(sectors, i)] = 0;
    for (const auto& [t, s] : allocationOrder(tracks - 1, 0, sectors)) {
        if (count-- <= 0)
            break;
        const int byte = s >= 16 ? 2 + (31 - s) / 8 : (15 - s) / 8;
        image[vtocAt(sectors, 0x38 + 4 * t + byte)] |= static_cast<uint8_t>(1u << (s % 8));
    }
}

// A recorded file followed from its catalog entry through its T/S lists.
struct ReadBack {
    Bytes data;              // every data sector, whole
    int dataSectors = 0;
    int lists = 0;
    std::set<Place> used;    // lists and data sectors
    bool wellFormed = true;  // every track byte 0 was written as 0x40, no sector used twice
};

inline ReadBack readBack(const Bytes& image, int sectors, size_t entry)
{
    ReadBack file;
    auto take = [&](int t, int s) {
        file.wellFormed = file.wellFormed && file.used.insert({t, s}).second;
        return fileOffset(sectors, t, s);
    };
    int t = trackFromDisk(image[entry]);
    int s = image[entry + 1];
    file.wellFormed = image[entry] != 0;
    while (file.wellFormed) {
        const size_t list = take(t, s);
        ++file.lists;
        for (size_t pair = list + 0x0C; pair < list + 0x100; pair += 2) {
            if (image[pair] == 0 && image[pair + 1] == 0)
                break;
            file.wellFormed = file.wellFormed && image[pair] != 0;
            const size_t data = take(trackFromDisk(image[pair]), image[pair + 1]);
            file.data.insert(file.data.end(), image.begin() + static_cast<long>(data),
                             image.begin() + static_cast<long>(data) + 256);
            ++file.dataSectors;
        }
        if (image[list + 1] == 0 && image[list + 2] == 0)
            break;
        t = trackFromDisk(image[list + 1]);
        s = image[list + 2];
    }
    return file;
}

// Whether data is text followed by nothing but zeros, in the fewest sectors.
inline bool holdsExactly(const ReadBack& file, const Bytes& text)
{
    if (file.data.size() != (text.size() + 255) / 256 * 256)
        return false;
    for (size_t i = 0; i < file.data.size(); ++i)
        if (file.data[i] != (i < text.size() ? text[i] : 0))
            return false;
    return true;
}

} // namespace dskrecord_test

namespace dskrecord_test {

// File offsets of every catalog entry along the chain (a well-formed chain).
inline std::vector<size_t> catalogEntries(const Bytes& image, int sectors)
{
    std::vector<size_t> entries;
    size_t link = vtocAt(sectors, 0);
    while (image[link + 2] != 0 && entries.size() < 7 * 32) {
        link = fileOffset(sectors, image[link + 1], image[link + 2]);
        for (size_t i = 0; i < 7; ++i)
            entries.push_back(link + 11 + 35 * i);
    }
    return entries;
}

} // namespace dskrecord_test

namespace dskrecord_test {

// Puts an image file's bytes into Disk as loading it would.
inline void useImage(const Bytes& image, int tracks, int sectors)
{
    NumTracks = tracks;
    NumSectors = sectors;
    Disk.fill(0);
    for (int t = 0; t < tracks; ++t)
        std::copy_n(image.begin() + static_cast<long>(fileOffset(sectors, t, 0)), sectors * 256,
                    Disk.begin() + sectorOffset(t, 0));
}

// Disk as the image file the save would write.
inline Bytes diskAsImage()
{
    Bytes image;
    for (int t = 0; t < NumTracks; ++t)
        image.insert(image.end(), Disk.begin() + sectorOffset(t, 0),
                     Disk.begin() + sectorOffset(t, 0) + NumSectors * 256);
    return image;
}

} // namespace dskrecord_test

namespace dskrecord_test {

// A host text and its encoding, made of lines without blanks so that the
// encoding is plain: every character with its high bit, 0x8D per line.
struct HostText {
    std::string text;
    Bytes encoded;
};

// A host text whose encoded size is exactly n (n >= 3 and n != 4).
inline HostText hostTextOfEncodedSize(size_t n, int seed)
{
    HostText host;
    size_t left = n - 3;
    for (int line = 0; left > 0; ++line) {
        const size_t length = left > 201 ? 199 : left - 1;
        for (size_t i = 0; i < length; ++i) {
            const char ch = static_cast<char>((i + line + seed) % 2 ? 'A' + (i + seed) % 26 : 'a' + line % 26);
            host.text += ch;
            host.encoded.push_back(static_cast<uint8_t>(ch | 0x80));
        }
        host.text += '\n';
        host.encoded.push_back(0x8D);
        left -= length + 1;
    }
    for (uint8_t b : {0x00, 0x80, 0x8D})
        host.encoded.push_back(b);
    return host;
}

} // namespace dskrecord_test

namespace dskrecord_test {

// A 35-track, 16-sector image holding three text files recorded by
// dskrecord's argument form, in catalog order: A.S (list 34/15, data 34/14),
// BIG.S (lists 34/13 and 27/2, the second listing 27/1 and 27/0) and C.S
// (list 26/15, data 26/14).
inline std::string recordThreeFiles(const TempDir& dir)
{
    const std::string image = dir.file("d.dsk");
    writeFile(image, blankImage(35, 16));
    writeText(dir.file("a.s"), "A\n");
    writeText(dir.file("big.s"), hostTextOfEncodedSize(123 * 256 + 40, 3).text);
    writeText(dir.file("c.s"), "C\n");
    EXPECT_EQ(runProgram("dskrecord", {image, dir.path(), "a.s", "big.s", "c.s"}, "").status, 0);
    return image;
}

} // namespace dskrecord_test
