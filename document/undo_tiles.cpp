#include "document/undo_tiles.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "document/pixel_routines.h"

CTileStore::CTileStore(const BITMAPINFOHEADER& header)
    : m_width(header.biWidth),
      m_height(header.biHeight),
      m_bytesPerPixel(header.biBitCount / 8),
      m_stride(header.biXPelsPerMeter),
      m_columns((header.biWidth + kTileSize - 1) / kTileSize),
      m_rows((header.biHeight + kTileSize - 1) / kTileSize) {
    m_kept.assign(static_cast<size_t>(m_columns) * m_rows, 0);
    CountBytes();
}

CTileStore::Tile CTileStore::TileAt(int32_t column, int32_t row) const {
    const int32_t left = column * kTileSize;
    const int32_t top = row * kTileSize;
    return Tile{left, top, std::min(kTileSize, m_width - left), std::min(kTileSize, m_height - top), nullptr};
}

int64_t CTileStore::ImageOffset(const Tile& tile, int32_t y) const {
    // Rows are stored bottom-up.
    return (m_height - 1 - (tile.top + y)) * m_stride + static_cast<int64_t>(tile.left) * m_bytesPerPixel;
}

template <class Visit>
void CTileStore::ForEachRowInBands(const std::vector<Tile>& tiles, Visit visit) {
    for (size_t first = 0; first < tiles.size();) {
        size_t end = first + 1;
        while (end < tiles.size() && tiles[end].top == tiles[first].top)
            ++end;
        for (int32_t y = 0; y < tiles[first].height; ++y)
            for (size_t i = first; i < end; ++i)
                visit(i, y);
        first = end;
    }
}

void CTileStore::CountBytes() {
    m_bytes = m_kept.size() + (m_whole ? static_cast<uint64_t>(m_stride) * m_height : 0);
    for (const Tile& tile : m_tiles)
        m_bytes += RowBytes(tile) * tile.height + sizeof(Tile);
}

bool CTileStore::Save(const uint8_t* bits, const RECT& area) {
    const int32_t left = std::max(area.left, 0);
    const int32_t top = std::max(area.top, 0);
    const int32_t right = std::min(area.right, m_width);
    const int32_t bottom = std::min(area.bottom, m_height);
    if (left >= right || top >= bottom || m_kept.empty()) return true;

    if (left == 0 && top == 0 && right == m_width && bottom == m_height && m_tiles.empty() && !m_whole) {
        const size_t bytes = static_cast<size_t>(m_stride) * m_height;
        m_whole.reset(static_cast<uint8_t*>(std::malloc(bytes)));
        if (!m_whole) return false;
        std::memcpy(m_whole.get(), bits, bytes);
        std::fill(m_kept.begin(), m_kept.end(), 1);
        CountBytes();
        return true;
    }

    // Make the new tiles first, then copy their rows in the image's order.
    std::vector<Tile> added;
    for (int32_t ty = top / kTileSize; ty <= (bottom - 1) / kTileSize; ++ty) {
        for (int32_t tx = left / kTileSize; tx <= (right - 1) / kTileSize; ++tx) {
            if (m_kept[static_cast<size_t>(ty) * m_columns + tx]) continue;
            Tile tile = TileAt(tx, ty);
            tile.pixels.reset(new (std::nothrow) uint8_t[RowBytes(tile) * tile.height]);
            if (!tile.pixels) return false;
            added.push_back(std::move(tile));
        }
    }
    ForEachRowInBands(added, [&](size_t i, int32_t y) {
        const Tile& tile = added[i];
        std::memcpy(tile.pixels.get() + y * RowBytes(tile), bits + ImageOffset(tile, y), RowBytes(tile));
    });
    for (Tile& tile : added) {
        m_kept[static_cast<size_t>(tile.top / kTileSize) * m_columns + tile.left / kTileSize] = 1;
        m_tiles.push_back(std::move(tile));
    }
    CountBytes();
    return true;
}

bool CTileStore::DropUnchanged(const uint8_t* bits) {
    m_kept = {};
    if (m_whole) {
        // Which tiles changed, through the image row by row.
        std::vector<uint8_t> changed(static_cast<size_t>(m_columns) * m_rows, 0);
        size_t count = 0;
        const size_t rowBytes = static_cast<size_t>(m_width) * m_bytesPerPixel;
        for (int32_t y = 0; y < m_height; ++y) {
            const int64_t row = (m_height - 1 - y) * m_stride;
            if (std::memcmp(m_whole.get() + row, bits + row, rowBytes) == 0) continue;
            uint8_t* band = &changed[static_cast<size_t>(y / kTileSize) * m_columns];
            for (int32_t tx = 0; tx < m_columns; ++tx) {
                if (band[tx]) continue;
                const Tile tile = TileAt(tx, y / kTileSize);
                const int64_t at = row + static_cast<int64_t>(tile.left) * m_bytesPerPixel;
                if (std::memcmp(m_whole.get() + at, bits + at, RowBytes(tile)) == 0) continue;
                band[tx] = 1;
                ++count;
            }
        }
        if (count * 4 < changed.size() * 3) {
            // Cut the tiles that changed out of the block.
            for (int32_t ty = 0; ty < m_rows; ++ty) {
                for (int32_t tx = 0; tx < m_columns; ++tx) {
                    if (!changed[static_cast<size_t>(ty) * m_columns + tx]) continue;
                    Tile tile = TileAt(tx, ty);
                    tile.pixels.reset(new (std::nothrow) uint8_t[RowBytes(tile) * tile.height]);
                    if (!tile.pixels) {
                        m_tiles.clear();
                        m_whole.reset();
                        CountBytes();
                        return false;
                    }
                    m_tiles.push_back(std::move(tile));
                }
            }
            ForEachRowInBands(m_tiles, [&](size_t i, int32_t y) {
                const Tile& tile = m_tiles[i];
                std::memcpy(tile.pixels.get() + y * RowBytes(tile), m_whole.get() + ImageOffset(tile, y),
                            RowBytes(tile));
            });
            m_whole.reset();
        }
    } else {
        std::sort(m_tiles.begin(), m_tiles.end(), [](const Tile& a, const Tile& b) {
            return a.top != b.top ? a.top < b.top : a.left < b.left;
        });
        std::vector<uint8_t> changed(m_tiles.size(), 0);
        ForEachRowInBands(m_tiles, [&](size_t i, int32_t y) {
            const Tile& tile = m_tiles[i];
            if (!changed[i])
                changed[i] = std::memcmp(tile.pixels.get() + y * RowBytes(tile), bits + ImageOffset(tile, y),
                                         RowBytes(tile)) != 0;
        });
        size_t kept = 0;
        for (size_t i = 0; i < m_tiles.size(); ++i) {
            if (changed[i]) m_tiles[kept++] = std::move(m_tiles[i]);
        }
        m_tiles.resize(kept);
        m_tiles.shrink_to_fit();
    }
    CountBytes();
    return true;
}

RECT CTileStore::Swap(uint8_t** bits) {
    if (m_whole) {
        uint8_t* rows = m_whole.release();
        std::swap(rows, *bits);
        m_whole.reset(rows);
        return RECT{0, 0, m_width, m_height};
    }
    uint8_t spare[kTileSize * 4];  // a tile row of up to 4 bytes a pixel
    ForEachRowInBands(m_tiles, [&](size_t i, int32_t y) {
        const Tile& tile = m_tiles[i];
        const size_t rowBytes = RowBytes(tile);
        uint8_t* kept = tile.pixels.get() + y * rowBytes;
        uint8_t* image = *bits + ImageOffset(tile, y);
        std::memcpy(spare, kept, rowBytes);
        std::memcpy(kept, image, rowBytes);
        std::memcpy(image, spare, rowBytes);
    });
    RECT area{0, 0, 0, 0};
    for (const Tile& tile : m_tiles)
        area = UnionRect(area, RECT{tile.left, tile.top, tile.left + tile.width, tile.top + tile.height});
    return area;
}

bool CTileStore::Fits(const BITMAPINFOHEADER& header) const {
    return header.biWidth == m_width && header.biHeight == m_height &&
           header.biBitCount / 8 == m_bytesPerPixel && header.biXPelsPerMeter == m_stride;
}
