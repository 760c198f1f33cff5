// aiffverify: verifies an 8-bit audio capture of a transfer against a diskette image.
#include "aiffverify.h"
#include "program.h"

namespace {

constexpr NumberArgument Numbers[]{{2, 16, "OFFSET"}, {4, 16, "TRACK"}, {5, 16, "COUNT"}};
const ProgramForm Form{"aiffverify", "AIFF OFFSET IMAGE TRACK COUNT", 5, 5,
                       "  AIFF    the recording, read as raw 8-bit samples\n"
                       "  OFFSET  byte offset of the zero sample that begins the first bit, in hexadecimal\n"
                       "  IMAGE   the diskette image, or any file laid out the same way\n"
                       "  TRACK   track where the comparison starts (byte TRACK x 4096), in hexadecimal\n"
                       "  COUNT   how many bytes to decode and compare, in hexadecimal\n",
                       true, {}, Numbers};

} // namespace

int main(int argc, char** argv)
{
    return programMain(Form, argc, argv, aiffverifyMain);
}
