// The image question both diskette programs open with.
#pragma once

#include <span>

// Asks for the diskette image until its status can be got, detects its
// geometry and loads it into Disk. A failed status query is reported, paused
// on and asked again; an unrecognised size or a failed load is reported and
// paused on. Returns 0 with the image loaded and its path in path, or -1
// when the program should end (an empty answer included).
int askForImage(std::span<char> path);
