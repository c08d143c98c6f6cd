// libimgkit.so: the codec library. Reads and writes BMP, PCX, JPEG and PNG files in the program's
// image form (document/image_buffer.h). The program loads it per operation and looks the eight
// functions up by name; they use the C calling convention.
//
// Readers. Each returns a calloc'd header block and stores a calloc'd block of rows through `bits`:
//   - 8 bits per pixel: a 1064-byte header block whose 256-entry colour table follows the 40 header
//     bytes (unused entries are zero); the table's address is stored through `palette`;
//   - 24 bits per pixel (blue, green, red): a 40-byte header block; null is stored through `palette`.
// The header carries biSize 40, positive biWidth and biHeight, biPlanes 1, biCompression 0,
// biSizeImage = stride * height and the row stride in biXPelsPerMeter. Rows are padded to 4 bytes
// with zeros. ReadBMP and ReadPNG deliver them bottom-up, LoadPCX and ReadJpeg top-down. The caller releases
// every block with free. On any failure a reader returns null, stores nothing and keeps nothing.
//
// Writers take bottom-up rows, the header as the program holds it (8 or 24 bits, stride in
// biXPelsPerMeter) and the image's palette (needed for 8 bits; ignored by SaveBitmap, SavePCX and
// SavePNG at 24 bits). They return 1 when the whole file has been written and 0 otherwise. A new file is
// written beside the target and only renamed over it once it is complete and on disk, so a failed
// save leaves the old file as it was.
#pragma once

#include <stdint.h>

#include "document/image_buffer.h"

#if defined(__GNUC__)
#define IMGKIT_EXPORT __attribute__((visibility("default")))
#else
#define IMGKIT_EXPORT
#endif

extern "C" {

IMGKIT_EXPORT BITMAPINFOHEADER* ReadBMP(const char* path, uint8_t** bits, RGBQUAD** palette);
IMGKIT_EXPORT BITMAPINFOHEADER* LoadPCX(const char* path, uint8_t** bits, RGBQUAD** palette);
IMGKIT_EXPORT BITMAPINFOHEADER* ReadJpeg(const char* path, uint8_t** bits, RGBQUAD** palette);
IMGKIT_EXPORT BITMAPINFOHEADER* ReadPNG(const char* path, uint8_t** bits, RGBQUAD** palette);

IMGKIT_EXPORT int SaveBitmap(const char* path, const uint8_t* bits, BITMAPINFOHEADER header,
                             const RGBQUAD* palette);
IMGKIT_EXPORT int SavePCX(const char* path, const uint8_t* bits, BITMAPINFOHEADER header,
                          const RGBQUAD* palette);
IMGKIT_EXPORT int SaveJpeg(const char* path, const uint8_t* bits, BITMAPINFOHEADER header,
                           const RGBQUAD* palette);
IMGKIT_EXPORT int SavePNG(const char* path, const uint8_t* bits, BITMAPINFOHEADER header,
                          const RGBQUAD* palette);

}  // extern "C"

// Function types for looking the exports up with dlsym.
using ReadImageFn = BITMAPINFOHEADER* (*)(const char*, uint8_t**, RGBQUAD**);
using SaveImageFn = int (*)(const char*, const uint8_t*, BITMAPINFOHEADER, const RGBQUAD*);
