// casediff: condenses a byte-compare listing to the letters that differ only by case.
#include "dialogue.h"

int main()
{
    return casediffMain();
}
