// The verifier's dialogue: capture, start offset, image, track, byte count.
#pragma once

// Runs the whole dialogue on standard input and output; returns the exit status.
int aiffverifyMain();
