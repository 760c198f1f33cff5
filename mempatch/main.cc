// mempatch: copies a memory image and applies a change file to the copy.
#include "mempatch.h"
#include "program.h"

namespace {

constexpr NumberArgument Numbers[]{{4, 16, "START"}};
const ProgramForm Form{"mempatch", "INPUT OUTPUT CHANGES START", 4, 4,
                       "  INPUT    the memory image, only read\n"
                       "  OUTPUT   the patched copy, created or replaced whole; neither INPUT nor CHANGES\n"
                       "  CHANGES  the change file of configLine and dataLine pairs, only read\n"
                       "  START    the file offset of memory address 0xD000, in hexadecimal from 0 to d000\n",
                       true, {}, Numbers};

} // namespace

int main(int argc, char** argv)
{
    return programMain(Form, argc, argv, mempatchMain);
}
