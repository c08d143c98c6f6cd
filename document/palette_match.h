// Fast exact nearest-palette-entry search for converting many pixels at once.
//
// Gives exactly NearestPaletteIndex's answer (squared RGB distance, lowest index on ties), but
// searches only the entries that can be nearest for the small cell of RGB space a colour lies in.
// Cells come in four sizes, 32, 16, 8 and 4 levels per axis, each cell inside one of the next
// larger size: a 32-level cell keeps the entries that can be nearest anywhere in it, found among
// the whole palette, and each smaller cell those of its parent's list that can be nearest in the
// smaller cell, so that a 4-level cell usually keeps one to three. A cell's list is built the first
// time a colour falls into it.
#pragma once

#include <cstdint>
#include <vector>

#include "document/image_buffer.h"

class PaletteMatcher {
public:
    // Searches entries 0..count-1 only (a palette whose later entries are unused).
    explicit PaletteMatcher(const RGBQUAD* palette, int count = kPaletteEntries);

    int Nearest(uint8_t red, uint8_t green, uint8_t blue) {
        const int cell = CellOf(kFinest, red, green, blue);
        int32_t found = m_cells[kFinest][cell];
        if (found < 0) found = Build(kFinest, red, green, blue);
        if (found >= kSingle) return found - kSingle;
        const uint8_t* list = &m_pool[found];
        const int count = list[0] + 1;
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
    static constexpr int kLevels = 4;
    static constexpr int kFinest = kLevels - 1;
    static constexpr int kTopBits = 5;           // level 0: cells of 32 levels per axis
    static constexpr int32_t kSingle = 1 << 30;  // a cell with one candidate holds kSingle + index

    static constexpr int CellBits(int level) { return kTopBits - level; }
    static constexpr int AxisBits(int level) { return 8 - CellBits(level); }
    static int CellOf(int level, int red, int green, int blue) {
        const int shift = CellBits(level);
        return (red >> shift) << (2 * AxisBits(level)) | (green >> shift) << AxisBits(level) | (blue >> shift);
    }

    int Distance(int i, int red, int green, int blue) const {
        const int dr = m_red[i] - red;
        const int dg = m_green[i] - green;
        const int db = m_blue[i] - blue;
        return dr * dr + dg * dg + db * db;
    }
    // Builds the list of the cell of `level` that holds the colour, after its parent's.
    int32_t Build(int level, int red, int green, int blue);

    int m_count;
    int m_red[kPaletteEntries];
    int m_green[kPaletteEntries];
    int m_blue[kPaletteEntries];
    std::vector<int32_t> m_cells[kLevels];  // kSingle + index, or the list's offset, or -1 until built
    std::vector<uint8_t> m_pool;            // per list: number of candidates - 1, then their indices
};
