// Whole-image operations on the blocks of image_buffer.h: a new canvas size, a rescale, flips,
// rotations and crops, and the checks and conversions that go with reducing a 24-bit image to 256
// colours.
//
// Each operation builds new blocks from the old ones. It either succeeds completely (the old block
// is released, the new one stored through the pointer, the header updated) or returns a status
// and leaves header, pointers and blocks exactly as they were.
#pragma once

#include <cstdint>

#include "document/image_buffer.h"
#include "document/pixel_routines.h"

// Gives the image a canvas of width x height pixels without scaling. The picture keeps its
// bottom-left corner: growing adds zero bytes (index 0, black, or at 32 bits transparent pixels)
// along the top and the right, shrinking cuts rows off the top and columns off the right. Sets
// biWidth, biHeight, the stride in biXPelsPerMeter and biSizeImage to the new block's size.
ImageStatus ResizeCanvas(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height);

// Rescales the image to width x height pixels by nearest neighbour (StretchNearest); the header
// fields change as for ResizeCanvas.
ImageStatus ResizeImage(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height);

// The same two operations, except that on success the old rows are left to the caller, who has
// kept their address (for undo), instead of being released. The new pixels of the canvas have the
// value `fill` (FillBlock's).
ImageStatus ResizeCanvasKeepingRows(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height,
                                    uint32_t fill = 0);
ImageStatus ResizeImageKeepingRows(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height);

// The operations below change the header in place and store new rows through `bits`, leaving the
// old rows to the caller (who has kept their address, for undo); on failure nothing changes.

// Where Resize Canvas puts the old picture: one of the nine places of a 3 x 3 grid, by column
// (left, centre, right) and row (top, middle, bottom).
enum class CanvasAnchor {
    TopLeft,
    Top,
    TopRight,
    Left,
    Centre,
    Right,
    BottomLeft,
    Bottom,
    BottomRight,
};
// The place of the old picture's top-left corner on a new canvas of width x height (y from the
// top, negative where the picture is cut): against the anchor's sides, or centred between them
// (the odd pixel of the difference added or cut at the right and the bottom).
void CanvasOffset(CanvasAnchor anchor, int64_t oldWidth, int64_t oldHeight, int64_t width, int64_t height,
                  int64_t* left, int64_t* top);
// A canvas of width x height with the old picture's top-left corner at (left, top) (y from the
// top); the rest has the value `fill` (FillBlock's). Resize Canvas, Crop to Selection and Autocrop
// are all this.
ImageStatus PlaceOnCanvasKeepingRows(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height,
                                     int64_t left, int64_t top, uint32_t fill = 0);
// The picture flipped or rotated; a turn by 90 degrees swaps width and height.
ImageStatus TurnImageKeepingRows(BITMAPINFOHEADER* header, uint8_t** bits, Turn turn);
// Where a rectangle of a width x height picture (y from the top, normalised) lies after `turn`.
RECT TurnRect(const RECT& rect, int width, int height, Turn turn);
// Rescales a 24-bit image (or one with 4 bytes a pixel) smoothly (ResampleSmooth); other depths
// are refused with BadDepth.
ImageStatus ResizeSmoothKeepingRows(BITMAPINFOHEADER* header, uint8_t** bits, int64_t width, int64_t height);

// The part of the picture that Autocrop keeps (y from the top): without the border rows and
// columns that are all the colour of the image's corners (the colour most of the four corners
// share, the top-left one when no two do), or all transparent: every pixel of alpha 0, at 32 bits,
// or of an entry whose opacity in `entryAlpha` (null when all are opaque) is 0, at 8 bits, counts
// as the same colour. The whole image when no border can go; an empty rectangle when every pixel
// is that colour.
RECT AutocropArea(const BITMAPINFOHEADER& header, const uint8_t* bits, const uint8_t* entryAlpha = nullptr);

// A copy of an image (header block, with the colour table for 8 bit, and rows) magnified `factor`
// times by pixel replication. Nothing is made when the size is past the model's limits or memory
// is short; the status says which.
ImageStatus MagnifiedCopy(const BITMAPINFOHEADER& header, const uint8_t* bits, int factor,
                          BITMAPINFOHEADER** copyHeader, uint8_t** copyBits);

// True when `result` and `bits` are what a reduction of `source` must deliver: an 8-bit image the
// program can hold (stride matching the width), of the source's width and height, with rows of its
// own (not null and not the source rows `sourceBits`).
bool IsReducedImage(const BITMAPINFOHEADER* result, const uint8_t* bits, const BITMAPINFOHEADER& source,
                    const uint8_t* sourceBits);

// Puts a floating image onto `palette`, the colour table of an 8-bit image with the entry alpha
// `entryAlpha` (may be null), so that dropping it later writes indices into that image: a 24 or
// 32-bit block becomes 8-bit with the nearest entry for every pixel (Reduce24To8); an 8-bit block,
// whose own entries have the opacities `ownAlpha` (may be null), has each index replaced by the
// entry nearest to its colour among those as opaque (a fully transparent entry by the image's first
// fully transparent entry, when it has one) and takes `palette` as its colour table. False, with
// nothing changed, when memory is short or the block is not one the program can hold.
bool MapOntoPalette(BITMAPINFOHEADER** header, uint8_t** bits, const RGBQUAD* palette,
                    const uint8_t* entryAlpha = nullptr, const uint8_t* ownAlpha = nullptr);
