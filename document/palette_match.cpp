#include "document/palette_match.h"

#include <algorithm>
#include <climits>

PaletteMatcher::PaletteMatcher(const RGBQUAD* palette, int count)
    : m_count(std::clamp(count, 1, kPaletteEntries)) {
    for (int i = 0; i < m_count; ++i) {
        m_red[i] = palette[i].rgbRed;
        m_green[i] = palette[i].rgbGreen;
        m_blue[i] = palette[i].rgbBlue;
    }
    for (int level = 0; level < kLevels; ++level)
        m_cells[level].assign(size_t{1} << (3 * AxisBits(level)), -1);
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

// Entry i can never be the answer in the cell when another entry j is nearer to every colour of
// it, or as near with a lower index. d(x, i) - d(x, j) = |i|^2 - |j|^2 - 2 x . (i - j) is linear in
// x, so its smallest value over the cell lies at the corner that maximises x . (i - j).
int PaletteMatcher::DropDominated(uint8_t* list, int count, int red0, int green0, int blue0, int size) const {
    const int high = size - 1;
    bool dropped[kPaletteEntries] = {};
    for (int a = 0; a < count; ++a) {
        const int i = list[a];
        for (int b = 0; b < count && !dropped[a]; ++b) {
            if (b == a || dropped[b]) continue;
            const int j = list[b];
            const int dr = m_red[i] - m_red[j], dg = m_green[i] - m_green[j], db = m_blue[i] - m_blue[j];
            const int xr = red0 + (dr > 0 ? high : 0), xg = green0 + (dg > 0 ? high : 0),
                      xb = blue0 + (db > 0 ? high : 0);
            const int norms = m_red[i] * m_red[i] + m_green[i] * m_green[i] + m_blue[i] * m_blue[i] -
                              m_red[j] * m_red[j] - m_green[j] * m_green[j] - m_blue[j] * m_blue[j];
            const int margin = norms - 2 * (xr * dr + xg * dg + xb * db);
            if (margin > 0 || (margin == 0 && j < i)) dropped[a] = true;
        }
    }
    int kept = 0;
    for (int a = 0; a < count; ++a) {
        if (!dropped[a]) list[kept++] = list[a];
    }
    return kept;
}

// An entry whose nearest distance to the cell exceeds the smallest farthest distance of any entry
// is strictly farther than that entry from every colour of the cell, so it can never win, not even
// a tie. The others are kept in rising index order, which keeps the lowest-index rule. A list built
// from the parent's candidates is complete: whatever can win in the small cell can win somewhere
// in the parent.
int32_t PaletteMatcher::Build(int level, int red, int green, int blue) {
    uint8_t from[kPaletteEntries];
    int count = 0;
    if (level == 0) {
        for (int i = 0; i < m_count; ++i)
            from[count++] = static_cast<uint8_t>(i);
    } else {
        int32_t parent = m_cells[level - 1][CellOf(level - 1, red, green, blue)];
        if (parent < 0) parent = Build(level - 1, red, green, blue);
        if (parent >= kSingle) {
            m_cells[level][CellOf(level, red, green, blue)] = parent;
            return parent;
        }
        count = static_cast<int>(m_pool[parent]);
        for (int k = 0; k < count; ++k)
            from[k] = static_cast<uint8_t>(m_pool[parent + 1 + k]);
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
    if (level >= kDominanceLevel) kept = DropDominated(from, kept, r0, g0, b0, size);
    int32_t found;
    if (kept == 1) {
        found = kSingle + from[0];
    } else {
        found = static_cast<int32_t>(m_pool.size());
        m_pool.push_back(static_cast<uint32_t>(kept));
        for (int k = 0; k < kept; ++k) {
            const int i = from[k];
            m_pool.push_back(static_cast<uint32_t>(m_red[i]) << 24 | static_cast<uint32_t>(m_green[i]) << 16 |
                             static_cast<uint32_t>(m_blue[i]) << 8 | static_cast<uint32_t>(i));
        }
    }
    m_cells[level][CellOf(level, red, green, blue)] = found;
    return found;
}

AlphaPaletteMatcher::AlphaPaletteMatcher(const RGBQUAD* palette, const uint8_t* entryAlpha, uint8_t alpha)
    : m_count(Gather(palette, entryAlpha, alpha, m_entries, m_index)), m_matcher(m_entries, m_count) {}

int AlphaPaletteMatcher::Gather(const RGBQUAD* palette, const uint8_t* entryAlpha, uint8_t alpha,
                                RGBQUAD* entries, uint8_t* index) {
    int count = 0;
    for (int pass = 0; pass < 2 && count == 0; ++pass) {
        for (int i = 0; i < kPaletteEntries; ++i) {
            if (pass == 0 && EntryAlpha(entryAlpha, i) != alpha) continue;
            entries[count] = palette[i];
            index[count++] = static_cast<uint8_t>(i);
        }
    }
    return count;
}
