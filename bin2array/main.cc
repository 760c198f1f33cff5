// bin2array: writes the bytes of a file as the text of a C array declaration.
#include "bin2array.h"

#include "program.h"

namespace {

const ProgramForm Form{
    "bin2array",
    "INPUT [OUTPUT]",
    1,
    AnyNumber,
    "  INPUT   the file to convert; the array is named after it as given.\n"
    "  OUTPUT  the array text to write, created or replaced whole; without it the text\n"
    "          goes to standard output. Arguments after OUTPUT are ignored.\n",
};

} // namespace

int main(int argc, char** argv)
{
    return programMain(Form, argc, argv, bin2arrayMain);
}
