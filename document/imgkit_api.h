// The exports of the codec library libimgkit.so, as the document calls them.
#pragma once

#include <cstdint>

#include "document/image_buffer.h"

// Readers: a calloc'd header block (with the colour table after it for 8 bit), the rows through
// `bits`, the colour table's address through `palette`; null on failure.
using ImgkitReader = BITMAPINFOHEADER* (*)(const char* path, uint8_t** bits, RGBQUAD** palette);
// Writers: bottom-up rows, the header as the document holds it, the palette; 1 on success, 0 on failure.
using ImgkitWriter = int (*)(const char* path, const uint8_t* bits, BITMAPINFOHEADER header, const RGBQUAD* palette);
