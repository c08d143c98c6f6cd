#include "views/surface_raster.h"

#include <algorithm>
#include <cstring>

#include "document/line_steps.h"

namespace {

inline bool Inside(const SurfaceRef& s, int x, int y) {
    return x >= 0 && y >= 0 && x < s.width && y < s.height;
}

// The checkerboard's colour under surface pixel (x, y), at the device pixel of its top-left corner.
inline uint32_t CheckerUnder(const SurfaceRef& s, int x, int y) {
    return CheckerColour(s.checker.x + x * s.checker.scale, s.checker.y + y * s.checker.scale);
}

inline void Invert(const SurfaceRef& s, int x, int y) {
    InvertPixel(s, x, y);
}

}  // namespace

SurfaceRef SubSurface(const SurfaceRef& surface, int x, int y, int width, int height) {
    const int left = std::clamp(x, 0, surface.width);
    const int top = std::clamp(y, 0, surface.height);
    const int right = std::clamp(x + width, left, surface.width);
    const int bottom = std::clamp(y + height, top, surface.height);
    const CheckerPhase& c = surface.checker;
    return {surface.pixels + top * surface.stride + left, right - left, bottom - top, surface.stride,
            CheckerPhase{c.x + left * c.scale, c.y + top * c.scale, c.scale}};
}

void InvertPixel(const SurfaceRef& s, int x, int y) {
    if (!Inside(s, x, y)) return;
    uint32_t& p = s.pixels[y * s.stride + x];
    if (p >> 24 != 0xFF) p = OverOpaque(p, CheckerUnder(s, x, y));
    p ^= 0x00FFFFFF;
}

uint32_t OverOpaque(uint32_t pixel, uint32_t backdrop) {
    const uint32_t a = pixel >> 24;
    if (a == 0xFF) return pixel;
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t c = (pixel >> shift) & 0xFF;
        const uint32_t b = (backdrop >> shift) & 0xFF;
        out |= (c * a + b * (255 - a) + 127) / 255 << shift;
    }
    return out;
}

void CompositeOverChecker(const SurfaceRef& surface, int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, surface.width);
    y1 = std::min(y1, surface.height);
    for (int y = y0; y < y1; ++y) {
        uint32_t* row = surface.pixels + y * surface.stride;
        for (int x = x0; x < x1; ++x) {
            if (row[x] >> 24 != 0xFF) row[x] = OverOpaque(row[x], CheckerUnder(surface, x, y));
        }
    }
}

void DrawImageBlock(const SurfaceRef& surface, const BITMAPINFOHEADER& header, const RGBQUAD* colours,
                    const uint8_t* bits, int srcX, int srcY, int cols, int rows, int dstX, int dstY,
                    const uint8_t* entryAlpha) {
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
            lut[i] = uint32_t{EntryAlpha(entryAlpha, i)} << 24 | uint32_t{colours[i].rgbRed} << 16 |
                     uint32_t{colours[i].rgbGreen} << 8 | colours[i].rgbBlue;
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
        } else if (header.biBitCount == 32) {
            // Blue, green, red, alpha in memory is 0xAARRGGBB as a word.
            std::memcpy(out, in + 4 * x0, sizeof(uint32_t) * static_cast<size_t>(width));
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
        if (invert) {
            if (on) InvertPixel(surface, x, y);
        } else {
            surface.pixels[y * surface.stride + x] = on ? 0xFFFFFFFF : 0xFF000000;
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
