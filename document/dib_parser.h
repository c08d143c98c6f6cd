// Reads a device-independent bitmap that another program placed on the clipboard into the form of
// the image model.
//
// The input is either a packed bitmap (an info header, optional bit-field masks, a colour table and
// the rows) or a whole BMP file image (the 14-byte file header starting with "BM", then the packed
// bitmap, with the pixels at the file header's offset). Accepted: 12-byte OS/2 core headers, OS/2
// 2.x headers, 40-byte info headers and their 52/56-byte, V4 (108) and V5 (124) extensions; 1, 2, 4,
// 8, 16, 24 and 32 bits per pixel; short colour tables; bit fields; top-down rows. Compressed rows
// and embedded JPEG or PNG images are refused.
//
// The result follows every rule of the model: 1- to 8-bit sources give an 8-bit image whose header
// block holds the full 256-entry colour table (entries the source did not have are zero, so an
// index past a short table reads as black); 16- to 32-bit sources give a 24-bit image. Rows are
// bottom-up, padded to the row rule with zero bytes, and the stride is in biXPelsPerMeter. A 32-bit
// source with an alpha channel is composited over white unless every alpha value is 0, which many
// programs write for opaque images.
//
// Every size, offset and count of the input is checked against its length before it is used, in
// 64-bit arithmetic; width and height must lie in 1..65535 and the pixel block may not exceed the
// model's limit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/image_buffer.h"

enum class DibStatus {
    Ok,
    TooShort,        // the block ends inside the file header, the info header or the masks
    BadHeaderSize,   // an info header size no known writer uses
    BadSize,         // width or height outside 1..65535
    TooLarge,        // the pixel block would exceed the model's limit
    BadPlanes,       // a plane count other than 1
    BadBitCount,     // a pixel depth other than 1, 2, 4, 8, 16, 24 or 32
    Compressed,      // run-length or Huffman coded rows
    Embedded,        // a JPEG or PNG image inside the bitmap
    BadCompression,  // an unknown compression, or bit fields on a depth without them
    BadMasks,        // a bit-field mask whose bits are not contiguous
    BadColourTable,  // the colour table runs past the end of the block
    Truncated,       // the rows run past the end of the block
    NoMemory,
};

// Parses `length` bytes at `data`. On Ok stores a calloc'd header block (1064 bytes for 8 bit, 40
// for 24 bit) and a calloc'd pixel block of biSizeImage bytes, both for the caller to free. On any
// other status stores nothing and allocates nothing.
DibStatus ParseDib(const uint8_t* data, size_t length, BITMAPINFOHEADER** header, uint8_t** bits);

// A short English reason for a status, for messages shown to the user.
const char* DibStatusText(DibStatus status);
