#include "document/undo_tiles.h"

#include <algorithm>
#include <bit>
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

bool CTileStore::Save(const uint8_t* bits, const RECT& area, uint64_t limit) {
    const int32_t left = std::max(area.left, 0);
    const int32_t top = std::max(area.top, 0);
    const int32_t right = std::min(area.right, m_width);
    const int32_t bottom = std::min(area.bottom, m_height);
    if (left >= right || top >= bottom || m_kept.empty()) return true;

    if (left == 0 && top == 0 && right == m_width && bottom == m_height && m_tiles.empty() && !m_whole) {
        const uint64_t bytes = static_cast<uint64_t>(m_stride) * m_height;
        if (m_bytes + bytes > limit) return false;
        m_whole.reset(static_cast<uint8_t*>(std::malloc(bytes)));
        if (!m_whole) return false;
        std::memcpy(m_whole.get(), bits, bytes);
        std::fill(m_kept.begin(), m_kept.end(), 1);
        m_bytes += bytes;
        return true;
    }

    // The tiles not kept yet and what they take, decided before anything is copied.
    const int32_t firstColumn = left / kTileSize, lastColumn = (right - 1) / kTileSize;
    const int32_t firstRow = top / kTileSize, lastRow = (bottom - 1) / kTileSize;
    uint64_t bytes = 0;
    size_t count = 0;
    for (int32_t ty = firstRow; ty <= lastRow; ++ty) {
        for (int32_t tx = firstColumn; tx <= lastColumn; ++tx) {
            if (m_kept[static_cast<size_t>(ty) * m_columns + tx]) continue;
            const Tile tile = TileAt(tx, ty);
            bytes += RowBytes(tile) * tile.height + sizeof(Tile);
            ++count;
        }
    }
    if (count == 0) return true;
    if (m_bytes + bytes > limit) return false;

    // Make the new tiles first, then copy their rows in the image's order.
    std::vector<Tile> added;
    added.reserve(count);
    for (int32_t ty = firstRow; ty <= lastRow; ++ty) {
        for (int32_t tx = firstColumn; tx <= lastColumn; ++tx) {
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
    m_bytes += bytes;
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

// --- Fill masks ----------------------------------------------------------------------------------

CFillMask::CFillMask(const BITMAPINFOHEADER& header)
    : m_width(header.biWidth),
      m_height(header.biHeight),
      m_bytesPerPixel(header.biBitCount / 8),
      m_stride(header.biXPelsPerMeter),
      m_columns((header.biWidth + CTileStore::kTileSize - 1) / CTileStore::kTileSize) {
    const int32_t rows = (header.biHeight + CTileStore::kTileSize - 1) / CTileStore::kTileSize;
    m_index.assign(static_cast<size_t>(m_columns) * rows, -1);
    m_bytes = m_index.size() * sizeof(int32_t);
}

bool CFillMask::Mark(int32_t y, int32_t firstX, int32_t lastX, uint64_t limit) {
    constexpr int32_t kSize = CTileStore::kTileSize;
    const int32_t row = y / kSize;
    for (int32_t column = firstX / kSize; column <= lastX / kSize; ++column) {
        int32_t& index = m_index[static_cast<size_t>(row) * m_columns + column];
        if (index < 0) {
            if (m_bytes + sizeof(Tile) + sizeof(Tile*) > limit) return false;
            std::unique_ptr<Tile> tile(new (std::nothrow) Tile{column * kSize, row * kSize, {}});
            if (!tile) return false;
            try {
                m_tiles.push_back(std::move(tile));
            } catch (const std::bad_alloc&) {
                return false;
            }
            index = static_cast<int32_t>(m_tiles.size() - 1);
            m_bytes += sizeof(Tile) + sizeof(Tile*);
        }
        Tile& tile = *m_tiles[static_cast<size_t>(index)];
        const int32_t from = std::max(firstX, tile.left) - tile.left;
        const int32_t to = std::min(lastX, tile.left + kSize - 1) - tile.left;
        tile.rows[static_cast<size_t>(y - tile.top)] |= (~uint64_t{0} >> (63 - (to - from))) << from;
    }
    m_area = UnionRect(m_area, RECT{firstX, y, lastX + 1, y + 1});
    return true;
}

void CFillMask::Finish(const uint8_t* before, const uint8_t* after) {
    for (size_t i = 0; i < sizeof m_difference && i < size_t(m_bytesPerPixel); ++i)
        m_difference[i] = before[i] ^ after[i];
    m_bytes -= m_index.size() * sizeof(int32_t);
    m_index = {};
    // In the image's order, so an exchange walks its rows one after another.
    std::sort(m_tiles.begin(), m_tiles.end(), [](const auto& a, const auto& b) {
        return a->top != b->top ? a->top < b->top : a->left < b->left;
    });
}

namespace {

void Exchange(uint8_t* __restrict pixels, const uint8_t* __restrict difference, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i)
        pixels[i] ^= difference[i];
}

}  // namespace

RECT CFillMask::Swap(uint8_t* bits) const {
    constexpr int32_t kSize = CTileStore::kTileSize;
    // The difference for a whole tile row, so a run of pixels is one loop over bytes.
    uint8_t pattern[kSize * sizeof m_difference];
    for (size_t i = 0; i < size_t(kSize) * m_bytesPerPixel; ++i)
        pattern[i] = m_difference[i % m_bytesPerPixel];
    for (size_t first = 0; first < m_tiles.size();) {
        size_t end = first + 1;
        while (end < m_tiles.size() && m_tiles[end]->top == m_tiles[first]->top)
            ++end;
        const int32_t top = m_tiles[first]->top;
        for (int32_t y = 0; y < kSize && top + y < m_height; ++y) {
            // Rows are stored bottom-up.
            uint8_t* row = bits + (m_height - 1 - (top + y)) * m_stride;
            for (size_t i = first; i < end; ++i) {
                const Tile& tile = *m_tiles[i];
                uint64_t word = tile.rows[static_cast<size_t>(y)];
                uint8_t* pixels = row + static_cast<int64_t>(tile.left) * m_bytesPerPixel;
                while (word) {
                    const int from = std::countr_zero(word);
                    const uint64_t rest = word >> from;
                    const int length = ~rest ? std::countr_zero(~rest) : kSize - from;
                    Exchange(pixels + from * m_bytesPerPixel, pattern, size_t(length) * m_bytesPerPixel);
                    word = from + length == kSize ? 0 : word & (~uint64_t{0} << (from + length));
                }
            }
        }
        first = end;
    }
    return m_area;
}

bool CFillMask::Fits(const BITMAPINFOHEADER& header) const {
    return header.biWidth == m_width && header.biHeight == m_height &&
           header.biBitCount / 8 == m_bytesPerPixel && header.biXPelsPerMeter == m_stride;
}
