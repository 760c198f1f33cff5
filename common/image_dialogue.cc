#include "image_dialogue.h"

#include "ask.h"
#include "console.h"
#include "disk_image.h"

#include <cstdio>
#include <sys/stat.h>

int askForImage(std::span<char> path)
{
    const int maxLength = static_cast<int>(path.size()) - 1;
    struct stat status{};
    for (;;) {
        if (Ask("\nEnter path of diskette image to process:  ", maxLength) == 0)
            return -1;
        copyAnswer(path);
        if (stat(path.data(), &status) == 0)
            break;
        std::printf("\nError from stat() for diskette file '%s'.\n\n", path.data());
        Pause();
    }
    if (!detectGeometry(status.st_size)) {
        std::printf("\nError, the diskette size of '%lld' is not recognized for file '%s'.\n\n",
                    static_cast<long long>(status.st_size), path.data());
        Pause();
        return -1;
    }
    if (loadDisk(path.data()) != 0) {
        Pause();
        return -1;
    }
    return 0;
}
