// dskputdos: writes a DOS image onto tracks 0 to 2 of a diskette image.
#include "dskputdos.h"

int main()
{
    return dskputdosMain();
}
