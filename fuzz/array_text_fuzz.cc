// array2bin's array-text reader on any text, writing its files into a
// scratch folder that is emptied after every input.
//
// Rules checked: the conversion never fails to write; at most one file per
// place in the length table comes out, each beginning with its load header;
// the input's own file is refused as an output and stays as it was.
#include "array2bin.h"
#include "fuzz_support.h"
#include "length_table.h"

#include <algorithm>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The name the input goes by: an array of that name must be refused.
constexpr const char* InputName = "input.txt";

std::string Folder;

bool hasLoadHeader(const std::string& name)
{
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr)
        return false;
    uint8_t header[4] = {};
    const bool whole = std::fread(header, 1, sizeof header, file) == sizeof header;
    std::fclose(file);
    const bool known = std::any_of(LengthTable.begin(), LengthTable.end(), [&](const TableLength& length) {
        return header[2] == length.low && header[3] == length.high;
    });
    return whole && header[0] == LoadAddressLow && header[1] == LoadAddressHigh && known;
}

// Checks every file the conversion left; returns how many there are.
int checkOutputs()
{
    DIR* dir = opendir(".");
    if (dir == nullptr)
        fuzzFailure("the scratch folder cannot be read");
    int outputs = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name == InputName)
            continue;
        ++outputs;
        if (!hasLoadHeader(name))
            fuzzFailure("an output file without its load header");
    }
    closedir(dir);
    return outputs;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceConsole();
    Folder = makeScratchFolder("array-text-fuzz");
    if (chdir(Folder.c_str()) != 0)
        fuzzFailure("cannot enter the scratch folder");
    std::FILE* input = std::fopen(InputName, "w");
    if (input == nullptr || std::fclose(input) != 0)
        fuzzFailure("cannot make the input's file");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* in = openBytes(data, size);
    if (in == nullptr)
        fuzzFailure("the input stream cannot be opened");
    const ConversionResult result = convertArrays(in, InputName);
    std::fclose(in);
    if (result.writeFailed)
        fuzzFailure("an output file could not be written");

    if (checkOutputs() > MaxArrays)
        fuzzFailure("more output files than the length table has places");
    struct stat status{};
    if (stat(InputName, &status) != 0 || status.st_size != 0)
        fuzzFailure("the input's file was changed");
    clearFolder(Folder, InputName);
    return 0;
}
