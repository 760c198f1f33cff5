// casediff: condenses a byte-compare listing to the letters that differ only by case.
#include "casediff.h"
#include "program.h"

namespace {

const ProgramForm Form{"casediff", "INPUT OUTPUT", 2, 2,
                       "  INPUT   the compare listing to condense\n"
                       "  OUTPUT  the condensed text, created or replaced whole; never the listing itself\n"};

} // namespace

int main(int argc, char** argv)
{
    return programMain(Form, argc, argv, casediffMain);
}
