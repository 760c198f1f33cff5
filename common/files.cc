#include "files.h"

#include "program.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

void pathBase(char* path)
{
    char* slash = std::strrchr(path, '/');
    if (slash != nullptr)
        *slash = '\0';
    else
        path[0] = '\0';
}

bool isSameFile(const char* first, const char* second)
{
    struct stat a{};
    struct stat b{};
    if (stat(first, &a) != 0 || stat(second, &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool isDirectory(const char* path)
{
    struct stat status{};
    return stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

bool refuseSameFile(const char* inputPath, const char* outputPath, const char* message)
{
    if (!isSameFile(inputPath, outputPath))
        return false;
    reportFailure(message, outputPath, inputPath);
    return true;
}

void reportCallFailure(const char* call, const char* role, const char* path)
{
    reportFailure("\nError from %s() for %s file '%s'.\n\n", call, role, path);
}

int writeAll(int fd, std::span<const uint8_t> bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return errno;
        if (put == 0)
            return EIO;
        done += static_cast<size_t>(put);
    }
    return 0;
}
