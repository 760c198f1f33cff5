#include "change_line.h"

#include "numbers.h"

bool readConfigValues(std::string_view configLine, uint32_t& address, int32_t& count)
{
    uint32_t a = 0;
    const size_t used = scanHex(configLine, a);
    if (used == 0)
        return false;
    int32_t n = 0;
    if (scanDecimal(configLine.substr(used), n) == 0)
        return false;
    address = a;
    count = n;
    return true;
}

int readDataValues(std::string_view dataLine, std::span<uint32_t> values)
{
    int read = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        const size_t at = i * DataBytePitch;
        if (at >= dataLine.size() || scanHex(dataLine.substr(at), values[i]) == 0)
            break;
        ++read;
    }
    return read;
}
