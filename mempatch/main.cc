// mempatch: copies a memory image and applies a change file to the copy.
#include "dialogue.h"

int main()
{
    return mempatchMain();
}
