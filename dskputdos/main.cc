// dskputdos: writes a DOS image onto tracks 0 to 2 of a diskette image.
#include "dskputdos.h"

#include "program.h"

namespace {

const ProgramForm Form{
    "dskputdos",
    "VERSION IMAGE DOSFILE",
    3,
    3,
    "  VERSION  1 or 3.3 (DOS 3.3), 2 or 4.0 (DOS 4.0, 35 sectors), 3 or 4.1 (DOS 4.1, 32 sectors)\n"
    "  IMAGE    the diskette image; its tracks 0 to 2 take the DOS, the rest is kept\n"
    "  DOSFILE  the DOS image, exactly 8960 bytes; only read\n",
};

} // namespace

int main(int argc, char** argv)
{
    return programMain(Form, argc, argv, dskputdosMain);
}
