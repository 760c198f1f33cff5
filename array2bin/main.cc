// array2bin: turns C array declarations into binary files with a load header.
#include "array2bin.h"

int main()
{
    return array2binMain();
}
