// aiffverify's pulse-width decoder and comparison on any capture.
//
// Input: a mode byte, then
//   mode even: a count answer (length byte, up to 31 characters, read as
//     hexadecimal), an image (two length bytes, then its bytes) and the
//     capture (the rest), run through the whole comparison as the program
//     runs it;
//   mode odd: bytes to send and the pulse widths to send them with (one
//     byte each); the capture made from them must decode to the same bytes.
#include "aiffverify.h"
#include "fuzz_support.h"
#include "numbers.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

std::FILE* openOrFail(const uint8_t* data, size_t size)
{
    std::FILE* stream = openBytes(data, size);
    if (stream == nullptr)
        fuzzFailure("the input stream cannot be opened");
    return stream;
}

void compareWholeRun(const uint8_t* data, size_t size)
{
    const size_t answerBytes = size > 0 ? std::min<size_t>(data[0] % 32, size - 1) : 0;
    const std::string_view answer(reinterpret_cast<const char*>(data + 1), answerBytes);
    size_t at = answerBytes + (size > 0 ? 1 : 0);
    uint32_t count = 0;
    scanHex(answer, count);

    size_t imageBytes = 0;
    if (at + 2 <= size) {
        imageBytes = std::min<size_t>(data[at] | data[at + 1] << 8, size - at - 2);
        at += 2;
    }
    std::FILE* image = openOrFail(data + at, imageBytes);
    at += imageBytes;
    std::FILE* capture = openOrFail(data + at, size - at);
    verifyCapture(capture, image, static_cast<int32_t>(count));
    std::fclose(capture);
    std::fclose(image);
}

// One bit: a pulse of width non-zero samples, the zero that ends it, a gap
// of gap non-zero samples (level with bit 0 kept: never zero), and the
// zero that begins the next bit.
void sendBit(std::vector<uint8_t>& capture, unsigned width, unsigned gap, uint8_t level)
{
    capture.insert(capture.end(), width, level);
    capture.push_back(0);
    capture.insert(capture.end(), gap, static_cast<uint8_t>(level ^ 0xFE));
    capture.push_back(0);
}

void roundTrip(const uint8_t* data, size_t size)
{
    const size_t byteCount = size / 9; // a byte, then one width byte per bit
    std::vector<uint8_t> capture{0};
    for (size_t i = 0; i < byteCount; ++i) {
        const uint8_t value = data[i * 9];
        for (int bit = 0; bit < 8; ++bit) {
            const uint8_t shape = data[i * 9 + 1 + static_cast<size_t>(bit)];
            const bool one = (value >> (7 - bit)) & 1;
            // Ones take 2 to 5 samples, zeros 0 or 1; gaps 0 to 7; any non-zero level.
            const unsigned width = one ? 2 + (shape & 3) : (shape & 1);
            sendBit(capture, width, (shape >> 2) & 7, static_cast<uint8_t>(shape | 0x01));
        }
    }
    std::FILE* stream = openOrFail(capture.data(), capture.size());
    if (getc(stream) != 0)
        fuzzFailure("a capture did not begin on its zero sample");
    for (size_t i = 0; i < byteCount; ++i) {
        const DecodedByte decoded = decodeByte(stream);
        if (decoded.status != DecodeStatus::Ok || decoded.value != data[i * 9])
            fuzzFailure("a well-formed capture decoded to other bytes");
    }
    if (decodeByte(stream).status != DecodeStatus::CaptureEnded)
        fuzzFailure("a capture's end was not seen");
    std::fclose(stream);
}

} // namespace

// The comparison prints its lines and stops for the user at its pauses:
// the lines go nowhere, and every pause meets the end of its input at once.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceConsole();
    if (std::freopen("/dev/null", "r", stdin) == nullptr)
        fuzzFailure("standard input cannot be read from the null device");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    if (data[0] & 1)
        roundTrip(data + 1, size - 1);
    else
        compareWholeRun(data + 1, size - 1);
    return 0;
}
