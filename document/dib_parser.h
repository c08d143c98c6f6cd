// Reads device-independent bitmaps into the form of the image model: the bitmaps another program
// placed on the clipboard (ParseDib) and, through the codec library, BMP files.
//
// The input is either a packed bitmap (an info header, optional bit-field masks, a colour table and
// the rows) or a whole BMP file image (the 14-byte file header starting with "BM", then the packed
// bitmap, with the pixels at the file header's offset). Accepted: 12-byte OS/2 core headers, OS/2
// 2.x headers of 16 to 64 bytes that end after a whole field, 40-byte info headers and their
// 52/56-byte, V4 (108) and V5 (124) extensions; 1, 2, 4, 8, 16, 24 and 32 bits per pixel; short
// colour tables; bit fields; top-down rows; RLE8 and RLE4 rows. OS/2 Huffman and RLE24 rows and
// embedded JPEG or PNG images are refused.
//
// The result follows every rule of the model: 1- to 8-bit sources give an 8-bit image whose header
// block holds the full 256-entry colour table (entries the source did not have are zero, so an
// index past a short table reads as black); 16- to 32-bit sources give a 24-bit image. Rows are
// bottom-up, padded to the row rule with zero bytes, and the stride is in biXPelsPerMeter.
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
    NotBmpFile,      // a file that does not start with a bitmap file header
    BadHeaderSize,   // an info header size no known writer uses
    BadSize,         // width or height outside 1..65535
    TooLarge,        // the pixel block would exceed the model's limit
    BadPlanes,       // a plane count other than 1
    BadBitCount,     // a pixel depth other than 1, 2, 4, 8, 16, 24 or 32
    Compressed,      // OS/2 Huffman or RLE24 coded rows
    Embedded,        // a JPEG or PNG image inside the bitmap
    BadCompression,  // an unknown compression, one the depth cannot have, or top-down run-length rows
    BadMasks,        // a bit-field mask whose bits are not contiguous
    BadColourTable,  // the colour table runs past the end of the block, or indices have no colours
    BadPixelOffset,  // a file whose pixel offset lies inside its headers or past its end
    Truncated,       // the rows run past the end of the block
    NoMemory,
};

// Where a bitmap comes from. The two differ where a damaged or unusual bitmap can be read either way.
enum class DibSource {
    // A clipboard block: a packed bitmap or a BMP file image. A file header's pixel offset that lies
    // inside the headers or past the end is ignored and the rows are taken to follow the colour
    // table. An alpha channel is composited over white unless every alpha value is 0, which many
    // programs write for opaque images.
    Clipboard,
    // A BMP file: it must start with the file header, and its pixel offset must lie between the
    // headers and the end of the file. An alpha channel is ignored: the colours are read as stored.
    File,
    // A BMP file as above whose alpha channel (a mask in the header) is kept: a 32-bit image.
    FileWithAlpha,
};

// Where everything lies in a bitmap, once every field has been checked. Offsets count from the
// first byte given to ReadDibLayout (the "B" of a file header when there is one).
struct DibLayout {
    int64_t width = 0;
    int64_t height = 0;  // always positive
    bool topDown = false;
    int bitCount = 0;         // of the source: 1, 2, 4, 8, 16, 24 or 32
    bool runLength = false;   // RLE8 (8 bits) or RLE4 (4 bits) rows, always bottom-up
    uint32_t masks[4] = {};   // red, green, blue, alpha of 16- and 32-bit pixels; alpha 0: none
    int64_t tableOffset = 0;  // the colour table
    int64_t tableEntries = 0;
    int entryBytes = 4;
    int64_t pixelOffset = 0;  // the rows, or the run-length data up to the end of the bitmap
    int64_t srcStride = 0;    // uncompressed rows: bytes from one row to the next
    int64_t rowBytes = 0;     // uncompressed rows: the bytes of one row's pixels, without padding
    bool keepAlpha = false;   // the alpha channel becomes the fourth byte of 32-bit pixels

    // The depth of the image in the model: 8, 24, or 32 with a kept alpha channel.
    int OutBits() const { return bitCount <= 8 ? 8 : keepAlpha ? 32 : 24; }
};

// Bytes at the start of a BMP file that always hold the file header, the info header with its
// masks and the part of the colour table the image can use.
constexpr size_t kDibHeadBytes = 14 + 124 + 4 * kPaletteEntries;

// Checks a bitmap of `length` bytes whose first `available` bytes (at least kDibHeadBytes when the
// bitmap is longer) lie at `data`, and describes it. For uncompressed rows it checks that every row
// but the last is complete with its padding and that the last has its pixels. Reads nothing past
// `available`.
DibStatus ReadDibLayout(const uint8_t* data, int64_t available, int64_t length, DibSource source,
                        DibLayout* layout);

// Fills the 256 entries of `palette` from the bitmap's colour table at `data` (the same bytes
// ReadDibLayout saw); entries past the table and every reserved byte are zero.
void CopyDibColourTable(const uint8_t* data, const DibLayout& layout, RGBQUAD* palette);

// Converts `count` uncompressed rows of the bitmap, starting at its row `first` in stored order,
// from `src` (that row's first byte) into the model's rows at `bits`, `stride` apart: indices for
// 8 bits, blue, green, red for 24, and alpha after them for 32. The padding of the model's rows is
// left as it is.
void ConvertDibRows(const DibLayout& layout, const uint8_t* src, int64_t first, int64_t count, uint8_t* bits,
                    int64_t stride);

// Decodes `size` bytes of RLE8 or RLE4 data into a zero-filled 8-bit block at `bits`. Runs past the
// right edge are clipped; pixels skipped by a delta or never reached because the data ends early
// keep index 0.
void DecodeDibRunLength(const DibLayout& layout, const uint8_t* data, int64_t size, uint8_t* bits,
                        int64_t stride);

// Parses a clipboard block of `length` bytes at `data`. On Ok stores a calloc'd header block (1064
// bytes for 8 bit, 40 for 24 bit) and a calloc'd pixel block of biSizeImage bytes, both for the
// caller to free. On any other status stores nothing and allocates nothing.
DibStatus ParseDib(const uint8_t* data, size_t length, BITMAPINFOHEADER** header, uint8_t** bits);

// A short English reason for a status, for messages shown to the user.
const char* DibStatusText(DibStatus status);
