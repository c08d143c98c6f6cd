// BMP: ReadBMP and SaveBitmap.
//
// Read: the 12-byte OS/2 1.x header, OS/2 2.x headers of 16 to 64 bytes, and the Windows headers of
// 40, 52, 56, 108 and 124 bytes; 1, 2, 4 and 8 bits with any number of palette entries, RLE8 and
// RLE4, 16 and 32 bits with or without bit fields, 24 bits; bottom-up and top-down. Up to 8 bits the
// result is an 8-bit image with the file's palette padded to 256 entries; above, a 24-bit image.
// Embedded JPEG or PNG, OS/2 Huffman and RLE24 and 64-bit pixels are refused.
//
// Written: uncompressed 8 bits with 256 palette entries or 24 bits, bottom-up, 40-byte header.
#include <algorithm>
#include <cstring>

#include "document/pixel_routines.h"
#include "imgkit/codec_io.h"
#include "imgkit/imgkit.h"

namespace imgkit {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;

constexpr int64_t kFileHeaderBytes = 14;
constexpr int64_t kCoreHeaderBytes = 12;
constexpr int64_t kInfoHeaderBytes = 40;
// File header, the largest info header, four masks and a full palette: all that precedes the pixels.
constexpr size_t kHeadBytes = kFileHeaderBytes + 124 + 16 + kPaletteBytes;
// Resolution written to files: 72 dots per inch.
constexpr uint32_t kPixelsPerMetre = 2835;

// One colour channel of a 16- or 32-bit pixel: (pixel & mask) >> shift, scaled from 0..max to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit Channel(uint32_t m = 0) : mask(m) {
        if (!mask) return;
        while (!(mask >> shift & 1))
            ++shift;
        max = mask >> shift;
    }
    uint8_t Value(uint32_t pixel) const {
        if (!max) return 0;
        const uint64_t v = (pixel & mask) >> shift;
        if (max == 255) return static_cast<uint8_t>(v);
        return static_cast<uint8_t>((v * 255 + max / 2) / max);
    }
};

// What the headers say, in one form for every header variant.
struct BmpInfo {
    int64_t width = 0;
    int64_t height = 0;  // positive; topDown tells the row order
    bool topDown = false;
    int bitCount = 0;
    uint32_t compression = kBiRgb;
    uint32_t masks[3] = {};  // red, green, blue, for 16 and 32 bits
    int64_t paletteOffset = 0;
    int paletteEntries = 0;
    int paletteEntryBytes = 4;
    int64_t pixelOffset = 0;
};

bool ParseHeaders(const uint8_t* head, int64_t headBytes, int64_t fileSize, BmpInfo* info) {
    if (headBytes < kFileHeaderBytes + 4 || head[0] != 'B' || head[1] != 'M') return false;
    const int64_t pixelOffset = Get32(head + 10);
    const int64_t headerBytes = Get32(head + 14);
    const bool core = headerBytes == kCoreHeaderBytes;
    const bool windows = headerBytes == 40 || headerBytes == 52 || headerBytes == 56 || headerBytes == 108 ||
                         headerBytes == 124;
    const bool os2 = !windows && headerBytes >= 16 && headerBytes <= 64;
    if (!core && !windows && !os2) return false;
    if (kFileHeaderBytes + headerBytes > headBytes) return false;

    const uint8_t* h = head + kFileHeaderBytes;
    int64_t height = 0;
    int planes = 0;
    uint32_t coloursUsed = 0;
    if (core) {
        info->width = Get16(h + 4);
        height = Get16(h + 6);
        planes = Get16(h + 8);
        info->bitCount = Get16(h + 10);
    } else {
        // An OS/2 2.x header may stop after any field; the missing ones count as zero.
        uint8_t f[kInfoHeaderBytes] = {};
        std::memcpy(f, h, static_cast<size_t>(std::min(headerBytes, kInfoHeaderBytes)));
        info->width = static_cast<int32_t>(Get32(f + 4));
        height = static_cast<int32_t>(Get32(f + 8));
        planes = Get16(f + 12);
        info->bitCount = Get16(f + 14);
        info->compression = Get32(f + 16);
        coloursUsed = Get32(f + 32);
    }
    if (planes != 1 || info->width < 1 || height == 0) return false;
    info->topDown = height < 0;
    info->height = height < 0 ? -height : height;

    const int bits = info->bitCount;
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    const uint32_t c = info->compression;
    const bool bitfields = windows && (c == kBiBitfields || c == kBiAlphaBitfields);
    const bool valid = c == kBiRgb || (c == kBiRle8 && bits == 8) || (c == kBiRle4 && bits == 4) ||
                       (bitfields && (bits == 16 || bits == 32));
    // Run-length rows can only go bottom-up.
    if (!valid || (info->topDown && (c == kBiRle8 || c == kBiRle4))) return false;

    int64_t maskBytes = 0;
    if (bits == 16 || bits == 32) {
        if (bitfields) {
            // A 40-byte header is followed by the masks; the longer headers hold them.
            if (headerBytes == kInfoHeaderBytes) maskBytes = c == kBiAlphaBitfields ? 16 : 12;
            if (kFileHeaderBytes + kInfoHeaderBytes + 12 > headBytes) return false;
            for (int i = 0; i < 3; ++i)
                info->masks[i] = Get32(h + kInfoHeaderBytes + 4 * i);
            if (!info->masks[0] && !info->masks[1] && !info->masks[2]) return false;
        } else if (bits == 16) {
            info->masks[0] = 0x7C00, info->masks[1] = 0x03E0, info->masks[2] = 0x001F;
        } else {
            info->masks[0] = 0xFF0000, info->masks[1] = 0x00FF00, info->masks[2] = 0x0000FF;
        }
    }

    // The pixels may not start inside the headers; a palette ends where they start at the latest.
    info->paletteOffset = kFileHeaderBytes + headerBytes + maskBytes;
    if (pixelOffset < info->paletteOffset || pixelOffset > fileSize) return false;
    info->pixelOffset = pixelOffset;
    if (bits <= 8) {
        info->paletteEntryBytes = core ? 3 : 4;
        int64_t entries = coloursUsed && !core ? coloursUsed : int64_t{1} << bits;
        entries = std::min<int64_t>(entries, kPaletteEntries);
        entries = std::min<int64_t>(entries, (pixelOffset - info->paletteOffset) / info->paletteEntryBytes);
        if (entries < 1) return false;  // indices without colours
        info->paletteEntries = static_cast<int>(entries);
    }
    return true;
}

void UnpackIndices(const uint8_t* src, int64_t width, int bits, uint8_t* dst) {
    if (bits == 8) {
        std::memcpy(dst, src, static_cast<size_t>(width));
        return;
    }
    const int perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (int64_t x = 0; x < width; ++x) {
        const int shift = 8 - bits * (1 + static_cast<int>(x % perByte));
        dst[x] = static_cast<uint8_t>(src[x / perByte] >> shift & mask);
    }
}

void UnpackColours(const uint8_t* src, int64_t width, int bits, const Channel* channels, uint8_t* dst) {
    for (int64_t x = 0; x < width; ++x) {
        const uint32_t pixel = bits == 16 ? Get16(src + 2 * x) : Get32(src + 4 * x);
        dst[3 * x + 0] = channels[2].Value(pixel);
        dst[3 * x + 1] = channels[1].Value(pixel);
        dst[3 * x + 2] = channels[0].Value(pixel);
    }
}

// 8 and 24 bits: the file's rows already have the block's layout.
bool ReadDirect(const InputFile& file, const BmpInfo& info, DecodedImage& image) {
    const int64_t stride = image.Stride();
    const int64_t rowBytes = info.width * (info.bitCount / 8);
    const int64_t needed = (info.height - 1) * stride + rowBytes;
    if (needed > file.Size() - info.pixelOffset) return false;
    if (!file.ReadAt(info.pixelOffset, image.Bits(), static_cast<size_t>(needed))) return false;
    if (stride > rowBytes) {
        for (int64_t row = 0; row < info.height; ++row)
            std::memset(image.Row(row) + rowBytes, 0, static_cast<size_t>(stride - rowBytes));
    }
    if (info.topDown) FlipRows(image.Bits(), static_cast<int>(stride), static_cast<int>(info.height));
    return true;
}

// 1, 2, 4, 16 and 32 bits, converted a band of rows at a time.
bool ReadConverted(const InputFile& file, const BmpInfo& info, DecodedImage& image) {
    const int64_t fileStride = (info.width * info.bitCount + 31) / 32 * 4;
    const int64_t rowBytes = (info.width * info.bitCount + 7) / 8;
    if ((info.height - 1) * fileStride + rowBytes > file.Size() - info.pixelOffset) return false;
    const int64_t bandRows = std::max<int64_t>(1, (int64_t{1} << 20) / fileStride);
    Buffer band(static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bandRows * fileStride))));
    if (!band) return false;
    const Channel channels[3] = {Channel(info.masks[0]), Channel(info.masks[1]), Channel(info.masks[2])};

    for (int64_t first = 0; first < info.height; first += bandRows) {
        const int64_t rows = std::min(bandRows, info.height - first);
        const int64_t bytes = (rows - 1) * fileStride + rowBytes;
        if (!file.ReadAt(info.pixelOffset + first * fileStride, band.get(), static_cast<size_t>(bytes)))
            return false;
        for (int64_t i = 0; i < rows; ++i) {
            const int64_t fileRow = first + i;
            uint8_t* dst = image.Row(info.topDown ? info.height - 1 - fileRow : fileRow);
            const uint8_t* src = band.get() + i * fileStride;
            if (info.bitCount <= 8)
                UnpackIndices(src, info.width, info.bitCount, dst);
            else
                UnpackColours(src, info.width, info.bitCount, channels, dst);
        }
    }
    return true;
}

// RLE8 and RLE4. Runs past the right edge are clipped; pixels that are skipped by a delta or never
// reached because the data ends early keep index 0.
void DecodeRle(const uint8_t* data, int64_t size, bool rle4, DecodedImage& image) {
    const int64_t width = image.Width();
    const int64_t height = image.Height();
    int64_t x = 0;
    int64_t y = 0;
    int64_t pos = 0;
    while (pos + 2 <= size && y < height) {
        const int count = data[pos];
        const int value = data[pos + 1];
        pos += 2;
        uint8_t* row = image.Row(y);
        if (count > 0) {
            const int64_t end = std::min(width, x + count);
            if (rle4) {
                for (int64_t i = 0; x + i < end; ++i)
                    row[x + i] = static_cast<uint8_t>(i & 1 ? value & 15 : value >> 4);
            } else if (x < end) {
                std::memset(row + x, value, static_cast<size_t>(end - x));
            }
            x = std::min(width, x + count);
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
            const int64_t available = std::min(bytes, size - pos);
            const int64_t pixels = std::min<int64_t>(value, rle4 ? 2 * available : available);
            for (int64_t i = 0; i < pixels && x + i < width; ++i) {
                const int byte = data[pos + (rle4 ? i / 2 : i)];
                row[x + i] = static_cast<uint8_t>(rle4 ? (i & 1 ? byte & 15 : byte >> 4) : byte);
            }
            x = std::min(width, x + value);
            pos += (bytes + 1) & ~int64_t{1};
        }
    }
}

bool ReadRle(const InputFile& file, const BmpInfo& info, DecodedImage& image) {
    // Even an encoder at its worst needs no more than two bytes a pixel and two a row.
    const int64_t limit = 2 * image.Stride() * info.height + 2 * info.height + 16;
    const int64_t size = std::min(file.Size() - info.pixelOffset, limit);
    Buffer data = file.ReadBuffer(info.pixelOffset, static_cast<size_t>(size));
    if (!data) return false;
    DecodeRle(data.get(), size, info.compression == kBiRle4, image);
    return true;
}

BITMAPINFOHEADER* ReadBmpFile(const char* path, uint8_t** bits, RGBQUAD** palette) {
    InputFile file;
    if (!file.Open(path)) return nullptr;
    uint8_t head[kHeadBytes];
    const int64_t headBytes = std::min<int64_t>(file.Size(), kHeadBytes);
    BmpInfo info;
    if (!file.ReadAt(0, head, static_cast<size_t>(headBytes)) ||
        !ParseHeaders(head, headBytes, file.Size(), &info))
        return nullptr;

    // The palette lies before the pixels, so within the bytes read.
    if (info.paletteOffset + int64_t{info.paletteEntries} * info.paletteEntryBytes > headBytes)
        return nullptr;
    DecodedImage image;
    if (!image.Allocate(info.width, info.height, info.bitCount <= 8 ? 8 : 24)) return nullptr;
    const uint8_t* entry = head + info.paletteOffset;
    for (int i = 0; i < info.paletteEntries; ++i, entry += info.paletteEntryBytes)
        image.Palette()[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};

    bool ok = false;
    if (info.compression == kBiRle8 || info.compression == kBiRle4)
        ok = ReadRle(file, info, image);
    else if (info.bitCount == 8 || info.bitCount == 24)
        ok = ReadDirect(file, info, image);
    else
        ok = ReadConverted(file, info, image);
    return ok ? image.Release(bits, palette) : nullptr;
}

int SaveBmpFile(const char* path, const uint8_t* bits, const BITMAPINFOHEADER& header,
                const RGBQUAD* palette) {
    const bool indexed = header.biBitCount == 8;
    if (!IsWritableImage(bits, header, palette, indexed)) return 0;
    const uint32_t blockBytes =
        static_cast<uint32_t>(header.biXPelsPerMeter) * static_cast<uint32_t>(header.biHeight);
    const uint32_t headBytes = kFileHeaderBytes + kInfoHeaderBytes + (indexed ? kPaletteBytes : 0);

    uint8_t head[kFileHeaderBytes + kInfoHeaderBytes + kPaletteBytes] = {};
    head[0] = 'B';
    head[1] = 'M';
    Put32(head + 2, headBytes + blockBytes);
    Put32(head + 10, headBytes);
    uint8_t* info = head + kFileHeaderBytes;
    Put32(info + 0, kInfoHeaderBytes);
    Put32(info + 4, static_cast<uint32_t>(header.biWidth));
    Put32(info + 8, static_cast<uint32_t>(header.biHeight));
    Put16(info + 12, 1);
    Put16(info + 14, header.biBitCount);
    Put32(info + 16, kBiRgb);
    Put32(info + 20, blockBytes);
    Put32(info + 24, kPixelsPerMetre);
    Put32(info + 28, kPixelsPerMetre);
    Put32(info + 32, indexed ? kPaletteEntries : 0);
    Put32(info + 36, indexed ? kPaletteEntries : 0);
    if (indexed) {
        uint8_t* entry = info + kInfoHeaderBytes;
        for (int i = 0; i < kPaletteEntries; ++i, entry += 4) {
            entry[0] = palette[i].rgbBlue;
            entry[1] = palette[i].rgbGreen;
            entry[2] = palette[i].rgbRed;
        }
    }

    OutputFile out;
    const bool saved = out.Create(path, int64_t{headBytes} + blockBytes) && out.Write(head, headBytes) &&
                       out.Write(bits, blockBytes) && out.Commit();
    return saved ? 1 : 0;
}

}  // namespace
}  // namespace imgkit

extern "C" BITMAPINFOHEADER* ReadBMP(const char* path, uint8_t** bits, RGBQUAD** palette) {
    if (!bits || !palette) return nullptr;
    try {
        return imgkit::ReadBmpFile(path, bits, palette);
    } catch (...) {
        return nullptr;
    }
}

extern "C" int SaveBitmap(const char* path, const uint8_t* bits, BITMAPINFOHEADER header,
                          const RGBQUAD* palette) {
    try {
        return imgkit::SaveBmpFile(path, bits, header, palette);
    } catch (...) {
        return 0;
    }
}
