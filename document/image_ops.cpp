#include "document/image_ops.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "document/palette_match.h"
#include "document/pixel_routines.h"
#include "document/resample.h"

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

// The old picture onto a new canvas with its top-left corner at (left, top), y from the top; the
// rest of the canvas has the value `fill` (FillBlock's).
ImageStatus Canvas(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height, int64_t left,
                   int64_t top, uint32_t fill, bool releaseOld) {
    int64_t stride = 0;
    int64_t blockBytes = 0;
    uint8_t* rows = nullptr;
    const ImageStatus status = NewRows(*header, width, height, &stride, &blockBytes, &rows);
    if (status != ImageStatus::Ok) return status;

    const int64_t bytesPerPixel = header->biBitCount / 8;
    if (fill != 0)
        FillBlock(rows, 0, 0, static_cast<int>(stride), static_cast<int>(width), static_cast<int>(height),
                  static_cast<int>(bytesPerPixel), fill);
    // The overlap in new columns and rows counted from the top; a new row y shows the old row
    // y - top. Memory rows count from the bottom.
    const int64_t oldWidth = header->biWidth;
    const int64_t oldHeight = header->biHeight;
    const int64_t x0 = std::max<int64_t>(left, 0);
    const int64_t x1 = std::min(left + oldWidth, width);
    const int64_t y0 = std::max<int64_t>(top, 0);
    const int64_t y1 = std::min(top + oldHeight, height);
    if (x0 < x1 && y0 < y1) {
        const size_t copyBytes = static_cast<size_t>((x1 - x0) * bytesPerPixel);
        const int64_t oldStride = header->biXPelsPerMeter;
        for (int64_t y = y0; y < y1; ++y) {
            const int64_t oldRow = oldHeight - 1 - (y - top);
            std::memcpy(rows + (height - 1 - y) * stride + x0 * bytesPerPixel,
                        *bits + oldRow * oldStride + (x0 - left) * bytesPerPixel, copyBytes);
        }
    }

    TakeRows(header, bits, rows, width, height, stride, blockBytes, releaseOld);
    return ImageStatus::Ok;
}

// Resize Canvas keeps the bottom-left corner.
ImageStatus Canvas(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height, uint32_t fill,
                   bool releaseOld) {
    return Canvas(header, bits, width, height, 0, height - header->biHeight, fill, releaseOld);
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

void CanvasOffset(CanvasAnchor anchor, int64_t oldWidth, int64_t oldHeight, int64_t width, int64_t height,
                  int64_t* left, int64_t* top) {
    const int column = static_cast<int>(anchor) % 3;
    const int row = static_cast<int>(anchor) / 3;
    // Centred, the odd pixel of the difference is added or cut at the right and the bottom.
    const auto place = [](int part, int64_t free) {
        if (part == 0) return int64_t{0};
        return part == 2 ? free : free / 2;
    };
    *left = place(column, width - oldWidth);
    *top = place(row, height - oldHeight);
}

ImageStatus PlaceOnCanvasKeepingRows(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height,
                                     int64_t left, int64_t top, uint32_t fill) {
    return Canvas(header, bits, width, height, left, top, fill, false);
}

ImageStatus TurnImageKeepingRows(BITMAPINFOHEADER* header, uint8_t** bits, Turn turn) {
    const bool swap = TurnSwapsSides(turn);
    const int64_t width = swap ? header->biHeight : header->biWidth;
    const int64_t height = swap ? header->biWidth : header->biHeight;
    int64_t stride = 0;
    int64_t blockBytes = 0;
    uint8_t* rows = nullptr;
    const ImageStatus status = NewRows(*header, width, height, &stride, &blockBytes, &rows);
    if (status != ImageStatus::Ok) return status;
    TurnPixels(*bits, header->biWidth, header->biHeight, header->biXPelsPerMeter, header->biBitCount / 8,
               turn, rows, stride);
    TakeRows(header, bits, rows, width, height, stride, blockBytes, false);
    return ImageStatus::Ok;
}

RECT TurnRect(const RECT& r, int width, int height, Turn turn) {
    switch (turn) {
        case Turn::FlipHorizontal:
            return RECT{width - r.right, r.top, width - r.left, r.bottom};
        case Turn::FlipVertical:
            return RECT{r.left, height - r.bottom, r.right, height - r.top};
        case Turn::Rotate180:
            return RECT{width - r.right, height - r.bottom, width - r.left, height - r.top};
        case Turn::Rotate90Clockwise:  // (x, y) goes to (height - 1 - y, x)
            return RECT{height - r.bottom, r.left, height - r.top, r.right};
        case Turn::Rotate90CounterClockwise:  // (x, y) goes to (y, width - 1 - x)
            return RECT{r.top, width - r.right, r.bottom, width - r.left};
    }
    return r;
}

ImageStatus ResizeSmoothKeepingRows(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height) {
    if (header->biBitCount != 24 && header->biBitCount != 32) return ImageStatus::BadDepth;
    int64_t stride = 0;
    int64_t blockBytes = 0;
    uint8_t* rows = nullptr;
    const ImageStatus status = NewRows(*header, width, height, &stride, &blockBytes, &rows);
    if (status != ImageStatus::Ok) return status;
    ResampleSmooth(*bits, header->biWidth, header->biHeight, header->biXPelsPerMeter, rows,
                   static_cast<int>(width), static_cast<int>(height), stride, header->biBitCount / 8);
    TakeRows(header, bits, rows, width, height, stride, blockBytes, false);
    return ImageStatus::Ok;
}

RECT AutocropArea(const BITMAPINFOHEADER& header, const uint8_t* bits, const uint8_t* entryAlpha) {
    const int width = header.biWidth;
    const int height = header.biHeight;
    const int n = header.biBitCount / 8;
    const ptrdiff_t stride = header.biXPelsPerMeter;
    // Pixels by x and y from the top; all transparent ones count as one colour.
    const auto at = [&](int x, int y) { return bits + (height - 1 - y) * stride + ptrdiff_t{x} * n; };
    bool clear[kPaletteEntries] = {};
    if (n == 1 && entryAlpha) {
        for (int i = 0; i < kPaletteEntries; ++i)
            clear[i] = entryAlpha[i] == 0;
    }
    const auto same = [n, &clear](const uint8_t* a, const uint8_t* b) {
        if (n == 4 && a[3] == 0 && b[3] == 0) return true;
        if (n == 1 && clear[*a] && clear[*b]) return true;
        return std::memcmp(a, b, size_t(n)) == 0;
    };
    const uint8_t* corners[4] = {at(0, 0), at(width - 1, 0), at(0, height - 1), at(width - 1, height - 1)};
    const uint8_t* border = corners[0];
    int best = 0;
    for (const uint8_t* candidate : corners) {
        int matches = 0;
        for (const uint8_t* other : corners)
            matches += same(candidate, other) ? 1 : 0;
        if (matches > best) {
            best = matches;
            border = candidate;
        }
    }
    const auto rowIsBorder = [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            if (!same(at(x, y), border)) return false;
        }
        return true;
    };
    const auto columnIsBorder = [&](int x, int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            if (!same(at(x, y), border)) return false;
        }
        return true;
    };
    RECT area{0, 0, width, height};
    while (area.top < area.bottom && rowIsBorder(area.top, 0, width))
        ++area.top;
    if (area.top == area.bottom) return RECT{0, 0, 0, 0};
    while (rowIsBorder(area.bottom - 1, 0, width))
        --area.bottom;
    while (columnIsBorder(area.left, area.top, area.bottom))
        ++area.left;
    while (columnIsBorder(area.right - 1, area.top, area.bottom))
        --area.right;
    return area;
}

ImageStatus MagnifiedCopy(const BITMAPINFOHEADER& header, const uint8_t* bits, int factor,
                          BITMAPINFOHEADER** copyHeader, uint8_t** copyBits) {
    const int64_t width = int64_t{header.biWidth} * factor;
    const int64_t height = int64_t{header.biHeight} * factor;
    BITMAPINFOHEADER* newHeader = nullptr;
    uint8_t* rows = nullptr;
    const ImageStatus status = AllocateImage(width, height, header.biBitCount, &newHeader, &rows);
    if (status != ImageStatus::Ok) return status;
    const int32_t stride = newHeader->biXPelsPerMeter;
    const uint32_t blockBytes = newHeader->biSizeImage;
    std::memcpy(newHeader, &header, header.biBitCount == 8 ? kHeaderBlockBytes8 : kHeaderBytes);
    newHeader->biWidth = static_cast<int32_t>(width);
    newHeader->biHeight = static_cast<int32_t>(height);
    newHeader->biXPelsPerMeter = stride;
    newHeader->biSizeImage = blockBytes;
    StretchNearest(bits, header.biWidth, header.biHeight, rows, static_cast<int>(width),
                   static_cast<int>(height), header.biBitCount / 8);
    *copyHeader = newHeader;
    *copyBits = rows;
    return ImageStatus::Ok;
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
