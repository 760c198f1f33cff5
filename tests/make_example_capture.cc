// Writes the example capture: make_example_capture DOSFILE OUTPUT, e.g.
//   build/bin/make_example_capture examples/demo-dos.bin examples/transfer.aiff
#include "example_capture.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_example_capture DOSFILE OUTPUT\n");
        return 2;
    }
    try {
        writeFile(argv[2], exampleCapture(readFile(argv[1])));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_example_capture: %s\n", error.what());
        return 1;
    }
    return 0;
}
