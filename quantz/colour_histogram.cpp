#include "quantz/colour_histogram.h"

#include <algorithm>

#include "quantz/parallel.h"

namespace {

constexpr uint32_t kLowMask = (1u << kCellShift) - 1;

// Per cell the pixel count and, per channel, the sum of the bits below the cell's corner. Those
// sums stay within 32 bits for the largest image the program holds (358 million pixels).
struct Cell {
    uint32_t key;  // cell number + 1; 0 marks a free slot
    uint32_t count;
    uint32_t red;
    uint32_t green;
    uint32_t blue;
};

// The non-empty cells, by open addressing; it doubles whenever it is half full.
class CellTable {
public:
    // Sized for a guess of the cell count, so that photographs rarely make it grow.
    explicit CellTable(int64_t pixels) {
        while (m_bits < kMaxStartBits && (int64_t{1} << m_bits) < pixels / 3)
            ++m_bits;
        m_slots.resize(size_t{1} << m_bits);
    }

    void Add(const Cell& run) {
        Cell& cell = Find(run.key);
        if (cell.key == 0) {
            cell.key = run.key;
            if (++m_used * 2 > m_slots.size()) {
                Grow();
                Add(run);
                return;
            }
        }
        cell.count += run.count;
        cell.red += run.red;
        cell.green += run.green;
        cell.blue += run.blue;
    }

    void Prefetch(uint32_t key) const { __builtin_prefetch(&m_slots[Home(key)]); }

    const std::vector<Cell>& Slots() const { return m_slots; }
    size_t Used() const { return m_used; }

private:
    Cell& Find(uint32_t key) {
        const size_t mask = m_slots.size() - 1;
        size_t slot = Home(key);
        while (m_slots[slot].key != 0 && m_slots[slot].key != key)
            slot = (slot + 1) & mask;
        return m_slots[slot];
    }

    size_t Home(uint32_t key) const { return (key * 2654435761u) >> (32 - m_bits); }

    void Grow() {
        std::vector<Cell> old(m_slots.size() * 2);
        old.swap(m_slots);
        ++m_bits;
        for (const Cell& cell : old) {
            if (cell.key != 0) Find(cell.key) = cell;
        }
    }

    static constexpr int kMaxStartBits = 18;
    int m_bits = 10;
    std::vector<Cell> m_slots;
    size_t m_used = 0;
};

// The set of distinct colours, kept until it exceeds a palette's worth.
class ExactColours {
public:
    bool Tracking() const { return m_count <= kPaletteEntries; }

    void Insert(uint32_t colour) {
        const uint32_t key = colour + 1;  // 0 marks a free slot
        uint32_t slot = (colour * 2654435761u) >> (32 - kBits);
        while (m_slots[slot] != 0) {
            if (m_slots[slot] == key) return;
            slot = (slot + 1) & (kSlots - 1);
        }
        m_slots[slot] = key;
        ++m_count;
    }

    // Adds the other set's colours (stopping, as Insert does, past a palette's worth).
    void Merge(const ExactColours& other) {
        if (!other.Tracking()) m_count = kPaletteEntries + 1;
        for (uint32_t key : other.m_slots) {
            if (key != 0 && Tracking()) Insert(key - 1);
        }
    }

    std::vector<RGBQUAD> Colours() const {
        std::vector<uint32_t> values;
        if (Tracking()) {
            for (uint32_t key : m_slots) {
                if (key != 0) values.push_back(key - 1);
            }
        }
        std::sort(values.begin(), values.end());
        std::vector<RGBQUAD> colours;
        for (uint32_t c : values)
            colours.push_back(RGBQUAD{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0});
        return colours;
    }

private:
    static constexpr int kBits = 10;
    static constexpr uint32_t kSlots = 1u << kBits;  // at most 257 used: short probes
    uint32_t m_slots[kSlots] = {};
    int m_count = 0;
};

inline uint32_t CellKey(uint32_t colour) {
    const uint32_t blue = colour & 0xFF, green = (colour >> 8) & 0xFF, red = colour >> 16;
    return ((red >> kCellShift) << (2 * kCellBits) | (green >> kCellShift) << kCellBits |
            (blue >> kCellShift)) +
           1;
}

// The table and colour set of one part of the rows.
struct Part {
    CellTable table;
    ExactColours exact;
    int64_t transparent = 0;

    explicit Part(int64_t pixels) : table(pixels) {}

    // A row is first cut into runs of pixels in one cell (flat areas, gentle gradients, enlarged
    // pictures give long runs); the runs then go to the table with the slot of a later run fetched
    // ahead, so that the table's cache misses overlap.
    template <typename Tick>
    void AddRows(const SourceImage& image, int first, int end, Tick tick) {
        std::vector<Cell> runs(static_cast<size_t>(image.width));
        std::vector<uint8_t> scratch(image.bytesPerPixel == 3 ? 0 : 3 * static_cast<size_t>(image.width));
        constexpr size_t kAhead = 8;
        for (int row = first; row < end; ++row) {
            const uint8_t* p = ColourRow(image, row, scratch.data());
            const uint8_t* raw = image.HasAlpha() ? image.Row(row) : nullptr;
            size_t n = 0;
            uint32_t previous = 0xFFFFFFFF;  // no colour
            uint32_t lowRed = 0, lowGreen = 0, lowBlue = 0;
            Cell* run = nullptr;
            for (int x = 0; x < image.width; ++x, p += 3) {
                if (raw && image.TransparentAt(raw, x)) {
                    ++transparent;
                    previous = 0xFFFFFFFF;
                    run = nullptr;
                    continue;
                }
                const uint32_t colour = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
                if (colour != previous) {
                    previous = colour;
                    if (exact.Tracking()) exact.Insert(colour);
                    const uint32_t key = CellKey(colour);
                    if (!run || run->key != key) {
                        run = &runs[n++];
                        *run = Cell{key, 0, 0, 0, 0};
                    }
                    lowBlue = p[0] & kLowMask;
                    lowGreen = p[1] & kLowMask;
                    lowRed = p[2] & kLowMask;
                }
                ++run->count;
                run->red += lowRed;
                run->green += lowGreen;
                run->blue += lowBlue;
            }
            for (size_t i = 0; i < n; ++i) {
                if (i + kAhead < n) table.Prefetch(runs[i + kAhead].key);
                table.Add(runs[i]);
            }
            tick();
        }
    }

    void Merge(const Part& other) {
        for (const Cell& cell : other.table.Slots()) {
            if (cell.key != 0) table.Add(cell);
        }
        exact.Merge(other.exact);
        transparent += other.transparent;
    }
};

}  // namespace

ColourSummary SummariseColours(const SourceImage& image, Progress& progress) {
    const int64_t pixels = int64_t{image.width} * image.height;
    const bool split = SplitRows(pixels);
    std::vector<Part> parts;
    parts.emplace_back(split ? pixels / 2 : pixels);
    if (split) parts.emplace_back(pixels / 2);
    ForRowParts(image.height, split, progress, [&](int part, int first, int end, auto tick) {
        parts[part].AddRows(image, first, end, tick);
    });
    if (parts.size() > 1) parts[0].Merge(parts[1]);
    const CellTable& table = parts[0].table;

    ColourSummary summary;
    summary.transparentPixels = parts[0].transparent;
    summary.exact = parts[0].exact.Tracking();
    summary.exactColours = parts[0].exact.Colours();
    summary.points.reserve(table.Used());
    for (const Cell& cell : table.Slots()) {
        if (cell.key == 0) continue;
        const uint32_t index = cell.key - 1;
        const double scale = 1.0 / cell.count;
        const uint32_t red0 = (index >> (2 * kCellBits)) << kCellShift;
        const uint32_t green0 = ((index >> kCellBits) & (kCellAxis - 1)) << kCellShift;
        const uint32_t blue0 = (index & (kCellAxis - 1)) << kCellShift;
        summary.points.push_back(ColourPoint{static_cast<float>(red0 + cell.red * scale),
                                             static_cast<float>(green0 + cell.green * scale),
                                             static_cast<float>(blue0 + cell.blue * scale), cell.count});
    }
    return summary;
}
