// The DOS installer's dialogue: version, image, DOS file, placement, save.
#pragma once

// Runs the whole dialogue on standard input and output; returns the exit status.
int dskputdosMain();
