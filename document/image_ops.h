// Whole-image operations on the blocks of image_buffer.h: a new canvas size, a nearest-neighbour
// rescale, and the checks and conversions that go with reducing a 24-bit image to 256 colours.
//
// Each operation builds new blocks from the old ones. It either succeeds completely (the old block
// is released, the new one stored through the pointer, the header updated) or returns a status
// and leaves header, pointers and blocks exactly as they were.
#pragma once

#include <cstdint>

#include "document/image_buffer.h"

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
