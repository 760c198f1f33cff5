// array2bin's dialogue: the input question, then the conversion pass.
#pragma once

// Runs the whole dialogue on standard input and output; returns the exit status.
int array2binMain();
