// Free functions that read and write the pixel blocks of image_buffer.h.
//
// Coordinates are a column x (0 = left) and a memory row (0 = the bottom row); callers that count
// rows from the top convert with row = height - 1 - y. An 8-bit colour is a palette index (only the
// low byte counts); a 24-bit colour is the word 0x00RRGGBB, stored in a pixel as blue, green, red.
// The 24-bit routines also paint 32-bit pixels (bytesPerPixel 4: blue, green, red, alpha): painting
// opaquely writes alpha 255, and translucent painting lays the colour over the pixel (see
// PutPixel24). An 8-bit image's entry alpha (image_buffer.h) may be null.
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
// The same among the entries whose opacity in `entryAlpha` is `alpha` (all entries when none is).
int NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue, const RGBQUAD* palette,
                        const uint8_t* entryAlpha, uint8_t alpha);

// Writers. The 8-bit ones take the palette of the image being painted and its entry alpha; they
// blend (when translucent, and unless the pixel is a fully transparent entry, which has no colour
// to blend with) and always store the nearest index of the resulting colour among the entries as
// opaque as the painting one, so painting with an opaque entry never writes a transparent one.
void PutPixel8(uint8_t* bits, int x, int row, int stride, int index, const RGBQUAD* palette,
               const uint8_t* entryAlpha = nullptr);
// With 4 bytes per pixel and translucent painting the colour is a layer of opacity 1 - f over the
// pixel: over an opaque pixel each channel is BlendChannel's, over a less opaque one the colours
// are weighed by their opacities and the alpha grows to a + (255 - a)(1 - f).
void PutPixel24(uint8_t* bits, int x, int row, int stride, uint32_t colour, int bytesPerPixel = 3);
uint32_t GetPixel24(const uint8_t* bits, int x, int row, int stride, int bytesPerPixel = 3);
// A 32-bit pixel as 0xAARRGGBB.
uint32_t GetPixel32(const uint8_t* bits, int x, int row, int stride);

// Columns firstX..lastX inclusive of one row; nothing when firstX > lastX.
void HLine8(uint8_t* bits, int firstX, int row, int lastX, int stride, int index, const RGBQUAD* palette,
            const uint8_t* entryAlpha = nullptr);
void HLine24(uint8_t* bits, int firstX, int row, int lastX, int stride, uint32_t colour,
             int bytesPerPixel = 3);

// Told of each run of one row a fill is about to paint: the stored row and its first and last column.
class CFillRuns {
public:
    virtual void Run(int row, int firstX, int lastX) = 0;

protected:
    ~CFillRuns() = default;
};

// Fills the 4-connected area of equal pixels around (x, row) within the inclusive bounds (clipped to
// the image). Every reachable pixel is painted once, as HLine8 / HLine24 would paint it, and every
// run is told to `runs`, when one is given, before it is painted. FloodFill24 takes 24 or 32-bit
// images (the header says which); every fully transparent pixel counts as equal to every other,
// whatever colour it keeps.
void FloodFill8(uint8_t* bits, const BITMAPINFOHEADER* header, int x, int row, int index, int minX,
                int minRow, int maxX, int maxRow, const RGBQUAD* palette, const uint8_t* entryAlpha = nullptr,
                CFillRuns* runs = nullptr);
void FloodFill24(uint8_t* bits, const BITMAPINFOHEADER* header, int x, int row, uint32_t colour, int minX,
                 int minRow, int maxX, int maxRow, CFillRuns* runs = nullptr);

// An image as the painting tools see it: the blocks of any depth and the palette they paint with.
struct PaintTarget {
    const BITMAPINFOHEADER* header;
    const RGBQUAD* palette;
    const uint8_t* entryAlpha;  // an 8-bit image's; null when every entry is opaque
    uint8_t* bits;
};
// One pixel, or the area around it, painted with palette entry `index`: the index itself on an
// 8-bit image (PutPixel8, FloodFill8), the entry's colour on a 24 or 32-bit one. The fill's bounds
// are the whole image; its runs are told to `runs` as FloodFill8 and FloodFill24 tell them.
void PaintPixel(const PaintTarget& image, int x, int row, int index);
void PaintFill(const PaintTarget& image, int x, int row, int index, CFillRuns* runs = nullptr);
// What an erased pixel holds, for FillBlock: on an image with transparency (32 bits, or 8 bits with
// a fully transparent entry) a transparent pixel (all zero, or the first transparent entry), on
// any other the colour of palette entry `background` (the index itself at 8 bits).
uint32_t ErasedValue(const PaintTarget& image, int background);
// Whether erasing leaves a pixel transparent rather than in the background colour.
bool ErasesToTransparent(const PaintTarget& image);

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
// 1, 3 or 4 bytes per pixel.
void StretchNearest(const uint8_t* src, int srcWidth, int srcHeight, uint8_t* dst, int dstWidth,
                    int dstHeight, int bytesPerPixel);

// Depth conversions. The new blocks are made as for a new image of the size (AllocateImage), so the
// new header is the model's own with only biYPelsPerMeter carried over. On success the old blocks
// are released (unless `releaseOld` is false and the caller keeps them) and the new ones stored
// through the two addresses; when memory is short they return false and leave pointers and blocks
// untouched.
// Expand8To24 gives each pixel its entry's colour; with an entry alpha block that is not all
// opaque the result has 32 bits and each pixel its entry's opacity (a fully transparent one is all
// zero).
bool Expand8To24(uint8_t** bits, BITMAPINFOHEADER** header, bool releaseOld = true,
                 const uint8_t* entryAlpha = nullptr);
// From 24 or 32 bits to the nearest entries of `palette` (a copy of which becomes the colour table).
// With `entryAlpha` only its opaque entries are matched, and a fully transparent 32-bit pixel takes
// the first fully transparent entry; without one, or on an image that has no such entry, a pixel
// that is not opaque is matched by its colour composited over white.
bool Reduce24To8(uint8_t** bits, BITMAPINFOHEADER** header, const RGBQUAD* palette,
                 const uint8_t* entryAlpha = nullptr, bool releaseOld = true);
// Between 24 and 32 bits: to 32 every pixel becomes opaque; to 24 each pixel is composited over
// white. Nothing is made when the image already has `bitCount` bits (true is returned).
bool ConvertTrueColour(uint8_t** bits, BITMAPINFOHEADER** header, int bitCount, bool releaseOld = true);
// Whether any pixel of a 32-bit image, or any entry an 8-bit image's pixels use, is less than
// opaque. False for 24 bits.
bool HasTransparentPixels(const BITMAPINFOHEADER& header, const uint8_t* bits, const uint8_t* entryAlpha);

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

// Block copy and fill, starting at byte row * stride + x * bytesPerPixel; no clipping. The fill's
// value is an index (1 byte), 0x00RRGGBB (3) or 0xAARRGGBB (4).
void CopyBlock(const uint8_t* src, int x, int row, int srcStride, int width, int rows, int bytesPerPixel,
               uint8_t* dst, int dstStride);
void FillBlock(uint8_t* bits, int x, int row, int stride, int width, int rows, int bytesPerPixel,
               uint32_t value);
