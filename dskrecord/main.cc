// dskrecord: records host text files into a diskette image as DOS text files.
#include "dskrecord.h"
#include "program.h"

namespace {

const ProgramForm Form{"dskrecord", "IMAGE DIR FILE...", 3, AnyNumber,
                       "  IMAGE  the diskette image to record into\n"
                       "  DIR    the folder that holds the text files\n"
                       "  FILE   a text file in DIR, recorded into the next free catalog entry\n"};

} // namespace

int main(int argc, char** argv)
{
    return programMain(Form, argc, argv, dskrecordMain);
}
