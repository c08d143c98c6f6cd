// The image model on the clipboard: the bitmap block Copy places, and pictures from other programs
// brought into the model when they arrive as plain pixels rather than as a bitmap block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/image_buffer.h"

constexpr size_t kBmpFileHeaderBytes = 14;

// Copy's block, in the form of a BMP file:
//   0   "BM", the size of the whole block, two reserved zero words, the offset of the rows;
//   14  a 40-byte header: biSize 40, the width and height, 1 plane, the depth, no compression,
//       biSizeImage height x stride for 24 bit and 0 for 8 bit, both resolutions 0, biClrUsed and
//       biClrImportant 256 for 8 bit and 0 for 24 bit;
//   54  for 8 bit the 256-entry colour table;
//   then the rows, bottom-up, each padded with zero bytes to a multiple of 4.
// A 0 x 0 block has the headers and no rows.

// The size of the block for width x height pixels (each 0..65535) at 8 or 24 bits; 0 for anything
// else.
size_t ClipboardBmpBytes(int width, int height, int bitCount);

// Writes the block for `area` of an image into `out`, which holds ClipboardBmpBytes bytes for the
// area's size. `source` gives the image's depth (8 or 24), height and stride, `colours` its 256
// colours (read for 8 bit only). The area is normalised and lies inside the image; it may be empty.
void WriteClipboardBmp(uint8_t* out, const BITMAPINFOHEADER& source, const RGBQUAD* colours,
                       const uint8_t* bits, const RECT& area);

// Pixels given top row first, `rowBytes` apart, as a 24-bit image of the model: 32-bit words
// 0xAARRGGBB (straight alpha, in the machine's byte order) composited over white; with `keepAlpha`
// as a 32-bit image with the alpha as given (a fully transparent pixel all zero). On Ok stores a
// calloc'd 40-byte header and a calloc'd pixel block for the caller; otherwise allocates and stores
// nothing.
ImageStatus ImageFromArgbRows(const uint8_t* rows, ptrdiff_t rowBytes, int width, int height,
                              BITMAPINFOHEADER** header, uint8_t** bits, bool keepAlpha = false);

// One-byte colour indices given top row first, `rowBytes` apart, with a table of `entries` colours
// 0xAARRGGBB, as an 8-bit image of the model. The table's colours are composited over white; entries
// past the table are black, and so is every pixel whose index lies past it. Stores a 1064-byte header
// block and the pixel block as ImageFromArgbRows does. With `entryAlpha` the colours are kept as
// they are and their alphas stored through it: a malloc'd 256-byte block (entries past the table
// opaque), or null when every entry is opaque.
ImageStatus ImageFromIndexedRows(const uint8_t* rows, ptrdiff_t rowBytes, int width, int height,
                                 const uint32_t* table, int entries, BITMAPINFOHEADER** header,
                                 uint8_t** bits, uint8_t** entryAlpha = nullptr);
