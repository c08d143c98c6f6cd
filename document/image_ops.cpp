#include "document/image_ops.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "document/palette_match.h"
#include "document/pixel_routines.h"

namespace {

// Checks the new size against the image's depth and allocates its zero-filled rows; the header
// block stays the image's own.
ImageStatus NewRows(const BITMAPINFOHEADER& header, int64_t width, int64_t height, int64_t* stride,
                    int64_t* blockBytes, uint8_t** rows) {
    if (!IsModelHeader(header)) return ImageStatus::BadDepth;
    const ImageStatus status = CheckImageSize(width, height, header.biBitCount, stride, blockBytes);
    if (status != ImageStatus::Ok) return status;
    return AllocateImage(width, height, header.biBitCount, nullptr, rows);
}

void TakeRows(BITMAPINFOHEADER* header, uint8_t** bits, uint8_t* rows, int64_t width, int64_t height,
              int64_t stride, int64_t blockBytes, bool releaseOld) {
    if (releaseOld) std::free(*bits);
    *bits = rows;
    header->biWidth = static_cast<int32_t>(width);
    header->biHeight = static_cast<int32_t>(height);
    header->biXPelsPerMeter = static_cast<int32_t>(stride);
    header->biSizeImage = static_cast<uint32_t>(blockBytes);
}

ImageStatus Canvas(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height, uint32_t fill,
                   bool releaseOld) {
    int64_t stride = 0;
    int64_t blockBytes = 0;
    uint8_t* rows = nullptr;
    const ImageStatus status = NewRows(*header, width, height, &stride, &blockBytes, &rows);
    if (status != ImageStatus::Ok) return status;

    // Memory row 0 is the bottom row, so copying rows 0..h-1 from their starts keeps the picture
    // at its bottom-left corner.
    const size_t bytesPerPixel = header->biBitCount / 8;
    const size_t copyBytes = static_cast<size_t>(std::min<int64_t>(header->biWidth, width)) * bytesPerPixel;
    const int64_t copyRows = std::min<int64_t>(header->biHeight, height);
    const int64_t oldStride = header->biXPelsPerMeter;
    for (int64_t row = 0; row < copyRows; ++row)
        std::memcpy(rows + row * stride, *bits + row * oldStride, copyBytes);
    if (fill != 0) {
        const int copyColumns = static_cast<int>(copyBytes / bytesPerPixel);
        const int bytes = static_cast<int>(bytesPerPixel);
        FillBlock(rows, copyColumns, 0, static_cast<int>(stride), static_cast<int>(width) - copyColumns,
                  static_cast<int>(copyRows), bytes, fill);
        FillBlock(rows, 0, static_cast<int>(copyRows), static_cast<int>(stride), static_cast<int>(width),
                  static_cast<int>(height - copyRows), bytes, fill);
    }

    TakeRows(header, bits, rows, width, height, stride, blockBytes, releaseOld);
    return ImageStatus::Ok;
}

ImageStatus Rescale(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height,
                    bool releaseOld) {
    int64_t stride = 0;
    int64_t blockBytes = 0;
    uint8_t* rows = nullptr;
    const ImageStatus status = NewRows(*header, width, height, &stride, &blockBytes, &rows);
    if (status != ImageStatus::Ok) return status;

    StretchNearest(*bits, header->biWidth, header->biHeight, rows, static_cast<int>(width),
                   static_cast<int>(height), header->biBitCount / 8);

    TakeRows(header, bits, rows, width, height, stride, blockBytes, releaseOld);
    return ImageStatus::Ok;
}

}  // namespace

ImageStatus ResizeCanvas(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height) {
    return Canvas(header, bits, width, height, 0, true);
}

ImageStatus ResizeImage(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height) {
    return Rescale(header, bits, width, height, true);
}

ImageStatus ResizeCanvasKeepingRows(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height,
                                    uint32_t fill) {
    return Canvas(header, bits, width, height, fill, false);
}

ImageStatus ResizeImageKeepingRows(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height) {
    return Rescale(header, bits, width, height, false);
}

bool IsReducedImage(const BITMAPINFOHEADER* result, const uint8_t* bits, const BITMAPINFOHEADER& source,
                    const uint8_t* sourceBits) {
    if (!result || !bits || bits == sourceBits) return false;
    return result->biBitCount == 8 && IsModelHeader(*result) && result->biWidth == source.biWidth &&
           result->biHeight == source.biHeight;
}

bool MapOntoPalette(BITMAPINFOHEADER** header, uint8_t** bits, const RGBQUAD* palette,
                    const uint8_t* entryAlpha, const uint8_t* ownAlpha) {
    BITMAPINFOHEADER* floating = *header;
    if (!IsModelHeader(*floating)) return false;
    if (floating->biBitCount != 8) return Reduce24To8(bits, header, palette, entryAlpha);

    // 8 bit: the same index means the same colour in one table only, so translate through the
    // colours. This works in place and cannot fail.
    AlphaPaletteMatcher opaque(palette, entryAlpha);
    const int transparent = TransparentEntry(entryAlpha);
    uint8_t translate[kPaletteEntries];
    const RGBQUAD* own = HeaderPalette(floating);
    for (int i = 0; i < kPaletteEntries; ++i) {
        const int alpha = EntryAlpha(ownAlpha, i);
        const RGBQUAD& c = own[i];
        if (alpha == 0 && transparent >= 0)
            translate[i] = static_cast<uint8_t>(transparent);
        else if (alpha == kOpaque)
            translate[i] = static_cast<uint8_t>(opaque.Nearest(c.rgbRed, c.rgbGreen, c.rgbBlue));
        else {
            // A partly transparent entry: one of the image's as transparent, else its colour over white.
            const int same = NearestPaletteIndex(c.rgbRed, c.rgbGreen, c.rgbBlue, palette, entryAlpha,
                                                 static_cast<uint8_t>(alpha));
            translate[i] = static_cast<uint8_t>(EntryAlpha(entryAlpha, same) == alpha
                                                    ? same
                                                    : opaque.Nearest(OverWhite(c.rgbRed, alpha),
                                                                     OverWhite(c.rgbGreen, alpha),
                                                                     OverWhite(c.rgbBlue, alpha)));
        }
    }
    const int64_t stride = floating->biXPelsPerMeter;
    for (int64_t row = 0; row < floating->biHeight; ++row) {
        uint8_t* p = *bits + row * stride;
        for (int32_t x = 0; x < floating->biWidth; ++x)
            p[x] = translate[p[x]];
    }
    std::memcpy(HeaderPalette(floating), palette, kPaletteBytes);
    return true;
}
