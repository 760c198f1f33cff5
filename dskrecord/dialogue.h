// The recorder's dialogue: image, text folder, one host file per free
// catalog entry, save.
#pragma once

// Runs the whole dialogue on standard input and output; returns the exit status.
int dskrecordMain();
