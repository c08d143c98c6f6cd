#include "document/dib_parser.h"

#include <bit>
#include <cstdlib>
#include <cstring>

#include "document/pixel_routines.h"

namespace {

constexpr size_t kFileHeaderBytes = 14;

// Info header sizes.
constexpr uint32_t kCoreHeader = 12;      // OS/2 1.x: 16-bit width and height, 3-byte colour entries
constexpr uint32_t kOs2ShortHeader = 16;  // OS/2 2.x with only the leading fields
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kV2Header = 52;   // + red, green and blue masks
constexpr uint32_t kV3Header = 56;   // + alpha mask
constexpr uint32_t kOs2Header = 64;  // OS/2 2.x: fields past 40 bytes are not masks
constexpr uint32_t kV4Header = 108;
constexpr uint32_t kV5Header = 124;

// Compression values.
constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;  // in an OS/2 2.x header: Huffman 1D
constexpr uint32_t kJpeg = 4;       // in an OS/2 2.x header: RLE24
constexpr uint32_t kPng = 5;
constexpr uint32_t kAlphaBitFields = 6;

uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t ReadU32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(ReadU32(p));
}

// Where everything lies in a packed bitmap, once every field has been checked against its length.
struct Layout {
    int64_t width = 0;
    int64_t height = 0;  // always positive
    bool topDown = false;
    int bitCount = 0;
    uint32_t masks[4] = {};  // red, green, blue, alpha; 16 and 32 bits only
    int64_t tableOffset = 0;
    int64_t tableEntries = 0;
    int entryBytes = 4;
    int64_t pixelOffset = 0;
    int64_t srcStride = 0;
};

// The info header's own fields, with the mask and colour table positions that follow from them.
DibStatus ReadInfoHeader(const uint8_t* dib, int64_t length, Layout* layout, uint32_t* compression,
                         int64_t* headerEnd, uint32_t* clrUsed) {
    if (length < 4) return DibStatus::TooShort;
    const uint32_t size = ReadU32(dib);
    switch (size) {
        case kCoreHeader:
        case kOs2ShortHeader:
        case kInfoHeader:
        case kV2Header:
        case kV3Header:
        case kOs2Header:
        case kV4Header:
        case kV5Header:
            break;
        default:
            return DibStatus::BadHeaderSize;
    }
    if (length < size) return DibStatus::TooShort;

    int64_t height = 0;
    int planes = 0;
    if (size == kCoreHeader) {
        layout->width = ReadU16(dib + 4);
        height = ReadU16(dib + 6);
        planes = ReadU16(dib + 8);
        layout->bitCount = ReadU16(dib + 10);
        layout->entryBytes = 3;
        *compression = kRgb;
        *clrUsed = 0;
    } else {
        layout->width = ReadI32(dib + 4);
        height = ReadI32(dib + 8);
        planes = ReadU16(dib + 12);
        layout->bitCount = ReadU16(dib + 14);
        *compression = size >= 20 ? ReadU32(dib + 16) : kRgb;
        *clrUsed = size >= 36 ? ReadU32(dib + 32) : 0;
    }
    layout->topDown = height < 0;
    layout->height = height < 0 ? -height : height;  // 64 bits: INT_MIN stays representable
    *headerEnd = size;

    if (planes != 1) return DibStatus::BadPlanes;
    const bool os2 = size == kOs2Header || size == kOs2ShortHeader;
    if (os2 && *compression != kRgb)
        return *compression <= 4 ? DibStatus::Compressed : DibStatus::BadCompression;
    switch (os2 ? kRgb : *compression) {
        case kRgb:
        case kBitFields:
        case kAlphaBitFields:
            break;
        case kRle8:
        case kRle4:
            return DibStatus::Compressed;
        case kJpeg:
        case kPng:
            return DibStatus::Embedded;
        default:
            return DibStatus::BadCompression;
    }
    switch (layout->bitCount) {
        case 1:
        case 2:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            return DibStatus::BadBitCount;
    }
    switch (CheckImageSize(layout->width, layout->height, layout->bitCount <= 8 ? 8 : 24)) {
        case ImageStatus::Ok:
            break;
        case ImageStatus::TooLarge:
            return DibStatus::TooLarge;
        default:
            return DibStatus::BadSize;
    }
    if (*compression != kRgb && layout->bitCount != 16 && layout->bitCount != 32)
        return DibStatus::BadCompression;
    return DibStatus::Ok;
}

bool IsContiguous(uint32_t mask) {
    if (mask == 0) return true;
    const uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

// The red, green, blue and alpha masks of a 16- or 32-bit bitmap. Bit fields come from the header
// (52 bytes and more) or follow a 40-byte header; plain rows use 5-5-5 or 8-8-8, and a header with
// an alpha mask field may still name the unused top bits as alpha.
DibStatus ReadMasks(const uint8_t* dib, int64_t length, uint32_t size, uint32_t compression, Layout* layout,
                    int64_t* headerEnd) {
    uint32_t* masks = layout->masks;
    const bool windowsHeader = size >= kInfoHeader && size != kOs2Header;
    if (compression == kRgb) {
        const bool sixteen = layout->bitCount == 16;
        masks[0] = sixteen ? 0x7C00 : 0xFF0000;
        masks[1] = sixteen ? 0x03E0 : 0x00FF00;
        masks[2] = sixteen ? 0x001F : 0x0000FF;
        const uint32_t alpha = windowsHeader && size >= kV3Header ? ReadU32(dib + 52) : 0;
        const uint32_t unused = ~(masks[0] | masks[1] | masks[2]) & (sixteen ? 0xFFFF : 0xFFFFFFFF);
        masks[3] = alpha != 0 && (alpha & ~unused) == 0 && IsContiguous(alpha) ? alpha : 0;
        return DibStatus::Ok;
    }
    const int count = compression == kAlphaBitFields ? 4 : 3;
    const int64_t end = kInfoHeader + 4 * count;
    if (end > *headerEnd) {
        if (length < end) return DibStatus::TooShort;
        *headerEnd = end;
    }
    for (int i = 0; i < 4; ++i)
        masks[i] = i < count || size >= kV3Header ? ReadU32(dib + 40 + 4 * i) : 0;
    const uint32_t valueBits = layout->bitCount == 16 ? 0xFFFF : 0xFFFFFFFF;
    if ((masks[0] | masks[1] | masks[2]) == 0) return DibStatus::BadMasks;
    for (uint32_t mask : layout->masks)
        if ((mask & ~valueBits) != 0 || !IsContiguous(mask)) return DibStatus::BadMasks;
    return DibStatus::Ok;
}

// Checks the whole packed bitmap at `dib`. `offBits` is the file header's pixel offset relative to
// `dib`, or -1 for a packed bitmap without a file header.
DibStatus ReadLayout(const uint8_t* dib, int64_t length, int64_t offBits, Layout* layout) {
    uint32_t compression = kRgb;
    uint32_t clrUsed = 0;
    int64_t headerEnd = 0;
    DibStatus status = ReadInfoHeader(dib, length, layout, &compression, &headerEnd, &clrUsed);
    if (status != DibStatus::Ok) return status;
    if (layout->bitCount == 16 || layout->bitCount == 32) {
        status = ReadMasks(dib, length, ReadU32(dib), compression, layout, &headerEnd);
        if (status != DibStatus::Ok) return status;
    }

    // The colour table: biClrUsed entries, or all 2^bitCount when it is 0. Deeper images may carry
    // an unused table of biClrUsed entries before their rows.
    layout->tableOffset = headerEnd;
    layout->tableEntries = clrUsed != 0            ? int64_t{clrUsed}
                           : layout->bitCount <= 8 ? 1 << layout->bitCount
                                                   : 0;
    int64_t tableEnd = headerEnd + layout->tableEntries * layout->entryBytes;
    layout->pixelOffset = tableEnd;
    // A file header's pixel offset wins when it lies past the headers and inside the block; one
    // inside the colour table means the table is shorter than the header claims.
    if (offBits >= headerEnd && offBits <= length) {
        if (offBits < tableEnd) {
            layout->tableEntries = (offBits - headerEnd) / layout->entryBytes;
            tableEnd = headerEnd + layout->tableEntries * layout->entryBytes;
        }
        layout->pixelOffset = offBits;
    }
    if (tableEnd > length) return DibStatus::BadColourTable;

    // The rows: every row but the last must be complete with its padding; the last needs only its
    // pixels.
    const int64_t rowBits = layout->width * layout->bitCount;
    layout->srcStride = (rowBits + 31) / 32 * 4;
    const int64_t needed = (layout->height - 1) * layout->srcStride + (rowBits + 7) / 8;
    if (layout->pixelOffset > length || needed > length - layout->pixelOffset) return DibStatus::Truncated;
    return DibStatus::Ok;
}

// Destination row for source row y: the output is always bottom-up.
int64_t DestRow(const Layout& layout, int64_t y) {
    return layout.topDown ? layout.height - 1 - y : y;
}

void ConvertIndexed(const uint8_t* pixels, const Layout& layout, uint8_t* dst, int64_t dstStride) {
    const int bits = layout.bitCount;
    const unsigned valueMask = (1u << bits) - 1;
    for (int64_t y = 0; y < layout.height; ++y) {
        const uint8_t* src = pixels + y * layout.srcStride;
        uint8_t* out = dst + DestRow(layout, y) * dstStride;
        if (bits == 8) {
            std::memcpy(out, src, static_cast<size_t>(layout.width));
            continue;
        }
        for (int64_t x = 0; x < layout.width; ++x) {
            const int64_t bit = x * bits;
            const int shift = 8 - bits - static_cast<int>(bit & 7);
            out[x] = static_cast<uint8_t>((src[bit >> 3] >> shift) & valueMask);
        }
    }
}

void ConvertRgb24(const uint8_t* pixels, const Layout& layout, uint8_t* dst, int64_t dstStride) {
    for (int64_t y = 0; y < layout.height; ++y)
        std::memcpy(dst + DestRow(layout, y) * dstStride, pixels + y * layout.srcStride,
                    static_cast<size_t>(layout.width * 3));
}

// One channel of a bit-field pixel, its bits scaled to 0..255 with rounding so that all ones gives
// 255: through a table up to 8 bits, by arithmetic for wider channels.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t top = 0;  // the channel's largest value; 0 for a missing channel
    uint8_t scale[256] = {};

    explicit Channel(uint32_t m) : mask(m) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        top = mask >> shift;
        for (uint32_t v = 0; v <= top && v < 256; ++v)
            scale[v] = static_cast<uint8_t>((v * 255 + top / 2) / top);
    }
    uint8_t operator()(uint32_t pixel) const {
        const uint32_t v = (pixel & mask) >> shift;
        if (top < 256) return scale[v];
        return static_cast<uint8_t>((uint64_t{v} * 255 + top / 2) / top);
    }
};

template <int Bits>
uint32_t ReadPixel(const uint8_t* row, int64_t x) {
    if constexpr (Bits == 16) return ReadU16(row + 2 * x);
    return ReadU32(row + 4 * x);
}

template <int Bits, bool UseAlpha>
void ConvertBitFieldRows(const uint8_t* pixels, const Layout& layout, const Channel (&channels)[4],
                         uint8_t* dst, int64_t dstStride) {
    for (int64_t y = 0; y < layout.height; ++y) {
        const uint8_t* src = pixels + y * layout.srcStride;
        uint8_t* out = dst + DestRow(layout, y) * dstStride;
        for (int64_t x = 0; x < layout.width; ++x, out += 3) {
            const uint32_t pixel = ReadPixel<Bits>(src, x);
            uint8_t red = channels[0](pixel), green = channels[1](pixel), blue = channels[2](pixel);
            if constexpr (UseAlpha) {
                const int alpha = channels[3](pixel);
                red = OverWhite(red, alpha);
                green = OverWhite(green, alpha);
                blue = OverWhite(blue, alpha);
            }
            out[0] = blue;
            out[1] = green;
            out[2] = red;
        }
    }
}

template <int Bits>
void ConvertBitFields(const uint8_t* pixels, const Layout& layout, uint8_t* dst, int64_t dstStride) {
    const Channel channels[4] = {Channel(layout.masks[0]), Channel(layout.masks[1]), Channel(layout.masks[2]),
                                 Channel(layout.masks[3])};
    // Many programs write 0 into every alpha value of an opaque image: then alpha is ignored.
    bool useAlpha = false;
    for (int64_t y = 0; y < layout.height && layout.masks[3] != 0 && !useAlpha; ++y) {
        const uint8_t* src = pixels + y * layout.srcStride;
        for (int64_t x = 0; x < layout.width && !useAlpha; ++x)
            useAlpha = (ReadPixel<Bits>(src, x) & layout.masks[3]) != 0;
    }
    if (useAlpha)
        ConvertBitFieldRows<Bits, true>(pixels, layout, channels, dst, dstStride);
    else
        ConvertBitFieldRows<Bits, false>(pixels, layout, channels, dst, dstStride);
}

DibStatus Convert(const uint8_t* dib, const Layout& layout, BITMAPINFOHEADER** header, uint8_t** bits) {
    const int outBits = layout.bitCount <= 8 ? 8 : 24;
    int64_t stride = 0;
    int64_t blockBytes = 0;
    // Already checked by ReadInfoHeader; this gives the stride and the block size.
    if (CheckImageSize(layout.width, layout.height, outBits, &stride, &blockBytes) != ImageStatus::Ok)
        return DibStatus::TooLarge;

    const size_t headerBytes = outBits == 8 ? kHeaderBlockBytes8 : kHeaderBytes;
    auto* newHeader = static_cast<BITMAPINFOHEADER*>(std::calloc(1, headerBytes));
    auto* newBits = static_cast<uint8_t*>(std::calloc(1, static_cast<size_t>(blockBytes)));
    if (!newHeader || !newBits) {
        std::free(newHeader);
        std::free(newBits);
        return DibStatus::NoMemory;
    }
    newHeader->biSize = kHeaderBytes;
    newHeader->biWidth = static_cast<int32_t>(layout.width);
    newHeader->biHeight = static_cast<int32_t>(layout.height);
    newHeader->biPlanes = 1;
    newHeader->biBitCount = static_cast<uint16_t>(outBits);
    newHeader->biCompression = 0;
    newHeader->biSizeImage = static_cast<uint32_t>(blockBytes);
    newHeader->biXPelsPerMeter = static_cast<int32_t>(stride);
    newHeader->biYPelsPerMeter = 0;
    newHeader->biClrUsed = newHeader->biClrImportant = outBits == 8 ? kPaletteEntries : 0;

    const uint8_t* pixels = dib + layout.pixelOffset;
    if (outBits == 8) {
        // Entries past a short table stay zero; the reserved byte is always zero.
        RGBQUAD* palette = HeaderPalette(newHeader);
        const int64_t entries = layout.tableEntries < kPaletteEntries ? layout.tableEntries : kPaletteEntries;
        for (int64_t i = 0; i < entries; ++i) {
            const uint8_t* entry = dib + layout.tableOffset + i * layout.entryBytes;
            palette[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};
        }
        ConvertIndexed(pixels, layout, newBits, stride);
    } else if (layout.bitCount == 24) {
        ConvertRgb24(pixels, layout, newBits, stride);
    } else if (layout.bitCount == 16) {
        ConvertBitFields<16>(pixels, layout, newBits, stride);
    } else {
        ConvertBitFields<32>(pixels, layout, newBits, stride);
    }
    *header = newHeader;
    *bits = newBits;
    return DibStatus::Ok;
}

}  // namespace

DibStatus ParseDib(const uint8_t* data, size_t length, BITMAPINFOHEADER** header, uint8_t** bits) {
    if (!data) return DibStatus::TooShort;
    int64_t offBits = -1;
    if (length >= 2 && data[0] == 'B' && data[1] == 'M') {
        if (length < kFileHeaderBytes) return DibStatus::TooShort;
        offBits = int64_t{ReadU32(data + 10)} - int64_t{kFileHeaderBytes};
        data += kFileHeaderBytes;
        length -= kFileHeaderBytes;
    }
    // A block beyond 2^62 bytes cannot exist; clamping keeps every comparison in signed 64 bits.
    const int64_t available = length > (size_t{1} << 62) ? int64_t{1} << 62 : static_cast<int64_t>(length);
    Layout layout;
    const DibStatus status = ReadLayout(data, available, offBits, &layout);
    if (status != DibStatus::Ok) return status;
    return Convert(data, layout, header, bits);
}

const char* DibStatusText(DibStatus status) {
    switch (status) {
        case DibStatus::Ok:
            return "no error";
        case DibStatus::TooShort:
            return "the bitmap ends inside its header";
        case DibStatus::BadHeaderSize:
            return "the bitmap header has an unknown size";
        case DibStatus::BadSize:
            return "the width and height must be between 1 and 65535 pixels";
        case DibStatus::TooLarge:
            return "the image would need more than 1 GiB of pixel memory";
        case DibStatus::BadPlanes:
            return "the bitmap's plane count is not 1";
        case DibStatus::BadBitCount:
            return "the bitmap has an unsupported number of bits per pixel";
        case DibStatus::Compressed:
            return "compressed bitmaps are not supported";
        case DibStatus::Embedded:
            return "bitmaps holding a JPEG or PNG image are not supported";
        case DibStatus::BadCompression:
            return "the bitmap uses an unknown compression";
        case DibStatus::BadMasks:
            return "the bitmap's colour masks are invalid";
        case DibStatus::BadColourTable:
            return "the colour table runs past the end of the bitmap";
        case DibStatus::Truncated:
            return "the bitmap's pixel rows are incomplete";
        case DibStatus::NoMemory:
            return "there is not enough memory";
    }
    return "unknown error";
}
