// Temporary folders, whole-file reads and writes, and blank images for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A fresh folder under /tmp, open to every user (so programs run as nobody
// can use it), removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

Bytes readFile(const std::string& path);
void writeFile(const std::string& path, const Bytes& bytes);
void writeText(const std::string& path, const std::string& text);
std::string readText(const std::string& path);

// A formatted blank image of the given geometry (see tools/blank_image.h).
Bytes blankImage(int tracks, int sectors);

// Offset of sector s of track t in an image file of the given sectors per track.
inline size_t fileOffset(int sectorsPerTrack, int track, int sector)
{
    return (static_cast<size_t>(track) * sectorsPerTrack + sector) * 256;
}

// The six recognised geometries as {tracks, sectors}.
struct Geometry {
    int tracks;
    int sectors;
};
inline constexpr Geometry AllGeometries[6] = {{35, 16}, {40, 16}, {48, 16}, {35, 32}, {40, 32}, {48, 32}};

// A blob of n bytes from a fixed pattern that differs from block to block.
Bytes patternBytes(size_t n, uint32_t seed = 1);
