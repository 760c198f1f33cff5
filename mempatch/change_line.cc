#include "change_line.h"

#include "scan_number.h"


size_t scanHex(std::string_view text, uint32_t& value)
{
    const ScannedNumber number = scanNumber(text, 16, UINT32_MAX);
    if (number.used == 0 || number.tooWide)
        return 0;
    const auto low = static_cast<uint32_t>(number.magnitude);
    value = number.negative ? 0u - low : low;
    return number.used;
}

size_t scanDecimal(std::string_view text, int32_t& value)
{
    const ScannedNumber number = scanNumber(text, 10, uint64_t{1} << 31);
    if (number.used == 0 || number.tooWide || (!number.negative && number.magnitude > INT32_MAX))
        return 0;
    const auto signedMagnitude = static_cast<int64_t>(number.magnitude);
    value = static_cast<int32_t>(number.negative ? -signedMagnitude : signedMagnitude);
    return number.used;
}

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
