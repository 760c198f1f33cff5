// dskrecord: records host text files into a diskette image as DOS text files.
#include "dialogue.h"

int main()
{
    return dskrecordMain();
}
