// What a case's folder holds, to tell which files a run changed.
#pragma once

#include <map>
#include <string>

// Every regular file under folder, by its path relative to folder, with its bytes.
using Snapshot = std::map<std::string, std::string>;

Snapshot takeSnapshot(const std::string& folder);
