#include "memory_image.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

std::array<uint8_t, ImageBufferBytes> MemoryImage;

void readImage(int fd, std::span<uint8_t> image)
{
    // A short read must not leave bytes of an earlier image behind.
    std::fill(image.begin(), image.end(), uint8_t{0});
    const ssize_t got = read(fd, image.data(), image.size());
    if (got < 0)
        std::printf("\nError from read(), errno = %d.\n", errno);
    else if (static_cast<size_t>(got) < image.size())
        std::printf("\nError from read(), nRead = 0x%0x.\n", static_cast<unsigned>(got));
}

bool writeImage(int fd, std::span<const uint8_t> image)
{
    errno = 0; // a short write sets no error number of its own
    const ssize_t put = write(fd, image.data(), image.size());
    if (put == static_cast<ssize_t>(image.size()))
        return true;
    std::printf("\nError form write(), errno = %d.\n", errno);
    return false;
}
