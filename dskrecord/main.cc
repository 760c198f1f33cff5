// dskrecord: records host text files into a diskette image as DOS text files.
#include "dskrecord.h"
#include "program.h"

#include <string_view>

namespace {

constexpr std::string_view Options[]{"--dos-names", "--replace"};
const ProgramForm Form{"dskrecord", "[--dos-names] [--replace] IMAGE DIR FILE...", 3, AnyNumber,
                       "  --dos-names  write each name whole (30 characters) without a time stamp, as the DOS\n"
                       "               does, so that the DOS and the other tools find the file by its name\n"
                       "  --replace    a FILE whose name is on the diskette replaces that file, in its entry\n"
                       "  IMAGE        the diskette image to record into\n"
                       "  DIR          the folder that holds the text files\n"
                       "  FILE         a text file in DIR, recorded into the next free catalog entry\n",
                       true, Options};

} // namespace

int main(int argc, char** argv)
{
    return programMain(Form, argc, argv, dskrecordMain);
}
