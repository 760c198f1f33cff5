// bin2array: writes the bytes of a file as the text of a C array declaration.
#include "bin2array.h"

#include <span>

int main(int argc, char** argv)
{
    const std::span<char* const> arguments(argv, static_cast<size_t>(argc));
    return bin2arrayMain(arguments.subspan(arguments.empty() ? 0 : 1));
}
