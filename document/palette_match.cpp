#include "document/palette_match.h"

#include <algorithm>
#include <climits>

PaletteMatcher::PaletteMatcher(const RGBQUAD* palette, int count) : m_count(std::clamp(count, 1, kPaletteEntries)) {
    for (int i = 0; i < m_count; ++i) {
        m_red[i] = palette[i].rgbRed;
        m_green[i] = palette[i].rgbGreen;
        m_blue[i] = palette[i].rgbBlue;
    }
    for (int level = 0; level < kLevels; ++level) m_cells[level].assign(size_t{1} << (3 * AxisBits(level)), -1);
    m_pool.reserve(1 << 16);
}

namespace {

// Squared distances from value v to the nearest and the farthest point of [low, high] on one axis.
inline void AxisRange(int v, int low, int high, int* nearest, int* farthest) {
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
// a tie. The others are kept in rising index order, which keeps the lowest-index rule. A list built
// from the parent's candidates is complete: whatever can win in the small cell can win somewhere
// in the parent.
int32_t PaletteMatcher::Build(int level, int red, int green, int blue) {
    uint8_t from[kPaletteEntries];
    int count = 0;
    if (level == 0) {
        for (int i = 0; i < m_count; ++i) from[count++] = static_cast<uint8_t>(i);
    } else {
        int32_t parent = m_cells[level - 1][CellOf(level - 1, red, green, blue)];
        if (parent < 0) parent = Build(level - 1, red, green, blue);
        if (parent >= kSingle) {
            m_cells[level][CellOf(level, red, green, blue)] = parent;
            return parent;
        }
        count = m_pool[parent] + 1;
        std::copy_n(&m_pool[parent + 1], count, from);
    }

    const int shift = CellBits(level);
    const int size = 1 << shift;
    const int r0 = red >> shift << shift, g0 = green >> shift << shift, b0 = blue >> shift << shift;
    int nearest[kPaletteEntries];
    int bound = INT_MAX;
    for (int k = 0; k < count; ++k) {
        const int i = from[k];
        int nr, fr, ng, fg, nb, fb;
        AxisRange(m_red[i], r0, r0 + size - 1, &nr, &fr);
        AxisRange(m_green[i], g0, g0 + size - 1, &ng, &fg);
        AxisRange(m_blue[i], b0, b0 + size - 1, &nb, &fb);
        nearest[k] = nr + ng + nb;
        bound = std::min(bound, fr + fg + fb);
    }
    int kept = 0;
    for (int k = 0; k < count; ++k) {
        if (nearest[k] <= bound) from[kept++] = from[k];
    }
    int32_t found;
    if (kept == 1) {
        found = kSingle + from[0];
    } else {
        found = static_cast<int32_t>(m_pool.size());
        m_pool.push_back(static_cast<uint8_t>(kept - 1));
        m_pool.insert(m_pool.end(), from, from + kept);
    }
    m_cells[level][CellOf(level, red, green, blue)] = found;
    return found;
}
