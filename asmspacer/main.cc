// asmspacer: copies raw 6502 assembly text, putting ";" lines between groups of instructions.
#include "asmspacer.h"

#include "program.h"

namespace {

const ProgramForm Form{
    "asmspacer",
    "DIR FILE...",
    2,
    AnyNumber,
    "  DIR   the folder of the source files; DIR and a FILE together at most 28 characters\n"
    "  FILE  a source file in DIR; its spaced copy is written beside it, named FILE with T appended\n",
};

} // namespace

int main(int argc, char** argv)
{
    return programMain(Form, argc, argv, asmspacerMain);
}
