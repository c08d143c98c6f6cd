// The pixels a partial change overwrites, kept for undo in square tiles of the image.
//
// A tile is copied the first time anything inside it is about to change, so a brush stroke keeps
// only the tiles along its path. When the change is over, the tiles that ended as they began are
// dropped (a fill announces the whole image but changes only its area). Exchanging the kept tiles
// with the image's pixels takes the change back; exchanging them again brings it back.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "document/image_buffer.h"

class CTileStore {
public:
    static constexpr int kTileSize = 64;  // pixels along each side; less along the right and bottom

    // An empty store for the image this header describes (its size, depth and stride).
    explicit CTileStore(const BITMAPINFOHEADER& header);

    // Copies from `bits` the tiles under `area` that are not kept yet. The area is in image
    // coordinates (y from the top, right and bottom exclusive) and is clipped to the image. False
    // when memory ran out; the tiles copied so far stay.
    bool Save(const uint8_t* bits, const RECT& area);
    // Ends the recording: the tiles whose pixels equal those in `bits` are dropped, and no tile is
    // saved any more.
    void DropUnchanged(const uint8_t* bits);
    // Exchanges every kept tile with the pixels under it in `bits`; returns the area they cover
    // (empty when there are none).
    RECT Swap(uint8_t* bits);

    // Whether `header` describes an image of the size, depth and stride the store was made for.
    bool Fits(const BITMAPINFOHEADER& header) const;
    bool Empty() const { return m_tiles.empty(); }
    // The memory the store holds: the tiles and, while recording, its table of kept tiles.
    uint64_t Bytes() const { return m_bytes; }

private:
    struct Tile {
        int32_t left, top, width, height;   // in image pixels, y from the top
        std::unique_ptr<uint8_t[]> pixels;  // its rows from the top, width * bytes per pixel each
    };

    // Where the tile's row `y` (counted from the tile's top) starts in the image's block.
    int64_t ImageOffset(const Tile& tile, int32_t y) const;
    size_t RowBytes(const Tile& tile) const { return static_cast<size_t>(tile.width) * m_bytesPerPixel; }

    int32_t m_width;
    int32_t m_height;
    int32_t m_bytesPerPixel;
    int64_t m_stride;
    int32_t m_columns;            // tiles across
    std::vector<uint8_t> m_kept;  // per tile, row by row: 1 once copied; emptied when recording ends
    std::vector<Tile> m_tiles;
    uint64_t m_bytes = 0;
};
