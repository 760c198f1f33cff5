#include "equ_group.h"

char equKey(std::string_view label)
{
    size_t at = 1;
    if (label.size() > at && label[at] == '0')
        at = 2;
    return label.size() > at ? label[at] : '\0';
}
