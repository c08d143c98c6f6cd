// The exports of the colour-reduction library libquantz.so, as the document calls them.
#pragma once

#include <cstdint>

#include "document/image_buffer.h"

// Receives whole percentages while a reduction runs.
using QuantzProgressFunction = int (*)(int percent);
using QuantzSetProgress = void (*)(QuantzProgressFunction progress);
// Reduces the 24-bit image (header, rows at *bits): returns a calloc'd 1064-byte 8-bit header
// block with its colour table and stores the new calloc'd rows through `bits`; null on failure.
// The input blocks stay the caller's.
using QuantzConvert = BITMAPINFOHEADER* (*)(uint8_t** bits, BITMAPINFOHEADER* header, int paletteMethod,
                                            int ditherMethod);
