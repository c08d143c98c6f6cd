// libquantz.so: reduces a 24-bit image to 256 colours.
//
// The program loads the library with dlopen for each reduction and looks up the two functions
// below by name, through the pointer types declared after them; this one header serves the
// library, the program and the tests' stand-in, so the compiler holds them to one interface. Both
// functions use C linkage; every block that crosses the boundary is calloc'd and released with
// free.
//
// A reduction's result depends on the image and the methods alone, not on the machine. A large
// image is worked on in two bands of rows, at the same time where a second processor is to be had;
// the environment variable ORVIK_QUANTZ_THREADS=1 keeps the work on the calling thread.
#pragma once

#include <cstdint>

#include "document/image_buffer.h"

#define QUANTZ_EXPORT __attribute__((visibility("default")))

extern "C" {

// Receives whole percentages 0..100 while a reduction runs; the result is ignored.
typedef int (*ProgressFunction)(int percent);

// Registers the function that reports the progress of the following reductions; null registers
// none. It is called only on the thread that calls Convert24To256: with 0 first, with rising whole
// percentages while the work proceeds and with 100 last.
QUANTZ_EXPORT void SetProgressFunction(ProgressFunction progress);

// Palette methods: 0 standard palette (the colour cube and grey ramp of new images), 1 median cut,
// 2 octree. Dither methods: 0 nearest colour, 1 ordered (8 x 8 Bayer), 2 error diffusion
// (Floyd-Steinberg).
//
// Reduces the 24-bit image given by header (row stride in biXPelsPerMeter) and the bottom-up rows
// at *bits. Returns a calloc'd 1064-byte header block (8 bits per pixel, the new stride in
// biXPelsPerMeter, biClrUsed = biClrImportant = 256, then the 256-entry colour table; entries the
// palette does not use are zero) and stores calloc'd 8-bit rows through bits. The input header and
// rows are neither changed nor released; the caller frees them after a successful call.
//
// On failure (not a 24-bit image the program can hold, an unknown method, not enough memory) it
// returns null and leaves *bits as it was.
QUANTZ_EXPORT BITMAPINFOHEADER* Convert24To256(uint8_t** bits, BITMAPINFOHEADER* header, int paletteMethod,
                                               int ditherMethod);

}  // extern "C"

// Function types for looking the exports up with dlsym.
using QuantzSetProgress = decltype(&SetProgressFunction);
using QuantzConvert = decltype(&Convert24To256);
