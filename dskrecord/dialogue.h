// The recorder's dialogue: image, text folder, one host file per free
// catalog entry, save.
#pragma once

#include <cstdint>
#include <string_view>

// The recording itself, for an image already in Disk, as the dialogue runs
// it after its first two questions: walks the catalog chain and asks for a
// host file in textFolder for each free entry. freeCount is the free count
// reported for the image. Returns true when the image is to be written
// back, false when the run is to end without writing anything.
bool recordAlongCatalog(std::string_view textFolder, int32_t freeCount);

// Runs the whole dialogue on standard input and output; returns the exit status.
int dskrecordMain();
