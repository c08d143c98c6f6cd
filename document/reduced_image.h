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

// One reduced copy per divisor of one image, each made on first use and recomputed where the
// image changed since it was last used.
class CReducedCopies {
public:
    struct Copy {
        int shrink = 0;
        int width = 0;  // ceil(image width / shrink)
        int height = 0;
        std::unique_ptr<uint32_t[]> pixels;
        RECT stale{0, 0, 0, 0};  // image pixels changed since the blocks over them were reduced

        const uint32_t* Row(int y) const { return pixels.get() + static_cast<ptrdiff_t>(y) * width; }
    };

    // The copy of `image` at 1:n, up to date; made now when there is none, null when memory is
    // short. Copies of an image of another size, depth, pixel block or palette are dropped first.
    // The copy stays where it is until the next call.
    const Copy* Level(const PixelBlock& image, int n);
    // Image pixels in `area` (x from the left, y from the top, right and bottom exclusive) have
    // changed: every copy reduces the blocks over them again the next time it is used.
    void Touch(const RECT& area);
    void Clear();
    size_t Count() const { return m_copies.size(); }

private:
    bool SameImage(const PixelBlock& image) const;

    std::vector<Copy> m_copies;
    // What the copies were made from.
    BITMAPINFOHEADER m_header{};
    const uint8_t* m_bits = nullptr;
    RGBQUAD m_palette[kPaletteEntries]{};
    uint8_t m_entryAlpha[kPaletteEntries]{};
};
