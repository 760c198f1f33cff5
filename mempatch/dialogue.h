// The memory image patcher's dialogue: input, output and change file, start
// address, then the copy with its changes.
#pragma once

// Runs the whole dialogue on standard input and output; returns the exit status.
int mempatchMain();
