// Free functions that read and write the pixel blocks of image_buffer.h.
//
// Coordinates are a column x (0 = left) and a memory row (0 = the bottom row); callers that count
// rows from the top convert with row = height - 1 - y. An 8-bit colour is a palette index (only the
// low byte counts); a 24-bit colour is the word 0x00RRGGBB, stored in a pixel as blue, green, red.
// Unless a routine says otherwise it trusts its arguments: coordinates and strides lie within the
// block.
#pragma once

#include <cstdint>

#include "document/image_buffer.h"

// Bit 0 set: painting blends the new colour with the pixel it replaces.
extern uint8_t g_bTranslucent;
// Weight of the existing pixel in a blend.
extern float g_fTranslucency;

// One channel of the blend: trunc(existing * f + incoming * (1 - f)) in double precision with the
// single-precision factor f = g_fTranslucency, clamped to 0..255 (a factor above 1 or below 0 would
// otherwise leave the byte range).
uint8_t BlendChannel(int existing, int incoming);

// One colour channel with straight alpha composited over a white background, rounded.
constexpr uint8_t OverWhite(int colour, int alpha) {
    return static_cast<uint8_t>((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

// Index 0-255 of the nearest palette entry by squared RGB distance; the lowest index wins ties.
int NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue, const RGBQUAD* palette);

// Writers. The 8-bit ones take the palette of the image being painted; they blend (when translucent)
// and always store the nearest index of the resulting colour.
void PutPixel8(uint8_t* bits, int x, int row, int stride, int index, const RGBQUAD* palette);
void PutPixel24(uint8_t* bits, int x, int row, int stride, uint32_t colour);
uint32_t GetPixel24(const uint8_t* bits, int x, int row, int stride);

// Columns firstX..lastX inclusive of one row; nothing when firstX > lastX.
void HLine8(uint8_t* bits, int firstX, int row, int lastX, int stride, int index, const RGBQUAD* palette);
void HLine24(uint8_t* bits, int firstX, int row, int lastX, int stride, uint32_t colour);

// Fills the 4-connected area of equal pixels around (x, row) within the inclusive bounds (clipped to
// the image). Every reachable pixel is painted once, as HLine8 / HLine24 would paint it.
void FloodFill8(uint8_t* bits, const BITMAPINFOHEADER* header, int x, int row, int index, int minX,
                int minRow, int maxX, int maxRow, const RGBQUAD* palette);
void FloodFill24(uint8_t* bits, const BITMAPINFOHEADER* header, int x, int row, uint32_t colour, int minX,
                 int minRow, int maxX, int maxRow);

// Reverses the order of the rows in place.
void FlipRows(uint8_t* bits, int stride, int height);

// The exact pixel moves of the Image menu. Rotations are as the picture is seen (y from the top):
// clockwise brings the bottom-left corner to the top-left.
enum class Turn { FlipHorizontal, FlipVertical, Rotate90Clockwise, Rotate90CounterClockwise, Rotate180 };
// True for the turns that swap width and height.
constexpr bool TurnSwapsSides(Turn turn) {
    return turn == Turn::Rotate90Clockwise || turn == Turn::Rotate90CounterClockwise;
}

// Writes the width x height block `src` (1, 3 or 4 bytes a pixel, every byte of a pixel carried)
// turned into `dst`, which is height x width for a turn that swaps the sides. The blocks must not
// overlap; the padding bytes of `dst` are left as they are.
void TurnPixels(const uint8_t* src, int width, int height, ptrdiff_t srcStride, int bytesPerPixel, Turn turn,
                uint8_t* dst, ptrdiff_t dstStride);

// Nearest-neighbour rescale into a prepared destination block; both strides follow the row rule.
void StretchNearest(const uint8_t* src, int srcWidth, int srcHeight, uint8_t* dst, int dstWidth,
                    int dstHeight, int bytesPerPixel);

// Depth conversions. The new blocks are made as for a new image of the size (AllocateImage), so the
// new header is the model's own with only biYPelsPerMeter carried over. On success the old blocks
// are released (for Expand8To24 unless `releaseOld` is false and the caller keeps them) and the new
// ones stored through the two addresses; when memory is short they return false and leave pointers
// and blocks untouched.
bool Expand8To24(uint8_t** bits, BITMAPINFOHEADER** header, bool releaseOld = true);
bool Reduce24To8(uint8_t** bits, BITMAPINFOHEADER** header, const RGBQUAD* palette);

RECT NormalizeRect(RECT rect);
// The part of a normalised rectangle that lies over a width x height image: each edge clamped to
// the image, so the result is empty (right = left or bottom = top) when nothing lies over it.
RECT ClipRect(const RECT& rect, int width, int height);
// True when the rectangle holds no pixel (right <= left or bottom <= top).
bool IsEmptyRect(const RECT& rect);
// The smallest rectangle holding both; an empty one adds nothing.
RECT UnionRect(const RECT& a, const RECT& b);
// Strict overlap: left1 < right2, left2 < right1, top1 < bottom2 and top2 < bottom1.
bool RectsOverlap(int left1, int top1, int right1, int bottom1, int left2, int top2, int right2, int bottom2);

// Block copy and fill, starting at byte row * stride + x * bytesPerPixel; no clipping.
void CopyBlock(const uint8_t* src, int x, int row, int srcStride, int width, int rows, int bytesPerPixel,
               uint8_t* dst, int dstStride);
void FillBlock(uint8_t* bits, int x, int row, int stride, int width, int rows, int bytesPerPixel,
               uint32_t value);
