// Raster operations on the 32-bit off-screen surface the editing view composes its repaints in
// (0xAARRGGBB per pixel, top row first). Everything is clipped to the surface. The pixels of an
// image with transparency keep their alpha there until they are composited over the checkerboard,
// once the surface is at device resolution; everything drawn over them is opaque.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/image_buffer.h"

// Where the checkerboard lies under a surface: the device pixel, counted from the image's top-left
// corner, of the surface's pixel (0, 0), and the device pixels a surface pixel stands for.
struct CheckerPhase {
    int x = 0;
    int y = 0;
    int scale = 1;
};

struct SurfaceRef {
    uint32_t* pixels;
    int width;
    int height;
    ptrdiff_t stride;  // pixels from one row to the next
    CheckerPhase checker = {};
};

// The part of `surface` from (x, y), `width` x `height` pixels, clipped to it; what is drawn there
// at (0, 0) lands on (x, y) of the whole.
SurfaceRef SubSurface(const SurfaceRef& surface, int x, int y, int width, int height);

constexpr uint32_t kHatchColour = 0xFF640000;  // RGB(100, 0, 0)
constexpr uint32_t kHatchBackground = 0xFFFFFFFF;
// The checkerboard that shows through transparent pixels: grey and white squares of 8 device pixels.
constexpr uint32_t kCheckerGrey = 0xFFCCCCCC;
constexpr uint32_t kCheckerWhite = 0xFFFFFFFF;
constexpr int kCheckerSquare = 8;

// Copies `cols` x `rows` pixels of a bottom-up image, whose top-left is image pixel (srcX, srcY)
// counted from the top, to surface position (dstX, dstY). `colours` is the colour table of an
// 8-bit image and `entryAlpha` its entries' opacities (may be null); a 32-bit image's pixels keep
// their alpha. The parts outside the image or the surface are skipped.
void DrawImageBlock(const SurfaceRef& surface, const BITMAPINFOHEADER& header, const RGBQUAD* colours,
                    const uint8_t* bits, int srcX, int srcY, int cols, int rows, int dstX, int dstY,
                    const uint8_t* entryAlpha = nullptr);

// The checkerboard's colour at device pixel (x, y) from the image's top-left corner: grey where
// x div 8 + y div 8 is even, white otherwise.
constexpr uint32_t CheckerColour(int x, int y) {
    return (((x >> 3) + (y >> 3)) & 1) == 0 ? kCheckerGrey : kCheckerWhite;
}
// A straight-alpha pixel over an opaque one, rounded.
uint32_t OverOpaque(uint32_t pixel, uint32_t backdrop);
// Composites each pixel of [x0, x1) x [y0, y1) that is less than opaque over the checkerboard, the
// surface being at device resolution (its phase's scale is 1).
void CompositeOverChecker(const SurfaceRef& surface, int x0, int y0, int x1, int y1);

// Replicates the top-left `cols` x `rows` pixels of `from` into `to`, each one `factor` x `factor`
// pixels, as far as `to` reaches.
void MagnifyPixels(const SurfaceRef& from, int cols, int rows, int factor, const SurfaceRef& to);

// The 8 x 8 diagonal-cross hatch, aligned to the surface origin, over [x0, x1) x [y0, y1).
void FillHatch(const SurfaceRef& surface, int x0, int y0, int x1, int y1);

// Replaces one surface pixel by the complement of the colour shown there (over the checkerboard
// where the pixel is transparent), opaque. The inverting routines below all do so.
void InvertPixel(const SurfaceRef& surface, int x, int y);

// Replaces every surface pixel on the line by its complement.
void InvertLine(const SurfaceRef& surface, int x0, int y0, int x1, int y1);

// The outline of a normalised rectangle as the rectangle tool draws it: nothing when it is empty
// in either direction, each outline pixel inverted once otherwise.
void InvertRectOutline(const SurfaceRef& surface, int left, int top, int right, int bottom);

// Inverts each pixel on the border of columns left..right and rows top..bottom, all included,
// once: a single row or column when the rectangle is one pixel high or wide.
void InvertBorder(const SurfaceRef& surface, int left, int top, int right, int bottom);

// A dotted outline over columns left..right-1 and rows top..bottom-1: white dots on black, or,
// with `invert`, the dots invert what is under them.
void DrawDottedFrame(const SurfaceRef& surface, int left, int top, int right, int bottom, bool invert);
