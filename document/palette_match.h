// Fast exact nearest-palette-entry search for converting many pixels at once.
//
// Gives exactly NearestPaletteIndex's answer (squared RGB distance, lowest index on ties), but
// searches only the entries that can be nearest for the 8 x 8 x 8 cell of RGB space a colour lies
// in. A cell's candidate list is built the first time a colour falls into it.
#pragma once

#include <cstdint>
#include <vector>

#include "document/image_buffer.h"

class PaletteMatcher {
public:
    explicit PaletteMatcher(const RGBQUAD* palette);

    int Nearest(uint8_t red, uint8_t green, uint8_t blue) {
        const int cell = (red >> kCellBits) << (2 * kAxisBits) | (green >> kCellBits) << kAxisBits |
                         (blue >> kCellBits);
        int start = m_cellStart[cell];
        if (start < 0) start = BuildCell(cell);
        const uint16_t* list = &m_pool[start];
        const int count = list[0];
        int best = list[1];
        int bestDistance = Distance(best, red, green, blue);
        for (int k = 2; k <= count; ++k) {
            const int i = list[k];
            const int d = Distance(i, red, green, blue);
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    }

private:
    static constexpr int kCellBits = 3;                // cells of 8 levels per axis
    static constexpr int kAxisBits = 8 - kCellBits;    // 32 cells per axis
    static constexpr int kCells = 1 << (3 * kAxisBits);

    int Distance(int i, int red, int green, int blue) const {
        const int dr = m_red[i] - red;
        const int dg = m_green[i] - green;
        const int db = m_blue[i] - blue;
        return dr * dr + dg * dg + db * db;
    }
    int BuildCell(int cell);

    int m_red[kPaletteEntries];
    int m_green[kPaletteEntries];
    int m_blue[kPaletteEntries];
    std::vector<int32_t> m_cellStart;  // offset of the cell's list in m_pool, -1 until built
    std::vector<uint16_t> m_pool;      // per cell: count, then the candidate indices in rising order
};
