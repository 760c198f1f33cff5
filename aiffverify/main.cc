// aiffverify: verifies an 8-bit audio capture of a transfer against a diskette image.
#include "aiffverify.h"

int main()
{
    return aiffverifyMain();
}
