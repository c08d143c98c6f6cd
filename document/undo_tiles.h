// The pixels a partial change overwrites, kept for undo in square tiles of the image.
//
// A tile is copied the first time anything inside it is about to change, so a brush stroke keeps
// only the tiles along its path. When the change is over, the tiles that ended as they began are
// dropped. Exchanging the kept tiles with the image's pixels takes the change back; exchanging
// them again brings it back.
//
// A change that announces the whole image at once (a clear of everything) is copied in one block
// instead. When it is over, the tiles it changed are cut out of that block, unless at least three
// quarters of them changed: then the block stays whole, and taking the change back exchanges it
// with the image's rows as a whole, without copying.
//
// A flood fill keeps no pixels at all (CFillMask): every pixel it paints goes from the same old
// value to the same new one, so one bit per pixel, in the tiles it reaches, says what it changed.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "document/image_buffer.h"

class CTileStore {
public:
    static constexpr int kTileSize = 64;  // pixels along each side; less along the right and bottom

    // An empty store for the image this header describes (its size, depth and stride).
    explicit CTileStore(const BITMAPINFOHEADER& header);

    // Copies from `bits` the tiles under `area` that are not kept yet. The area is in image
    // coordinates (y from the top, right and bottom exclusive) and is clipped to the image. False,
    // with nothing more copied, when memory ran out or the store would hold more than `limit` bytes;
    // what was copied before stays. A tile already kept is found in constant time.
    bool Save(const uint8_t* bits, const RECT& area, uint64_t limit);
    // Ends the recording: what ended as it began, compared with `bits`, is dropped, and nothing
    // more is saved. False when memory ran out (the store is then empty).
    bool DropUnchanged(const uint8_t* bits);
    // Exchanges what is kept with the image's pixels. A whole block is exchanged with the rows
    // themselves: `*bits` then points at the block, and the store holds the image's old rows (both
    // made with malloc, released with free). Returns the area exchanged (empty when none).
    RECT Swap(uint8_t** bits);

    // Whether `header` describes an image of the size, depth and stride the store was made for.
    bool Fits(const BITMAPINFOHEADER& header) const;
    bool Empty() const { return m_tiles.empty() && !m_whole; }
    // The memory the store holds: tiles or block and, while recording, its table of kept tiles.
    uint64_t Bytes() const { return m_bytes; }

private:
    struct Tile {
        int32_t left, top, width, height;   // in image pixels, y from the top
        std::unique_ptr<uint8_t[]> pixels;  // its rows from the top, width * bytes per pixel each
    };
    struct Free {
        void operator()(uint8_t* block) const { std::free(block); }
    };

    Tile TileAt(int32_t column, int32_t row) const;
    // Where row `y` of `tile` (counted from the tile's top) starts in the image's block.
    int64_t ImageOffset(const Tile& tile, int32_t y) const;
    size_t RowBytes(const Tile& tile) const { return static_cast<size_t>(tile.width) * m_bytesPerPixel; }
    // Calls visit(index, y) for every row y of every tile in `tiles`, band by band of tiles that
    // share their top, so the image's rows are visited in order.
    template <class Visit>
    static void ForEachRowInBands(const std::vector<Tile>& tiles, Visit visit);
    void CountBytes();

    int32_t m_width;
    int32_t m_height;
    int32_t m_bytesPerPixel;
    int64_t m_stride;
    int32_t m_columns;            // tiles across
    int32_t m_rows;               // tiles down
    std::vector<uint8_t> m_kept;  // per tile, row by row: 1 once copied; emptied when recording ends
    std::vector<Tile> m_tiles;    // ordered by top, then left, once recording ends
    std::unique_ptr<uint8_t, Free> m_whole;  // a copy of all the rows, when the whole image was saved
    uint64_t m_bytes = 0;
};

class CFillMask {
public:
    // An empty mask for the image this header describes.
    explicit CFillMask(const BITMAPINFOHEADER& header);

    // Marks row y (from the top) from firstX to lastX (inclusive, inside the image) as painted.
    // False, with the run not marked, when memory ran out or the mask would hold more than
    // `limit` bytes.
    bool Mark(int32_t y, int32_t firstX, int32_t lastX, uint64_t limit);
    // Ends the recording: every marked pixel went from `before` to `after` (one pixel's bytes each).
    void Finish(const uint8_t* before, const uint8_t* after);
    // Exchanges each marked pixel's value for the other of the two, which takes the fill back and,
    // again, brings it back. Returns the area of the marked pixels (empty when none).
    RECT Swap(uint8_t* bits) const;

    bool Fits(const BITMAPINFOHEADER& header) const;
    bool Empty() const { return m_tiles.empty(); }
    // The memory the mask holds: its tiles and, while recording, its table of them.
    uint64_t Bytes() const { return m_bytes; }

private:
    struct Tile {
        int32_t left, top;                                 // in image pixels, y from the top
        std::array<uint64_t, CTileStore::kTileSize> rows;  // bit x of rows[y]: pixel (left + x, top + y)
    };

    int32_t m_width;
    int32_t m_height;
    int32_t m_bytesPerPixel;
    int64_t m_stride;
    int32_t m_columns;             // tiles across
    std::vector<int32_t> m_index;  // per tile of the image, its place in m_tiles or -1; while recording
    std::vector<std::unique_ptr<Tile>> m_tiles;  // ordered by top, then left, once recording ends
    RECT m_area{0, 0, 0, 0};
    uint8_t m_difference[4]{};  // old value ^ new value, per byte of a pixel
    uint64_t m_bytes = 0;
};
