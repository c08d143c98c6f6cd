#include "document/undo_tiles.h"

#include <algorithm>
#include <cstring>
#include <new>

CTileStore::CTileStore(const BITMAPINFOHEADER& header)
    : m_width(header.biWidth),
      m_height(header.biHeight),
      m_bytesPerPixel(header.biBitCount / 8),
      m_stride(header.biXPelsPerMeter),
      m_columns((header.biWidth + kTileSize - 1) / kTileSize) {
    const int32_t rows = (header.biHeight + kTileSize - 1) / kTileSize;
    m_kept.assign(static_cast<size_t>(m_columns) * rows, 0);
    m_bytes = m_kept.size();
}

int64_t CTileStore::ImageOffset(const Tile& tile, int32_t y) const {
    // Rows are stored bottom-up.
    return (m_height - 1 - (tile.top + y)) * m_stride + static_cast<int64_t>(tile.left) * m_bytesPerPixel;
}

bool CTileStore::Save(const uint8_t* bits, const RECT& area) {
    const int32_t left = std::max(area.left, 0);
    const int32_t top = std::max(area.top, 0);
    const int32_t right = std::min(area.right, m_width);
    const int32_t bottom = std::min(area.bottom, m_height);
    if (left >= right || top >= bottom || m_kept.empty()) return true;
    for (int32_t ty = top / kTileSize; ty <= (bottom - 1) / kTileSize; ++ty) {
        for (int32_t tx = left / kTileSize; tx <= (right - 1) / kTileSize; ++tx) {
            uint8_t& kept = m_kept[static_cast<size_t>(ty) * m_columns + tx];
            if (kept) continue;
            Tile tile{tx * kTileSize, ty * kTileSize, std::min(kTileSize, m_width - tx * kTileSize),
                      std::min(kTileSize, m_height - ty * kTileSize), nullptr};
            const size_t rowBytes = RowBytes(tile);
            tile.pixels.reset(new (std::nothrow) uint8_t[rowBytes * tile.height]);
            if (!tile.pixels) return false;
            for (int32_t y = 0; y < tile.height; ++y)
                std::memcpy(tile.pixels.get() + y * rowBytes, bits + ImageOffset(tile, y), rowBytes);
            m_bytes += rowBytes * tile.height + sizeof(Tile);
            m_tiles.push_back(std::move(tile));
            kept = 1;
        }
    }
    return true;
}

void CTileStore::DropUnchanged(const uint8_t* bits) {
    const auto unchanged = [&](const Tile& tile) {
        const size_t rowBytes = RowBytes(tile);
        for (int32_t y = 0; y < tile.height; ++y) {
            if (std::memcmp(tile.pixels.get() + y * rowBytes, bits + ImageOffset(tile, y), rowBytes) != 0)
                return false;
        }
        return true;
    };
    m_tiles.erase(std::remove_if(m_tiles.begin(), m_tiles.end(), unchanged), m_tiles.end());
    m_tiles.shrink_to_fit();
    m_kept = {};
    m_bytes = 0;
    for (const Tile& tile : m_tiles)
        m_bytes += RowBytes(tile) * tile.height + sizeof(Tile);
}

RECT CTileStore::Swap(uint8_t* bits) {
    RECT area{0, 0, 0, 0};
    uint8_t spare[kTileSize * 3];
    for (const Tile& tile : m_tiles) {
        const size_t rowBytes = RowBytes(tile);
        for (int32_t y = 0; y < tile.height; ++y) {
            uint8_t* kept = tile.pixels.get() + y * rowBytes;
            uint8_t* image = bits + ImageOffset(tile, y);
            std::memcpy(spare, kept, rowBytes);
            std::memcpy(kept, image, rowBytes);
            std::memcpy(image, spare, rowBytes);
        }
        const RECT covered{tile.left, tile.top, tile.left + tile.width, tile.top + tile.height};
        area = area.right == area.left
                   ? covered
                   : RECT{std::min(area.left, covered.left), std::min(area.top, covered.top),
                          std::max(area.right, covered.right), std::max(area.bottom, covered.bottom)};
    }
    return area;
}

bool CTileStore::Fits(const BITMAPINFOHEADER& header) const {
    return header.biWidth == m_width && header.biHeight == m_height &&
           header.biBitCount / 8 == m_bytesPerPixel && header.biXPelsPerMeter == m_stride;
}
