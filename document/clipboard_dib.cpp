#include "document/clipboard_dib.h"

#include <cstdlib>
#include <cstring>

#include "document/little_endian.h"
#include "document/pixel_routines.h"

namespace {

size_t InfoBlockBytes(int bitCount) {
    return bitCount == 8 ? kHeaderBlockBytes8 : kHeaderBytes;
}

uint32_t LoadWord(const uint8_t* p) {
    uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

}  // namespace

size_t ClipboardBmpBytes(int width, int height, int bitCount) {
    if ((bitCount != 8 && bitCount != 24) || width < 0 || height < 0 || width > kMaxImageDimension ||
        height > kMaxImageDimension)
        return 0;
    const int64_t rows = RowStride(width, bitCount) * height;  // below 13 GiB, so 64 bits hold it
    return kBmpFileHeaderBytes + InfoBlockBytes(bitCount) + static_cast<size_t>(rows);
}

void WriteClipboardBmp(uint8_t* out, const BITMAPINFOHEADER& source, const RGBQUAD* colours,
                       const uint8_t* bits, const RECT& area) {
    const int bitCount = source.biBitCount;
    const int bytes = bitCount / 8;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const size_t total = ClipboardBmpBytes(width, height, bitCount);
    const size_t offset = kBmpFileHeaderBytes + InfoBlockBytes(bitCount);
    const int stride = static_cast<int>(RowStride(width, bitCount));
    const size_t rowsBytes = total - offset;

    // The file header.
    out[0] = 'B';
    out[1] = 'M';
    Put32(out + 2, static_cast<uint32_t>(total));
    Put32(out + 6, 0);
    Put32(out + 10, static_cast<uint32_t>(offset));

    // The info header.
    uint8_t* info = out + kBmpFileHeaderBytes;
    std::memset(info, 0, kHeaderBytes);
    Put32(info + 0, kHeaderBytes);
    Put32(info + 4, static_cast<uint32_t>(width));
    Put32(info + 8, static_cast<uint32_t>(height));
    Put16(info + 12, 1);
    Put16(info + 14, static_cast<uint32_t>(bitCount));
    Put32(info + 20, bitCount == 24 ? static_cast<uint32_t>(rowsBytes) : 0);
    Put32(info + 32, bitCount == 8 ? kPaletteEntries : 0);
    Put32(info + 36, bitCount == 8 ? kPaletteEntries : 0);
    if (bitCount == 8) std::memcpy(info + kHeaderBytes, colours, kPaletteBytes);

    // The rows: the area's bottom row first, as the image stores it.
    uint8_t* rows = out + offset;
    if (width <= 0 || height <= 0) return;
    const size_t rowBytes = static_cast<size_t>(width) * bytes;
    CopyBlock(bits, area.left, source.biHeight - area.bottom, source.biXPelsPerMeter, width, height, bytes,
              rows, stride);
    if (rowBytes < static_cast<size_t>(stride)) {
        for (int r = 0; r < height; ++r)
            std::memset(rows + static_cast<size_t>(r) * stride + rowBytes, 0, stride - rowBytes);
    }
}

ImageStatus ImageFromArgbRows(const uint8_t* rows, ptrdiff_t rowBytes, int width, int height,
                              BITMAPINFOHEADER** header, uint8_t** bits, bool keepAlpha) {
    BITMAPINFOHEADER* newHeader = nullptr;
    uint8_t* newBits = nullptr;
    const ImageStatus status = AllocateImage(width, height, keepAlpha ? 32 : 24, &newHeader, &newBits);
    if (status != ImageStatus::Ok) return status;
    const ptrdiff_t stride = newHeader->biXPelsPerMeter;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rows + y * rowBytes;
        uint8_t* out = newBits + static_cast<ptrdiff_t>(height - 1 - y) * stride;
        if (keepAlpha) {
            for (int x = 0; x < width; ++x, in += 4, out += 4) {
                const uint32_t argb = LoadWord(in);
                if (argb >> 24 == 0) continue;  // the block is zeroed
                out[0] = static_cast<uint8_t>(argb);
                out[1] = static_cast<uint8_t>(argb >> 8);
                out[2] = static_cast<uint8_t>(argb >> 16);
                out[3] = static_cast<uint8_t>(argb >> 24);
            }
            continue;
        }
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            const uint32_t argb = LoadWord(in);
            const int alpha = static_cast<int>(argb >> 24);
            int red = (argb >> 16) & 0xFF;
            int green = (argb >> 8) & 0xFF;
            int blue = argb & 0xFF;
            if (alpha != 0xFF) {
                red = OverWhite(red, alpha);
                green = OverWhite(green, alpha);
                blue = OverWhite(blue, alpha);
            }
            out[0] = static_cast<uint8_t>(blue);
            out[1] = static_cast<uint8_t>(green);
            out[2] = static_cast<uint8_t>(red);
        }
    }
    *header = newHeader;
    *bits = newBits;
    return ImageStatus::Ok;
}

ImageStatus ImageFromIndexedRows(const uint8_t* rows, ptrdiff_t rowBytes, int width, int height,
                                 const uint32_t* table, int entries, BITMAPINFOHEADER** header,
                                 uint8_t** bits, uint8_t** entryAlpha) {
    BITMAPINFOHEADER* newHeader = nullptr;
    uint8_t* newBits = nullptr;
    const ImageStatus status = AllocateImage(width, height, 8, &newHeader, &newBits);
    if (status != ImageStatus::Ok) return status;
    RGBQUAD* colours = HeaderPalette(newHeader);
    const int used = entries < 0 ? 0 : entries > kPaletteEntries ? kPaletteEntries : entries;
    uint8_t alphas[kPaletteEntries];
    std::memset(alphas, kOpaque, sizeof alphas);
    for (int i = 0; i < used; ++i) {
        const uint32_t argb = table[i];
        const int alpha = static_cast<int>(argb >> 24);
        if (entryAlpha) {
            colours[i] = RGBQUAD{static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 8),
                                 static_cast<uint8_t>(argb >> 16), 0};
            alphas[i] = static_cast<uint8_t>(alpha);
        } else {
            colours[i] = RGBQUAD{OverWhite(argb & 0xFF, alpha), OverWhite((argb >> 8) & 0xFF, alpha),
                                 OverWhite((argb >> 16) & 0xFF, alpha), 0};
        }
    }
    if (entryAlpha && !CopyEntryAlpha(alphas, entryAlpha)) {
        std::free(newHeader);
        std::free(newBits);
        return ImageStatus::NoMemory;
    }
    const ptrdiff_t stride = newHeader->biXPelsPerMeter;
    for (int y = 0; y < height; ++y)
        std::memcpy(newBits + static_cast<ptrdiff_t>(height - 1 - y) * stride, rows + y * rowBytes,
                    static_cast<size_t>(width));
    *header = newHeader;
    *bits = newBits;
    return ImageStatus::Ok;
}
