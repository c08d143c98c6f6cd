// Reduced copies of an image for the zoomed-out editing view. At 1:n the image is cut into n x n
// blocks from its top-left corner (the blocks along the right and bottom edges hold what is left)
// and each block becomes one pixel of the mean colour of its image pixels: the mean of each of red,
// green and blue, rounded half up; an 8-bit pixel counts with its palette colour. Reduced pixels
// are 0xAARRGGBB words, top row first, as the view's off-screen surface holds them: opaque for an
// opaque image. Where pixels are transparent (32 bits, or 8 bits with entry opacities) the alpha is
// the rounded mean of the alphas and each colour the mean weighed by them (the mean of the
// premultiplied colours, straight again), so transparent pixels add no colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "document/image_buffer.h"

// The largest divisor the reduction takes.
constexpr int kMaxShrink = 32;

// A bottom-up 8, 24 or 32-bit pixel block with the colours (and opacities, which may be null) of an
// 8-bit one.
struct PixelBlock {
    const BITMAPINFOHEADER* header;
    const RGBQUAD* palette;
    const uint8_t* bits;
    const uint8_t* entryAlpha = nullptr;
};

// A block laid over the image, opaque, with its top-left corner at image pixel (x, y); only the
// part over the image counts.
struct FloatingBlock {
    PixelBlock block;
    int x;
    int y;
};

// The blocks in `blocks` (block columns and rows, right and bottom exclusive) of `image` at 1:n,
// with `floating` laid over it when it is not null, written to `out` (the first block of the range
// at out[0], rows `stride` pixels apart). Blocks outside the image are not written. n is 1 to
// kMaxShrink.
void ReduceBlocks(const PixelBlock& image, const FloatingBlock* floating, int n, const RECT& blocks,
                  uint32_t* out, ptrdiff_t stride);

// The reduced pictures of one image, kept in tiles of kTileSide x kTileSide reduced pixels, each
// made the first time the view draws it and made again where the image changed since. The tiles of
// all images together keep to Limit() bytes: past it the tiles drawn longest ago go, never those of
// the drawing going on, so the pictures on screen stay and the rest is bounded.
class CReducedCopies {
public:
    static constexpr int kTileSide = 256;
    static constexpr uint64_t kDefaultLimit = uint64_t{128} << 20;

    CReducedCopies();
    ~CReducedCopies();
    CReducedCopies(const CReducedCopies&) = delete;
    CReducedCopies& operator=(const CReducedCopies&) = delete;

    // Writes the blocks in `blocks` (block columns and rows, right and bottom exclusive) of `image`
    // at 1:n to `out` (the first block of the range at out[0], rows `stride` pixels apart), from the
    // tiles, made or brought up to date first; blocks outside the image are not written. Tiles of an
    // image of another size, depth, pixel block or palette are dropped first. Where memory is short
    // the blocks come straight from the image. n is 2 to kMaxShrink.
    void Draw(const PixelBlock& image, int n, const RECT& blocks, uint32_t* out, ptrdiff_t stride);
    // Image pixels in `area` (x from the left, y from the top, right and bottom exclusive) have
    // changed: the tiles over them are made again the next time they are drawn.
    void Touch(const RECT& area);
    void Clear();
    // The memory the tiles of this image hold, and those of all images.
    uint64_t Bytes() const { return m_bytes; }
    static uint64_t AllBytes();
    static uint64_t Limit();
    static void SetLimit(uint64_t bytes);

private:
    struct Tile {
        int shrink, column, row, width, height;
        uint64_t lastUse;  // the drawing that last used it
        RECT stale;        // image pixels under it changed since its blocks over them were reduced
        std::unique_ptr<uint32_t[]> pixels;
    };

    bool SameImage(const PixelBlock& image) const;
    // Drops the tiles drawn longest ago, of all images, until they fit the limit; those drawn at
    // or after `keepFrom` stay.
    static void Enforce(uint64_t keepFrom);
    void Drop(size_t index);

    std::vector<Tile> m_tiles;
    uint64_t m_bytes = 0;
    RECT m_stale{0, 0, 0, 0};  // image pixels changed since the last drawing
    // What the tiles were made from.
    BITMAPINFOHEADER m_header{};
    const uint8_t* m_bits = nullptr;
    RGBQUAD m_palette[kPaletteEntries]{};
    uint8_t m_entryAlpha[kPaletteEntries]{};
};
