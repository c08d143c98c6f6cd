// The in-memory image: a 40-byte bitmap header, a 256-entry palette and a block of pixel rows.
//
// Rows are stored bottom-up, each padded to a multiple of 4 bytes. Everywhere in the program the
// header's biXPelsPerMeter holds the row stride in bytes, not a resolution. An 8-bit image keeps
// its palette right after the header in one 1064-byte block; a 24-bit image keeps a palette of
// painting colours in a 1024-byte block of its own. Every block is calloc'd and released with
// free, so blocks can change owner between the program and the codec and colour-reduction
// libraries.
//
// This header and the pixel routines use only the standard library.
#pragma once

#include <cstddef>
#include <cstdint>

struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;  // row stride in bytes
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(offsetof(BITMAPINFOHEADER, biWidth) == 4);
static_assert(offsetof(BITMAPINFOHEADER, biHeight) == 8);
static_assert(offsetof(BITMAPINFOHEADER, biPlanes) == 12);
static_assert(offsetof(BITMAPINFOHEADER, biBitCount) == 14);
static_assert(offsetof(BITMAPINFOHEADER, biCompression) == 16);
static_assert(offsetof(BITMAPINFOHEADER, biSizeImage) == 20);
static_assert(offsetof(BITMAPINFOHEADER, biXPelsPerMeter) == 24);
static_assert(offsetof(BITMAPINFOHEADER, biYPelsPerMeter) == 28);
static_assert(offsetof(BITMAPINFOHEADER, biClrUsed) == 32);
static_assert(offsetof(BITMAPINFOHEADER, biClrImportant) == 36);

struct RGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};

static_assert(sizeof(RGBQUAD) == 4);

// left, top, right, bottom; right and bottom are exclusive.
struct RECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

static_assert(sizeof(RECT) == 16);

constexpr int kPaletteEntries = 256;
constexpr size_t kPaletteBytes = 1024;
constexpr size_t kHeaderBytes = 40;
constexpr size_t kHeaderBlockBytes8 = kHeaderBytes + kPaletteBytes;  // 1064

// Limits of the image model: every image the program holds fits them.
constexpr int64_t kMaxImageDimension = 65535;
constexpr int64_t kMaxPixelBlockBytes = int64_t{1} << 30;  // 1 GiB

// Bytes from one row to the next: ((width * bytesPerPixel + 3) div 4) * 4.
constexpr int64_t RowStride(int64_t width, int bitCount) {
    return (width * (bitCount / 8) + 3) / 4 * 4;
}

enum class ImageStatus {
    Ok,
    BadDepth,  // neither 8 nor 24 bits per pixel
    BadSize,   // width or height outside 1..65535
    TooLarge,  // the pixel block would exceed 1 GiB
    NoMemory,
};

// Checks a width, height and depth against the model's limits, in 64 bits. On Ok stores the row
// stride and the size of the pixel block (stride * height) where asked. Besides 8 and 24 bits, 32
// (blue, green, red and alpha) is the 24-bit depth with transparency, as the codec library reads it.
ImageStatus CheckImageSize(int64_t width, int64_t height, int bitCount, int64_t* stride = nullptr,
                           int64_t* blockBytes = nullptr);

// A short English reason for a status other than Ok, for messages shown to the user.
const char* ImageStatusText(ImageStatus status);

// The default palette: a 6 x 6 x 6 colour cube in steps of 42 (entries 0-215), then 40 greys in
// steps of 6 (216-255). MakeDefaultPalette returns a calloc'd 1024-byte block the caller frees,
// or null when memory is short.
void FillDefaultPalette(RGBQUAD* palette);
RGBQUAD* MakeDefaultPalette();

// Transparency. A 32-bit image holds blue, green, red and alpha per pixel: straight alpha, 255
// opaque, 0 transparent; the program makes every transparent pixel it writes all zero bytes. An
// 8-bit image may have an opacity per palette entry (`entryAlpha`, 256 bytes, 255 opaque), or null
// when every entry is opaque. To the user a 32-bit image is still a 24-bit ("16 Million") one.
constexpr int kOpaque = 255;

// True when an 8-bit image with this entry alpha block (which may be null) has no entry that is
// less than opaque.
bool EntriesOpaque(const uint8_t* entryAlpha);
// The first fully transparent entry, or -1 (also for a null block).
int TransparentEntry(const uint8_t* entryAlpha);
// The opacity of entry `index`: 255 for a null block.
inline uint8_t EntryAlpha(const uint8_t* entryAlpha, int index) {
    return entryAlpha ? entryAlpha[index & 0xFF] : uint8_t{kOpaque};
}
// A calloc'd copy of a 256-byte entry alpha block, or null for a null or all-opaque one. False
// when memory is short (nothing is stored then).
bool CopyEntryAlpha(const uint8_t* entryAlpha, uint8_t** copy);

// The colour table that follows the 40 header bytes of an 8-bit header block.
inline RGBQUAD* HeaderPalette(BITMAPINFOHEADER* header) {
    return reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(header) + kHeaderBytes);
}
inline const RGBQUAD* HeaderPalette(const BITMAPINFOHEADER* header) {
    return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(header) + kHeaderBytes);
}

// A palette entry as the 24-bit colour word 0x00RRGGBB the pixel routines take.
constexpr uint32_t PaletteColour(const RGBQUAD& entry) {
    return uint32_t{entry.rgbBlue} | uint32_t{entry.rgbGreen} << 8 | uint32_t{entry.rgbRed} << 16;
}

enum ImageType {
    kImage8Bit = 0,   // "256 Colors (8 Bit)"
    kImage24Bit = 1,  // "16 Million (24 Bit)"
};

// Allocates the blocks of a width x height image of 8, 24 or 32 bits: a zeroed header block (1064
// bytes, with room for the colour table, for 8 bit; 40 otherwise) with every header field filled in for the
// model, and zeroed rows. Every block of an image the program makes comes from here. With a null
// `header` only the rows are made, for an operation that keeps its header block. On any status but
// Ok nothing is allocated and the pointers are left as they were.
ImageStatus AllocateImage(int64_t width, int64_t height, int bitCount, BITMAPINFOHEADER** header,
                          uint8_t** bits);

// A zeroed header block for a width x height image of `bitCount` bits (1064 bytes, with room for
// the colour table, for 8 bit; 40 otherwise) with every header field filled in for the model; null
// when memory is short. The caller has checked the size.
BITMAPINFOHEADER* MakeHeaderBlock(int64_t width, int64_t height, int bitCount);

// Makes a blank image of the given type: the header block (1064 bytes with the default palette for
// 8 bit, 40 bytes for 24 bit), the palette (inside the header block for 8 bit, a block of its own
// for 24 bit) and zero-filled rows. On any status but Ok nothing is allocated and the three
// pointers are left as they were.
ImageStatus CreateBlankImage(int width, int height, int type, BITMAPINFOHEADER** header, RGBQUAD** palette,
                             uint8_t** bits);

// True when a header describes an image of the model: 8, 24 or 32 bits, uncompressed, positive size
// within the limits, and the stride in biXPelsPerMeter matching the width.
bool IsModelHeader(const BITMAPINFOHEADER& header);
