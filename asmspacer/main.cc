// asmspacer: copies raw 6502 assembly text, putting ";" lines between groups of instructions.
#include "asmspacer.h"

int main()
{
    return asmspacerMain();
}
