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
        // Each candidate is packed as red, green, blue, index from the high byte down; the smallest
        // distance * 256 + index is the nearest entry with the lowest index.
        const uint32_t* list = &m_pool[found];
        const uint32_t count = list[0];
        uint32_t best = UINT32_MAX;
        for (uint32_t k = 1; k <= count; ++k) {
            const uint32_t c = list[k];
            const int dr = static_cast<int>(c >> 24) - red;
            const int dg = static_cast<int>((c >> 16) & 0xFF) - green;
            const int db = static_cast<int>((c >> 8) & 0xFF) - blue;
            const uint32_t key = static_cast<uint32_t>(dr * dr + dg * dg + db * db) << 8 | (c & 0xFF);
            best = key < best ? key : best;
        }
        return static_cast<int>(best & 0xFF);
    }

private:
    static constexpr int kLevels = 4;
    static constexpr int kFinest = kLevels - 1;
    static constexpr int kTopBits = 5;           // level 0: cells of 32 levels per axis
    static constexpr int32_t kSingle = 1 << 30;  // a cell with one candidate holds kSingle + index
    static constexpr int kDominanceLevel = 2;    // levels whose lists are also pruned pair by pair

    static constexpr int CellBits(int level) { return kTopBits - level; }
    static constexpr int AxisBits(int level) { return 8 - CellBits(level); }
    static int CellOf(int level, int red, int green, int blue) {
        const int shift = CellBits(level);
        return (red >> shift) << (2 * AxisBits(level)) | (green >> shift) << AxisBits(level) |
               (blue >> shift);
    }

    // Builds the list of the cell of `level` that holds the colour, after its parent's.
    int32_t Build(int level, int red, int green, int blue);
    // Removes from `list` the entries that another one beats everywhere in the cell; returns the
    // new count.
    int DropDominated(uint8_t* list, int count, int red0, int green0, int blue0, int size) const;

    int m_count;
    int m_red[kPaletteEntries];
    int m_green[kPaletteEntries];
    int m_blue[kPaletteEntries];
    std::vector<int32_t> m_cells[kLevels];  // kSingle + index, or the list's offset, or -1 until built
    std::vector<uint32_t> m_pool;           // per list: number of candidates, then each packed
};

// The nearest entry among those of one opacity only, with the same rules: an opaque pixel must
// never turn into a transparent entry that happens to hold its colour. With a null entry alpha
// block every entry is opaque, and the answers are PaletteMatcher's.
class AlphaPaletteMatcher {
public:
    // Searches the entries whose opacity is `alpha`; when there is none, all entries.
    AlphaPaletteMatcher(const RGBQUAD* palette, const uint8_t* entryAlpha, uint8_t alpha = 255);

    int Nearest(uint8_t red, uint8_t green, uint8_t blue) {
        return m_index[m_matcher.Nearest(red, green, blue)];
    }

private:
    static int Gather(const RGBQUAD* palette, const uint8_t* entryAlpha, uint8_t alpha, RGBQUAD* entries,
                      uint8_t* index);

    RGBQUAD m_entries[kPaletteEntries];
    uint8_t m_index[kPaletteEntries];
    int m_count;
    PaletteMatcher m_matcher;
};
