#include "memory_image.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
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

bool emptyAndWrite(int fd, std::span<const uint8_t> image)
{
    // Emptied in place, so the output keeps its inode and mode; a device
    // (or anything else that cannot be cut) is written as it is.
    struct stat status{};
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ftruncate(fd, 0) != 0) {
        std::printf("\nError form write(), errno = %d.\n", errno);
        return false;
    }
    // One write call for the image; should it write less, the rest follows,
    // and the error number is that of the call that failed.
    size_t done = 0;
    while (done < image.size()) {
        errno = 0; // a write that returns 0 sets none
        const ssize_t put = write(fd, image.data() + done, image.size() - done);
        if (put <= 0) {
            std::printf("\nError form write(), errno = %d.\n", errno);
            return false;
        }
        done += static_cast<size_t>(put);
    }
    return true;
}
