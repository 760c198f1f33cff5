#include "test_files.h"

#include "blank_image.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>

TempDir::TempDir()
{
    char name[] = "/tmp/suite-test-XXXXXX";
    if (mkdtemp(name) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    chmod(name, 0777);
    path_ = name;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void writeText(const std::string& path, const std::string& text)
{
    writeFile(path, Bytes(text.begin(), text.end()));
}

std::string readText(const std::string& path)
{
    Bytes bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

Bytes blankImage(int tracks, int sectors)
{
    Bytes image(static_cast<size_t>(tracks) * sectors * 256);
    if (buildBlankImage(tracks, sectors, image) != image.size())
        throw std::runtime_error("not a recognised geometry");
    return image;
}

Bytes patternBytes(size_t n, uint32_t seed)
{
    Bytes bytes(n);
    uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(state >> 16);
    }
    return bytes;
}
