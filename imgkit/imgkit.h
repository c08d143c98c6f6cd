// libimgkit.so: the codec library. Reads and writes image files in the program's image form
// (document/image_buffer.h). The program loads it per operation and looks the functions up by name;
// they use the C calling convention. The first eight read and write BMP, PCX, JPEG and PNG chosen
// by the caller; ImgkitReadImage and ImgkitWriteImage (below) handle every format, with
// transparency, frames and reasons for failures.
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

// --- Reading and writing by content -----------------------------------------------------------
//
// ImgkitReadImage decides the format from the file's first bytes, never from its name, and reads
// BMP, PCX, JPEG, PNG, GIF, TIFF, WebP, TGA, ICO and PNM files. The picture comes back bottom-up,
// in one of three forms:
//   - 8 bits per pixel: a 1064-byte header block with the 256-entry colour table after the 40
//     header bytes (`palette` points at it; entries the file does not have are black) and, when
//     some entry is not fully opaque, a 256-byte block `entryAlpha` with each entry's opacity
//     (255 opaque, 0 transparent);
//   - 24 bits per pixel: blue, green, red; a 40-byte header block, no palette;
//   - 32 bits per pixel: blue, green, red and straight alpha (255 opaque) when the file has an alpha
//     channel; a 40-byte header block, no palette.
// The header carries biSize 40, positive biWidth and biHeight, biPlanes 1, biCompression 0,
// biSizeImage = stride * height and the row stride in biXPelsPerMeter; rows are padded to 4 bytes
// with zeros. The caller releases every block with free. Of a file with several frames or pages
// the first is read. On failure no block is handed over: the picture's pointers are set to null.
//
// ImgkitWriteImage writes the picture in these forms (rows bottom-up, 8, 24 or 32 bits) in the
// format asked for, as its options say. The caller's blocks are only read. The file is written
// beside the target and renamed over it once complete and on disk, so a failed write leaves any old
// file as it was.
//
// Both report progress through `progress` (which may be null) in whole percentages from 0 to 100,
// on the calling thread; its result is ignored. Both return an IMGKIT_ status.

// Formats; the program's table of formats (document/file_types.h) uses the same numbers.
#define IMGKIT_FORMAT_UNKNOWN 0
#define IMGKIT_FORMAT_BMP 1
#define IMGKIT_FORMAT_PCX 2
#define IMGKIT_FORMAT_JPEG 3
#define IMGKIT_FORMAT_PNG 4
#define IMGKIT_FORMAT_GIF 5
#define IMGKIT_FORMAT_TIFF 6
#define IMGKIT_FORMAT_WEBP 7
#define IMGKIT_FORMAT_TGA 8
#define IMGKIT_FORMAT_ICO 9
#define IMGKIT_FORMAT_PNM 10

// Statuses.
#define IMGKIT_OK 0
#define IMGKIT_CANNOT_OPEN 1     // no such file, no permission, or not a regular file
#define IMGKIT_EMPTY 2           // the file has no bytes
#define IMGKIT_UNKNOWN_FORMAT 3  // the content is none of the formats
#define IMGKIT_DAMAGED 4         // the file is cut short or its data is invalid
#define IMGKIT_UNSUPPORTED 5     // a valid file of a kind the reader does not take
#define IMGKIT_TOO_LARGE 6       // beyond 65535 pixels a side or 1 GiB of pixels
#define IMGKIT_NO_MEMORY 7
#define IMGKIT_WRITE_FAILED 8  // the file could not be created or written (folder, disk, quota)
#define IMGKIT_BAD_IMAGE 9     // the image is not one the writer takes (form, size, format)

// Flags of ImgkitReadInfo.
#define IMGKIT_READ_REDUCED_DEPTH 1  // the file had more than 8 bits per channel; reduced to 8
#define IMGKIT_READ_GREY 2           // the file stores grey levels only (a 32-bit picture of greys)

typedef int (*ImgkitProgress)(void* context, int percent);

struct ImgkitPicture {
    BITMAPINFOHEADER* header;
    uint8_t* bits;
    RGBQUAD* palette;     // 8 bits: the table inside the header block; otherwise null
    uint8_t* entryAlpha;  // 8 bits: 256 opacities, or null when every entry is opaque
};

struct ImgkitReadInfo {
    int32_t format;  // what the content is (also on failure, when it was recognised)
    int32_t frames;  // frames or pages in the file, 1 for a single picture
    uint32_t flags;  // IMGKIT_READ_ flags
};

struct ImgkitWriteOptions {
    int32_t lossy;    // WebP: 1 lossy, 0 lossless (the default)
    int32_t quality;  // lossy WebP and JPEG: 1..100; 0 takes the format's default (90)
};

IMGKIT_EXPORT int ImgkitReadImage(const char* path, struct ImgkitPicture* picture,
                                  struct ImgkitReadInfo* info, ImgkitProgress progress, void* context);
IMGKIT_EXPORT int ImgkitWriteImage(const char* path, int format, const struct ImgkitWriteOptions* options,
                                   const struct ImgkitPicture* picture, ImgkitProgress progress,
                                   void* context);

}  // extern "C"

// Function types for looking the exports up with dlsym.
using ReadImageFn = BITMAPINFOHEADER* (*)(const char*, uint8_t**, RGBQUAD**);
using SaveImageFn = int (*)(const char*, const uint8_t*, BITMAPINFOHEADER, const RGBQUAD*);
using ImgkitReadFn = decltype(&ImgkitReadImage);
using ImgkitWriteFn = decltype(&ImgkitWriteImage);
