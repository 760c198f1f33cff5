#include "fuzz_support.h"

#include <cstdlib>
#include <dirent.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string>& scratchFolders()
{
    static std::vector<std::string> folders;
    return folders;
}

void removeScratchFolders()
{
    for (const std::string& folder : scratchFolders()) {
        clearFolder(folder, nullptr);
        rmdir(folder.c_str());
    }
}

} // namespace

std::FILE* openBytes(const uint8_t* data, size_t size)
{
    if (size == 0)
        return std::fopen("/dev/null", "r");
    // Opened for reading only, so fmemopen never writes through the pointer.
    return fmemopen(const_cast<uint8_t*>(data), size, "r");
}

std::FILE* nullSink()
{
    static std::FILE* sink = std::fopen("/dev/null", "w");
    if (sink == nullptr)
        fuzzFailure("the null device cannot be opened");
    return sink;
}

void silenceConsole()
{
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        fuzzFailure("standard output cannot be sent to the null device");
}

std::string makeScratchFolder(const char* prefix)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        fuzzFailure("no scratch folder could be made");
    if (scratchFolders().empty())
        std::atexit(removeScratchFolders);
    scratchFolders().push_back(pattern);
    return pattern;
}

int clearFolder(const std::string& folder, const char* keep)
{
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return 0;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && (keep == nullptr || name != keep))
            names.push_back(name);
    }
    closedir(dir);
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        if (unlink(path.c_str()) != 0)
            rmdir(path.c_str());
    }
    return static_cast<int>(names.size());
}

void fuzzFailure(const char* rule)
{
    std::fprintf(stderr, "\nfuzz rule broken: %s\n", rule);
    std::abort();
}
