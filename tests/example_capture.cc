#include "example_capture.h"

#include "aiff_capture.h"

#include <stdexcept>

namespace {

constexpr size_t FirstBlock = 25; // DOS 3.3 puts block 25 on track 0 sector 0, block 26 on sector 1
constexpr size_t LeaderSamples = 300;

} // namespace

Bytes exampleCapture(const Bytes& dosFile)
{
    if (dosFile.size() != 8960)
        throw std::invalid_argument("the DOS file must be 8960 bytes");
    const auto first = dosFile.begin() + static_cast<std::ptrdiff_t>(FirstBlock * 256);
    const Bytes sent(first, first + static_cast<std::ptrdiff_t>(ExampleCaptureBytes));

    // A steady tone with no zero sample in it, as a recording starts.
    constexpr uint8_t Leader[] = {0x40, 0x3F, 0x41};
    Bytes samples;
    for (size_t i = 0; i < LeaderSamples; ++i)
        samples.push_back(Leader[i % std::size(Leader)]);
    const Bytes bits = encodeCapture(sent);
    samples.insert(samples.end(), bits.begin(), bits.end());
    const auto [file, dataOffset] = aiffFile(samples);
    if (dataOffset + LeaderSamples != ExampleCaptureStart)
        throw std::logic_error("the capture's first bit moved");
    return file;
}
