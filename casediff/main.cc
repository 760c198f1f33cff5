// casediff: condenses a byte-compare listing to the letters that differ only by case.
#include "casediff.h"

int main()
{
    return casediffMain();
}
