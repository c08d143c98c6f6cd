#include "views/surface_raster.h"

#include <algorithm>

#include "document/line_steps.h"

namespace {

inline bool Inside(const SurfaceRef& s, int x, int y) {
    return x >= 0 && y >= 0 && x < s.width && y < s.height;
}

inline void Invert(const SurfaceRef& s, int x, int y) {
    if (Inside(s, x, y)) s.pixels[y * s.stride + x] ^= 0x00FFFFFF;
}

}  // namespace

SurfaceRef SubSurface(const SurfaceRef& surface, int x, int y, int width, int height) {
    const int left = std::clamp(x, 0, surface.width);
    const int top = std::clamp(y, 0, surface.height);
    const int right = std::clamp(x + width, left, surface.width);
    const int bottom = std::clamp(y + height, top, surface.height);
    return {surface.pixels + top * surface.stride + left, right - left, bottom - top, surface.stride};
}

void DrawImageBlock(const SurfaceRef& surface, const BITMAPINFOHEADER& header, const RGBQUAD* colours,
                    const uint8_t* bits, int srcX, int srcY, int cols, int rows, int dstX, int dstY) {
    // Clip the source to the image, then the destination to the surface, moving the other along.
    const int64_t left = std::max<int64_t>({0, -int64_t{srcX}, -int64_t{dstX}});
    const int64_t top = std::max<int64_t>({0, -int64_t{srcY}, -int64_t{dstY}});
    const int64_t right =
        std::min<int64_t>({int64_t{cols}, int64_t{header.biWidth} - srcX, int64_t{surface.width} - dstX});
    const int64_t bottom =
        std::min<int64_t>({int64_t{rows}, int64_t{header.biHeight} - srcY, int64_t{surface.height} - dstY});
    if (left >= right || top >= bottom) return;
    const int width = static_cast<int>(right - left);
    const ptrdiff_t stride = header.biXPelsPerMeter;

    uint32_t lut[256];
    if (header.biBitCount == 8) {
        for (int i = 0; i < 256; ++i)
            lut[i] = 0xFF000000u | uint32_t{colours[i].rgbRed} << 16 | uint32_t{colours[i].rgbGreen} << 8 |
                     colours[i].rgbBlue;
    }
    for (int64_t y = top; y < bottom; ++y) {
        const int64_t imageRow = header.biHeight - 1 - (srcY + y);
        const uint8_t* in = bits + imageRow * stride;
        uint32_t* out = surface.pixels + (dstY + y) * surface.stride + dstX + left;
        const int64_t x0 = srcX + left;
        if (header.biBitCount == 8) {
            in += x0;
            for (int x = 0; x < width; ++x)
                out[x] = lut[in[x]];
        } else {
            in += 3 * x0;
            for (int x = 0; x < width; ++x, in += 3)
                out[x] = 0xFF000000u | uint32_t{in[2]} << 16 | uint32_t{in[1]} << 8 | in[0];
        }
    }
}

void MagnifyPixels(const SurfaceRef& from, int cols, int rows, int factor, const SurfaceRef& to) {
    const int width = std::min(cols * factor, to.width);
    for (int y = 0; y < rows; ++y) {
        const int top = y * factor;
        if (top >= to.height) break;
        uint32_t* out = to.pixels + top * to.stride;
        const uint32_t* in = from.pixels + y * from.stride;
        for (int x = 0; x < width; x += factor, ++in)
            std::fill_n(out + x, std::min(factor, width - x), *in);
        // The other rows of the band are copies of its first.
        for (int k = 1; k < factor && top + k < to.height; ++k)
            std::copy(out, out + width, out + k * to.stride);
    }
}

void FillHatch(const SurfaceRef& surface, int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, surface.width);
    y1 = std::min(y1, surface.height);
    for (int y = y0; y < y1; ++y) {
        // The row's pattern repeats every 8 columns.
        uint32_t pattern[8];
        for (int x = 0; x < 8; ++x)
            pattern[x] = ((x - y) & 7) == 0 || ((x + y) & 7) == 0 ? kHatchColour : kHatchBackground;
        uint32_t* row = surface.pixels + y * surface.stride;
        for (int x = x0; x < x1; ++x)
            row[x] = pattern[x & 7];
    }
}

void InvertLine(const SurfaceRef& surface, int x0, int y0, int x1, int y1) {
    ForEachLinePoint(x0, y0, x1, y1, [&](int x, int y) { Invert(surface, x, y); });
}

void InvertRectOutline(const SurfaceRef& surface, int left, int top, int right, int bottom) {
    if (right == left || bottom == top) return;
    InvertLine(surface, left, top, right, top);
    InvertLine(surface, left, bottom, right, bottom);
    if (bottom - top > 1) {
        InvertLine(surface, left, top + 1, left, bottom - 1);
        InvertLine(surface, right, top + 1, right, bottom - 1);
    }
}

void InvertBorder(const SurfaceRef& surface, int left, int top, int right, int bottom) {
    if (right == left || bottom == top)
        InvertLine(surface, left, top, right, bottom);
    else
        InvertRectOutline(surface, left, top, right, bottom);
}

void DrawDottedFrame(const SurfaceRef& surface, int left, int top, int right, int bottom, bool invert) {
    if (right <= left || bottom <= top) return;
    auto dot = [&](int x, int y) {
        if (!Inside(surface, x, y)) return;
        const bool on = ((x + y) / 3) % 2 == 0;  // dots of three pixels
        uint32_t& p = surface.pixels[y * surface.stride + x];
        if (invert) {
            if (on) p ^= 0x00FFFFFF;
        } else {
            p = on ? 0xFFFFFFFF : 0xFF000000;
        }
    };
    for (int x = left; x < right; ++x) {
        dot(x, top);
        if (bottom - 1 != top) dot(x, bottom - 1);
    }
    for (int y = top + 1; y < bottom - 1; ++y) {
        dot(left, y);
        if (right - 1 != left) dot(right - 1, y);
    }
}
