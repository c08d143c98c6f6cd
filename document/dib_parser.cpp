#include "document/dib_parser.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "document/little_endian.h"
#include "document/pixel_routines.h"
#include "document/translatable.h"

namespace {

constexpr int64_t kFileHeaderBytes = 14;

// Info header sizes.
constexpr uint32_t kCoreHeader = 12;  // OS/2 1.x: 16-bit width and height, 3-byte colour entries
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kV2Header = 52;  // + red, green and blue masks
constexpr uint32_t kV3Header = 56;  // + alpha mask
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

int32_t GetSigned32(const uint8_t* p) {
    return static_cast<int32_t>(Get32(p));
}

bool IsWindowsHeader(uint32_t size) {
    return size == kInfoHeader || size == kV2Header || size == kV3Header || size == kV4Header ||
           size == kV5Header;
}

// An OS/2 2.x header may stop after any of its fields: 16 to 64 bytes, ending on a field boundary.
// Sizes that a Windows header has are read as that header.
bool IsOs2Header(uint32_t size) {
    return (size >= 16 && size <= 36 && size % 4 == 0) || (size >= 42 && size <= 48 && size % 2 == 0) ||
           size == 60 || size == 64;
}

// What the info header says, before masks and colour table.
struct InfoHeader {
    uint32_t size = 0;
    bool windows = false;
    uint32_t compression = kRgb;
    uint32_t clrUsed = 0;
};

// The info header's own fields.
DibStatus ReadInfoHeader(const uint8_t* dib, int64_t available, InfoHeader* info, DibLayout* layout) {
    if (available < 4) return DibStatus::TooShort;
    const uint32_t size = Get32(dib);
    info->size = size;
    info->windows = IsWindowsHeader(size);
    const bool os2 = IsOs2Header(size);
    if (size != kCoreHeader && !info->windows && !os2) return DibStatus::BadHeaderSize;
    if (available < size) return DibStatus::TooShort;

    int64_t height = 0;
    int planes = 0;
    if (size == kCoreHeader) {
        layout->width = Get16(dib + 4);
        height = Get16(dib + 6);
        planes = Get16(dib + 8);
        layout->bitCount = Get16(dib + 10);
        layout->entryBytes = 3;
    } else {
        // The fields a short OS/2 2.x header leaves out count as zero.
        uint8_t fields[kInfoHeader] = {};
        std::memcpy(fields, dib, std::min<size_t>(size, kInfoHeader));
        layout->width = GetSigned32(fields + 4);
        height = GetSigned32(fields + 8);
        planes = Get16(fields + 12);
        layout->bitCount = Get16(fields + 14);
        info->compression = Get32(fields + 16);
        info->clrUsed = Get32(fields + 32);
    }
    layout->topDown = height < 0;
    layout->height = height < 0 ? -height : height;  // 64 bits: INT_MIN stays representable

    if (planes != 1) return DibStatus::BadPlanes;
    const uint32_t compression = info->compression;
    if (os2) {
        // The same run-length codes; 3 and 4 are Huffman 1D and RLE24 here.
        if (compression == kBitFields || compression == kJpeg) return DibStatus::Compressed;
        if (compression != kRgb && compression != kRle8 && compression != kRle4)
            return DibStatus::BadCompression;
    } else if (compression == kJpeg || compression == kPng) {
        return DibStatus::Embedded;
    } else if (compression > kAlphaBitFields) {
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
    switch (CheckImageSize(layout->width, layout->height, layout->OutBits())) {
        case ImageStatus::Ok:
            break;
        case ImageStatus::TooLarge:
            return DibStatus::TooLarge;
        default:
            return DibStatus::BadSize;
    }
    const int bits = layout->bitCount;
    layout->runLength = compression == kRle8 || compression == kRle4;
    const bool bitFields = compression == kBitFields || compression == kAlphaBitFields;
    const bool depthFits = compression == kRgb || (compression == kRle8 && bits == 8) ||
                           (compression == kRle4 && bits == 4) || (bitFields && (bits == 16 || bits == 32));
    // Run-length rows can only go bottom-up.
    if (!depthFits || (layout->runLength && layout->topDown)) return DibStatus::BadCompression;
    return DibStatus::Ok;
}

bool IsContiguous(uint32_t mask) {
    if (mask == 0) return true;
    const uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

// The red, green, blue and alpha masks of a 16- or 32-bit bitmap. Bit fields come from the header
// (52 bytes and more) or follow a 40-byte header; plain rows use 5-5-5 or 8-8-8, and a header with
// an alpha mask field may still name the unused top bits as alpha. `headerEnd` moves past masks that
// follow the header.
DibStatus ReadMasks(const uint8_t* dib, int64_t available, const InfoHeader& info, bool useAlpha,
                    DibLayout* layout, int64_t* headerEnd) {
    uint32_t* masks = layout->masks;
    if (info.compression == kRgb) {
        const bool sixteen = layout->bitCount == 16;
        masks[0] = sixteen ? 0x7C00 : 0xFF0000;
        masks[1] = sixteen ? 0x03E0 : 0x00FF00;
        masks[2] = sixteen ? 0x001F : 0x0000FF;
        const uint32_t alpha = useAlpha && info.windows && info.size >= kV3Header ? Get32(dib + 52) : 0;
        const uint32_t unused = ~(masks[0] | masks[1] | masks[2]) & (sixteen ? 0xFFFF : 0xFFFFFFFF);
        masks[3] = alpha != 0 && (alpha & ~unused) == 0 && IsContiguous(alpha) ? alpha : 0;
        return DibStatus::Ok;
    }
    const int count = info.compression == kAlphaBitFields ? 4 : 3;
    const int64_t end = kInfoHeader + 4 * count;
    if (end > *headerEnd) {
        if (available < end) return DibStatus::TooShort;
        *headerEnd = end;
    }
    for (int i = 0; i < 4; ++i)
        masks[i] = i < count || info.size >= kV3Header ? Get32(dib + 40 + 4 * i) : 0;
    if (!useAlpha) masks[3] = 0;
    const uint32_t valueBits = layout->bitCount == 16 ? 0xFFFF : 0xFFFFFFFF;
    if ((masks[0] | masks[1] | masks[2]) == 0) return DibStatus::BadMasks;
    for (uint32_t mask : layout->masks)
        if ((mask & ~valueBits) != 0 || !IsContiguous(mask)) return DibStatus::BadMasks;
    return DibStatus::Ok;
}

// Destination row for source row y: the output is always bottom-up.
int64_t DestRow(const DibLayout& layout, int64_t y) {
    return layout.topDown ? layout.height - 1 - y : y;
}

void ConvertIndexed(const DibLayout& layout, const uint8_t* src, int64_t first, int64_t count, uint8_t* dst,
                    int64_t dstStride) {
    const int bits = layout.bitCount;
    const unsigned valueMask = (1u << bits) - 1;
    for (int64_t y = first; y < first + count; ++y, src += layout.srcStride) {
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

void ConvertRgb24(const DibLayout& layout, const uint8_t* src, int64_t first, int64_t count, uint8_t* dst,
                  int64_t dstStride) {
    for (int64_t y = first; y < first + count; ++y, src += layout.srcStride)
        std::memcpy(dst + DestRow(layout, y) * dstStride, src, static_cast<size_t>(layout.width * 3));
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
    if constexpr (Bits == 16) return Get16(row + 2 * x);
    return Get32(row + 4 * x);
}

// What becomes of an alpha channel: nothing, a composition over white, or the fourth byte.
enum class Alpha { None, OverWhite, Keep };

template <int Bits, Alpha Mode>
void ConvertBitFieldRows(const DibLayout& layout, const uint8_t* src, int64_t first, int64_t count,
                         uint8_t* dst, int64_t dstStride) {
    const Channel channels[4] = {Channel(layout.masks[0]), Channel(layout.masks[1]), Channel(layout.masks[2]),
                                 Channel(layout.masks[3])};
    constexpr int kOutBytes = Mode == Alpha::Keep ? 4 : 3;
    for (int64_t y = first; y < first + count; ++y, src += layout.srcStride) {
        uint8_t* out = dst + DestRow(layout, y) * dstStride;
        for (int64_t x = 0; x < layout.width; ++x, out += kOutBytes) {
            const uint32_t pixel = ReadPixel<Bits>(src, x);
            uint8_t red = channels[0](pixel), green = channels[1](pixel), blue = channels[2](pixel);
            if constexpr (Mode == Alpha::OverWhite) {
                const int alpha = channels[3](pixel);
                red = OverWhite(red, alpha);
                green = OverWhite(green, alpha);
                blue = OverWhite(blue, alpha);
            }
            out[0] = blue;
            out[1] = green;
            out[2] = red;
            if constexpr (Mode == Alpha::Keep) out[3] = channels[3](pixel);
        }
    }
}

template <int Bits>
void ConvertBitFields(const DibLayout& layout, const uint8_t* src, int64_t first, int64_t count, uint8_t* dst,
                      int64_t dstStride) {
    if (layout.keepAlpha)
        ConvertBitFieldRows<Bits, Alpha::Keep>(layout, src, first, count, dst, dstStride);
    else if (layout.masks[3] != 0)
        ConvertBitFieldRows<Bits, Alpha::OverWhite>(layout, src, first, count, dst, dstStride);
    else
        ConvertBitFieldRows<Bits, Alpha::None>(layout, src, first, count, dst, dstStride);
}

// True when some pixel of the rows at `src` has a nonzero alpha value.
bool AnyAlpha(const DibLayout& layout, const uint8_t* src) {
    for (int64_t y = 0; y < layout.height; ++y, src += layout.srcStride) {
        for (int64_t x = 0; x < layout.width; ++x) {
            const uint32_t pixel = layout.bitCount == 16 ? ReadPixel<16>(src, x) : ReadPixel<32>(src, x);
            if ((pixel & layout.masks[3]) != 0) return true;
        }
    }
    return false;
}

}  // namespace

DibStatus ReadDibLayout(const uint8_t* data, int64_t available, int64_t length, DibSource source,
                        DibLayout* layout) {
    *layout = DibLayout();
    // A file header's pixel offset, or -1 for a packed bitmap.
    int64_t offBits = -1;
    int64_t base = 0;
    if (available >= 2 && data[0] == 'B' && data[1] == 'M') {
        if (available < kFileHeaderBytes) return DibStatus::TooShort;
        offBits = Get32(data + 10);
        base = kFileHeaderBytes;
    } else if (source != DibSource::Clipboard) {
        return DibStatus::NotBmpFile;
    }
    const uint8_t* dib = data + base;
    InfoHeader info;
    DibStatus status = ReadInfoHeader(dib, available - base, &info, layout);
    if (status != DibStatus::Ok) return status;
    int64_t headerEnd = info.size;
    if (layout->bitCount == 16 || layout->bitCount == 32) {
        status = ReadMasks(dib, available - base, info, source != DibSource::File, layout, &headerEnd);
        if (status != DibStatus::Ok) return status;
        layout->keepAlpha = source == DibSource::FileWithAlpha && layout->masks[3] != 0;
    }
    headerEnd += base;

    // The colour table: biClrUsed entries, or all 2^bitCount when it is 0. Deeper images may carry
    // an unused table of biClrUsed entries before their rows.
    layout->tableOffset = headerEnd;
    layout->tableEntries = info.clrUsed != 0       ? int64_t{info.clrUsed}
                           : layout->bitCount <= 8 ? 1 << layout->bitCount
                                                   : 0;
    int64_t tableEnd = headerEnd + layout->tableEntries * layout->entryBytes;
    layout->pixelOffset = tableEnd;
    // The file header's pixel offset wins when it lies past the headers and inside the bitmap; one
    // inside the colour table means the table is shorter than the header claims.
    if (offBits >= headerEnd && offBits <= length) {
        if (offBits < tableEnd) {
            layout->tableEntries = (offBits - headerEnd) / layout->entryBytes;
            tableEnd = headerEnd + layout->tableEntries * layout->entryBytes;
        }
        layout->pixelOffset = offBits;
    } else if (source != DibSource::Clipboard) {
        return DibStatus::BadPixelOffset;
    }
    if (tableEnd > length) return DibStatus::BadColourTable;
    if (layout->bitCount <= 8 && layout->tableEntries == 0) return DibStatus::BadColourTable;
    const int64_t usedEntries = std::min<int64_t>(layout->tableEntries, kPaletteEntries);
    if (layout->tableOffset + usedEntries * layout->entryBytes > available) return DibStatus::TooShort;
    if (layout->runLength) return DibStatus::Ok;

    // The rows: every row but the last must be complete with its padding; the last needs only its
    // pixels.
    const int64_t rowBits = layout->width * layout->bitCount;
    layout->srcStride = (rowBits + 31) / 32 * 4;
    layout->rowBytes = (rowBits + 7) / 8;
    const int64_t needed = (layout->height - 1) * layout->srcStride + layout->rowBytes;
    if (layout->pixelOffset > length || needed > length - layout->pixelOffset) return DibStatus::Truncated;
    return DibStatus::Ok;
}

void CopyDibColourTable(const uint8_t* data, const DibLayout& layout, RGBQUAD* palette) {
    const int64_t entries = std::min<int64_t>(layout.tableEntries, kPaletteEntries);
    const uint8_t* entry = data + layout.tableOffset;
    for (int64_t i = 0; i < kPaletteEntries; ++i, entry += layout.entryBytes)
        palette[i] = i < entries ? RGBQUAD{entry[0], entry[1], entry[2], 0} : RGBQUAD{0, 0, 0, 0};
}

void ConvertDibRows(const DibLayout& layout, const uint8_t* src, int64_t first, int64_t count, uint8_t* bits,
                    int64_t stride) {
    switch (layout.bitCount) {
        case 16:
            ConvertBitFields<16>(layout, src, first, count, bits, stride);
            break;
        case 24:
            ConvertRgb24(layout, src, first, count, bits, stride);
            break;
        case 32:
            ConvertBitFields<32>(layout, src, first, count, bits, stride);
            break;
        default:
            ConvertIndexed(layout, src, first, count, bits, stride);
            break;
    }
}

void DecodeDibRunLength(const DibLayout& layout, const uint8_t* data, int64_t size, uint8_t* bits,
                        int64_t stride) {
    const bool rle4 = layout.bitCount == 4;
    const int64_t width = layout.width;
    int64_t x = 0;
    int64_t y = 0;
    int64_t pos = 0;
    while (pos + 2 <= size && y < layout.height) {
        const int count = data[pos];
        const int value = data[pos + 1];
        pos += 2;
        uint8_t* row = bits + y * stride;
        if (count > 0) {  // a run of `count` pixels, two alternating indices for RLE4
            const int64_t end = std::min(width, x + count);
            if (rle4) {
                for (int64_t i = 0; x + i < end; ++i)
                    row[x + i] = static_cast<uint8_t>(i & 1 ? value & 15 : value >> 4);
            } else if (x < end) {
                std::memset(row + x, value, static_cast<size_t>(end - x));
            }
            x = end;
        } else if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta: right and up
            if (pos + 2 > size) break;
            x = std::min(width, x + data[pos]);
            y += data[pos + 1];
            pos += 2;
        } else {  // a literal run of `value` pixels, padded to an even number of bytes
            const int64_t bytes = rle4 ? (value + 1) / 2 : value;
            const int64_t present = std::min(bytes, size - pos);
            const int64_t pixels = std::min<int64_t>(value, rle4 ? 2 * present : present);
            for (int64_t i = 0; i < pixels && x + i < width; ++i) {
                const int byte = data[pos + (rle4 ? i / 2 : i)];
                row[x + i] = static_cast<uint8_t>(rle4 ? (i & 1 ? byte & 15 : byte >> 4) : byte);
            }
            x = std::min(width, x + value);
            pos += (bytes + 1) & ~int64_t{1};
        }
    }
}

DibStatus ParseDib(const uint8_t* data, size_t length, BITMAPINFOHEADER** header, uint8_t** bits) {
    if (!data) return DibStatus::TooShort;
    // A block beyond 2^62 bytes cannot exist; clamping keeps every comparison in signed 64 bits.
    const int64_t size = length > (size_t{1} << 62) ? int64_t{1} << 62 : static_cast<int64_t>(length);
    DibLayout layout;
    const DibStatus status = ReadDibLayout(data, size, size, DibSource::Clipboard, &layout);
    if (status != DibStatus::Ok) return status;
    const uint8_t* pixels = data + layout.pixelOffset;
    // Many programs write 0 into every alpha value of an opaque image: then alpha is ignored.
    if (layout.masks[3] != 0 && !AnyAlpha(layout, pixels)) layout.masks[3] = 0;

    const int outBits = layout.OutBits();
    BITMAPINFOHEADER* newHeader = nullptr;
    uint8_t* newBits = nullptr;
    // The size was already checked by ReadDibLayout; what can fail here is memory.
    const ImageStatus allocated = AllocateImage(layout.width, layout.height, outBits, &newHeader, &newBits);
    if (allocated == ImageStatus::NoMemory) return DibStatus::NoMemory;
    if (allocated != ImageStatus::Ok) return DibStatus::TooLarge;
    const int64_t stride = newHeader->biXPelsPerMeter;

    if (outBits == 8) CopyDibColourTable(data, layout, HeaderPalette(newHeader));
    if (layout.runLength)
        DecodeDibRunLength(layout, pixels, size - layout.pixelOffset, newBits, stride);
    else
        ConvertDibRows(layout, pixels, 0, layout.height, newBits, stride);
    *header = newHeader;
    *bits = newBits;
    return DibStatus::Ok;
}

const char* DibStatusText(DibStatus status) {
    switch (status) {
        case DibStatus::Ok:
            return QT_TRANSLATE_NOOP("DibStatus", "no error");
        case DibStatus::TooShort:
            return QT_TRANSLATE_NOOP("DibStatus", "the bitmap ends inside its header");
        case DibStatus::NotBmpFile:
            return QT_TRANSLATE_NOOP("DibStatus", "the file does not start with a bitmap file header");
        case DibStatus::BadHeaderSize:
            return QT_TRANSLATE_NOOP("DibStatus", "the bitmap header has an unknown size");
        case DibStatus::BadSize:
            return QT_TRANSLATE_NOOP("DibStatus", "the width and height must be between 1 and 65535 pixels");
        case DibStatus::TooLarge:
            return QT_TRANSLATE_NOOP("DibStatus", "the image would need more than 1 GiB of pixel memory");
        case DibStatus::BadPlanes:
            return QT_TRANSLATE_NOOP("DibStatus", "the bitmap's plane count is not 1");
        case DibStatus::BadBitCount:
            return QT_TRANSLATE_NOOP("DibStatus", "the bitmap has an unsupported number of bits per pixel");
        case DibStatus::Compressed:
            return QT_TRANSLATE_NOOP("DibStatus", "Huffman and RLE24 compressed bitmaps are not supported");
        case DibStatus::Embedded:
            return QT_TRANSLATE_NOOP("DibStatus", "bitmaps holding a JPEG or PNG image are not supported");
        case DibStatus::BadCompression:
            return QT_TRANSLATE_NOOP("DibStatus", "the bitmap's compression is unknown or does not suit its rows");
        case DibStatus::BadMasks:
            return QT_TRANSLATE_NOOP("DibStatus", "the bitmap's colour masks are invalid");
        case DibStatus::BadColourTable:
            return QT_TRANSLATE_NOOP("DibStatus", "the bitmap's colour table is missing or runs past its end");
        case DibStatus::BadPixelOffset:
            return QT_TRANSLATE_NOOP("DibStatus", "the bitmap's pixel offset lies outside the file");
        case DibStatus::Truncated:
            return QT_TRANSLATE_NOOP("DibStatus", "the bitmap's pixel rows are incomplete");
        case DibStatus::NoMemory:
            return QT_TRANSLATE_NOOP("DibStatus", "there is not enough memory");
    }
    return QT_TRANSLATE_NOOP("DibStatus", "unknown error");
}
