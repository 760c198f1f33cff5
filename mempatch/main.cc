// mempatch: copies a memory image and applies a change file to the copy.
#include "mempatch.h"

int main()
{
    return mempatchMain();
}
