#include "snapshot.h"

#include <filesystem>
#include <fstream>
#include <sstream>

Snapshot takeSnapshot(const std::string& folder)
{
    namespace fs = std::filesystem;
    Snapshot files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (!it->is_regular_file(error))
            continue;
        std::ifstream in(it->path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[fs::relative(it->path(), folder).string()] = bytes.str();
    }
    return files;
}
