#include "document/palette_match.h"

#include <algorithm>
#include <climits>

PaletteMatcher::PaletteMatcher(const RGBQUAD* palette) : m_cellStart(kCells, -1) {
    for (int i = 0; i < kPaletteEntries; ++i) {
        m_red[i] = palette[i].rgbRed;
        m_green[i] = palette[i].rgbGreen;
        m_blue[i] = palette[i].rgbBlue;
    }
    m_pool.reserve(1 << 16);
}

namespace {

// Squared distances from value v to the nearest and the farthest point of [low, high] on one axis.
void AxisRange(int v, int low, int high, int* nearest, int* farthest) {
    const int below = v < low ? low - v : 0;
    const int above = v > high ? v - high : 0;
    const int inside = below + above;
    *nearest = inside * inside;
    const int far = std::max(v - low, high - v);
    *farthest = far * far;
}

}  // namespace

// An entry whose nearest distance to the cell exceeds the smallest farthest distance of any entry
// is strictly farther than that entry from every colour of the cell, so it can never win, not even
// a tie. The others are kept in rising index order, which keeps the lowest-index rule.
int PaletteMatcher::BuildCell(int cell) {
    constexpr int kMask = (1 << kAxisBits) - 1;
    constexpr int kSize = 1 << kCellBits;
    const int r0 = ((cell >> (2 * kAxisBits)) & kMask) * kSize;
    const int g0 = ((cell >> kAxisBits) & kMask) * kSize;
    const int b0 = (cell & kMask) * kSize;

    int nearest[kPaletteEntries];
    int bound = INT_MAX;
    for (int i = 0; i < kPaletteEntries; ++i) {
        int nr, fr, ng, fg, nb, fb;
        AxisRange(m_red[i], r0, r0 + kSize - 1, &nr, &fr);
        AxisRange(m_green[i], g0, g0 + kSize - 1, &ng, &fg);
        AxisRange(m_blue[i], b0, b0 + kSize - 1, &nb, &fb);
        nearest[i] = nr + ng + nb;
        bound = std::min(bound, fr + fg + fb);
    }
    const int start = static_cast<int>(m_pool.size());
    m_pool.push_back(0);
    for (int i = 0; i < kPaletteEntries; ++i) {
        if (nearest[i] <= bound) m_pool.push_back(static_cast<uint16_t>(i));
    }
    m_pool[start] = static_cast<uint16_t>(m_pool.size() - start - 1);
    m_cellStart[cell] = start;
    return start;
}
