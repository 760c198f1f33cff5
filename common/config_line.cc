#include "config_line.h"

#include "console.h"

#include <algorithm>
#include <cstring>

int readConfigLine(std::span<char> dest, std::FILE* stream)
{
    static char line[512];
    for (;;) {
        int length = Gets(line, stream);
        if (length < 0)
            return -1;
        if (line[0] == '\0' || line[0] == '#' || line[0] == '*')
            continue;
        if (dest.empty())
            return length;
        size_t cut = std::min(dest.size() - 1, sizeof line - 1);
        line[cut] = '\0';
        std::memcpy(dest.data(), line, std::strlen(line) + 1);
        return length;
    }
}
