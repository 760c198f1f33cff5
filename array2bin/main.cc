// array2bin: turns C array declarations into binary files with a load header.
#include "array2bin.h"
#include "program.h"

namespace {

constexpr ProgramForm Form{
    "array2bin",
    "INPUT",
    1,
    1,
    "  INPUT  the array text; each array becomes a binary file of its name in the current folder\n",
};

} // namespace

int main(int argc, char** argv)
{
    return programMain(Form, argc, argv, array2binMain);
}
