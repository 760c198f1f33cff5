// The case-difference extractor's dialogue: input and output path, then the
// condensed listing.
#pragma once

// Runs the whole dialogue on standard input and output; returns the exit status.
int casediffMain();
