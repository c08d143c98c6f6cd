#include "document/paint_routines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "document/line_steps.h"
#include "document/pixel_routines.h"

// --- Span sets -----------------------------------------------------------------------------------

void CSpanSet::Add(int y, int x0, int x1) {
    if (x0 > x1) return;
    std::vector<Span>& row = m_rows[y];
    // The spans that overlap or touch the new one are merged into it.
    auto first = std::lower_bound(row.begin(), row.end(), x0,
                                  [](const Span& s, int x) { return int64_t{s.x1} + 1 < x; });
    auto last = first;
    while (last != row.end() && int64_t{last->x0} <= int64_t{x1} + 1) {
        x0 = std::min(x0, last->x0);
        x1 = std::max(x1, last->x1);
        ++last;
    }
    row.insert(row.erase(first, last), Span{x0, x1});
}

void CSpanSet::AddSet(const CSpanSet& other) {
    other.ForEach([this](int y, int x0, int x1) { Add(y, x0, x1); });
}

CSpanSet CSpanSet::Minus(const CSpanSet& other) const {
    CSpanSet result;
    for (const auto& [y, spans] : m_rows) {
        const auto found = other.m_rows.find(y);
        for (const Span& s : spans) {
            int from = s.x0;
            if (found != other.m_rows.end()) {
                for (const Span& cut : found->second) {
                    if (cut.x1 < from || cut.x0 > s.x1) continue;
                    result.Add(y, from, cut.x0 - 1);
                    from = std::max(from, cut.x1 + 1);
                }
            }
            result.Add(y, from, s.x1);
        }
    }
    return result;
}

bool CSpanSet::Contains(int x, int y) const {
    const auto found = m_rows.find(y);
    if (found == m_rows.end()) return false;
    return std::any_of(found->second.begin(), found->second.end(),
                       [x](const Span& s) { return s.x0 <= x && x <= s.x1; });
}

RECT CSpanSet::Bounds() const {
    if (m_rows.empty()) return RECT{0, 0, 0, 0};
    RECT r{INT32_MAX, m_rows.begin()->first, INT32_MIN, m_rows.rbegin()->first + 1};
    for (const auto& [y, spans] : m_rows) {
        r.left = std::min(r.left, spans.front().x0);
        r.right = std::max(r.right, spans.back().x1 + 1);
    }
    return r;
}

int64_t CSpanSet::Count() const {
    int64_t count = 0;
    ForEach([&count](int, int x0, int x1) { count += int64_t{x1} - x0 + 1; });
    return count;
}

// --- Brushes -------------------------------------------------------------------------------------

namespace {

BrushMask MakeBrush(int size, BrushShape shape) {
    BrushMask brush;
    brush.size = size;
    brush.top = -(size - 1) / 2;
    const int left = -(size - 1) / 2;
    const double centre = (left + size / 2) / 2.0;
    const double radius = size / 2.0;
    for (int dy = brush.top; dy <= size / 2; ++dy) {
        if (shape == BrushShape::Square) {
            brush.rows.push_back({left, size / 2});
            continue;
        }
        // The columns whose centres lie within the radius, on this row always one run.
        int first = size / 2 + 1;
        int last = left - 1;
        for (int dx = left; dx <= size / 2; ++dx) {
            const double ex = dx - centre;
            const double ey = dy - centre;
            if (ex * ex + ey * ey <= radius * radius + 1e-9) {
                first = std::min(first, dx);
                last = std::max(last, dx);
            }
        }
        brush.rows.push_back({first, last});
    }
    return brush;
}

}  // namespace

const BrushMask& Brush(int size, BrushShape shape) {
    static const std::array<BrushMask, 2 * kMaxBrushSize> kBrushes = [] {
        std::array<BrushMask, 2 * kMaxBrushSize> brushes;
        for (int s = 1; s <= kMaxBrushSize; ++s) {
            brushes[s - 1] = MakeBrush(s, BrushShape::Round);
            brushes[kMaxBrushSize + s - 1] = MakeBrush(s, BrushShape::Square);
        }
        return brushes;
    }();
    const int s = std::clamp(size, 1, kMaxBrushSize);
    return kBrushes[(shape == BrushShape::Square ? kMaxBrushSize : 0) + s - 1];
}

void AddDab(CSpanSet& set, int x, int y, const BrushMask& brush) {
    for (size_t i = 0; i < brush.rows.size(); ++i)
        set.Add(y + brush.top + static_cast<int>(i), x + brush.rows[i].x0, x + brush.rows[i].x1);
}

void AddStroke(CSpanSet& set, int x0, int y0, int x1, int y1, const BrushMask& brush) {
    ForEachLinePoint(x0, y0, x1, y1, [&](int x, int y) { AddDab(set, x, y, brush); });
}

void AddSprayDots(CSpanSet& set, int x, int y, const BrushMask& brush, int count, uint32_t* seed) {
    const auto next = [seed](int range) {
        *seed = *seed * 1664525u + 1013904223u;
        return static_cast<int>((uint64_t{*seed >> 8} * static_cast<uint64_t>(range)) >> 24);
    };
    const int left = -(brush.size - 1) / 2;
    for (int placed = 0; placed < count;) {
        const int row = next(brush.size);
        const int dx = left + next(brush.size);
        const CSpanSet::Span& span = brush.rows[static_cast<size_t>(row)];
        if (dx < span.x0 || dx > span.x1) continue;  // outside the disc: draw again
        set.Add(y + brush.top + row, x + dx, x + dx);
        ++placed;
    }
}

// --- Shapes --------------------------------------------------------------------------------------

namespace {

// A shape with one run a row, rows top first from `top`; an empty run has x0 > x1.
struct RowRuns {
    int top = 0;
    std::vector<CSpanSet::Span> runs;

    bool Has(size_t i) const { return i < runs.size() && runs[i].x0 <= runs[i].x1; }
    // The run of image row y; empty outside the shape.
    CSpanSet::Span At(int64_t y) const {
        const int64_t i = y - top;
        return i >= 0 && Has(static_cast<size_t>(i)) ? runs[static_cast<size_t>(i)] : CSpanSet::Span{1, 0};
    }
};

// The pixels of `shape` whose four neighbours all lie in it.
RowRuns Erode(const RowRuns& shape) {
    RowRuns inner{shape.top, shape.runs};
    for (size_t i = 0; i < shape.runs.size(); ++i) {
        CSpanSet::Span& r = inner.runs[i];
        if (!shape.Has(i) || i == 0 || !shape.Has(i - 1) || !shape.Has(i + 1)) {
            r = {1, 0};
            continue;
        }
        r.x0 = std::max({shape.runs[i].x0 + 1, shape.runs[i - 1].x0, shape.runs[i + 1].x0});
        r.x1 = std::min({shape.runs[i].x1 - 1, shape.runs[i - 1].x1, shape.runs[i + 1].x1});
    }
    return inner;
}

// Row by row, what `shape` holds beyond `inner` (a shape within it): at most a run on each side.
std::vector<std::vector<CSpanSet::Span>> Ring(const RowRuns& shape, const RowRuns& inner) {
    std::vector<std::vector<CSpanSet::Span>> ring(shape.runs.size());
    for (size_t i = 0; i < shape.runs.size(); ++i) {
        if (!shape.Has(i)) continue;
        const CSpanSet::Span outer = shape.runs[i];
        const CSpanSet::Span in = inner.At(shape.top + static_cast<int64_t>(i));
        if (in.x0 > in.x1) {
            ring[i].push_back(outer);
            continue;
        }
        if (outer.x0 < in.x0) ring[i].push_back({outer.x0, in.x0 - 1});
        if (in.x1 < outer.x1) ring[i].push_back({in.x1 + 1, outer.x1});
    }
    return ring;
}

// A one-pixel outline without the corners of its L-shaped turns: a pixel whose only neighbours on
// the outline are one beside it and one above or below it is left out, since those two touch at a
// corner. No two such pixels are neighbours, so leaving them all out at once keeps the outline
// closed, and the rule is the same in every direction, so symmetry stays.
void DropCorners(std::vector<std::vector<CSpanSet::Span>>& ring) {
    const auto on = [&ring](int64_t i, int x) {
        if (i < 0 || i >= static_cast<int64_t>(ring.size())) return false;
        for (const CSpanSet::Span& s : ring[static_cast<size_t>(i)])
            if (s.x0 <= x && x <= s.x1) return true;
        return false;
    };
    const auto isCorner = [&on](int64_t i, int x, int side) {
        // The neighbour beside is at x - side (within the run); one above or below, none else.
        int vertical = 0;
        int others = 0;
        for (int64_t di : {int64_t{-1}, int64_t{1}}) {
            vertical += on(i + di, x);
            others += on(i + di, x - 1) + on(i + di, x + 1);
        }
        others += on(i, x + side);
        return vertical == 1 && others == 0;
    };
    std::vector<std::pair<size_t, int>> corners;  // (row, column)
    for (size_t i = 0; i < ring.size(); ++i) {
        for (const CSpanSet::Span& s : ring[i]) {
            if (s.x1 == s.x0) continue;  // no neighbour beside it on its row
            if (isCorner(static_cast<int64_t>(i), s.x0, -1)) corners.emplace_back(i, s.x0);
            if (isCorner(static_cast<int64_t>(i), s.x1, 1)) corners.emplace_back(i, s.x1);
        }
    }
    for (const auto& [i, x] : corners) {
        for (CSpanSet::Span& s : ring[i]) {
            if (s.x0 == x)
                ++s.x0;
            else if (s.x1 == x)
                --s.x1;
        }
    }
}

// The outline of `shape` (one pixel thick, or the ring between it and `inset`, the same shape in
// a box `thickness` smaller on every side) into `outline`, and what lies within it into `inside`.
// A curve's one-pixel outline leaves out the corners of its turns; a rectangle's keeps its own.
void Split(const RowRuns& shape, const RowRuns& inset, CSpanSet* outline, CSpanSet* inside, int thickness,
           bool curve) {
    const RowRuns inner = thickness <= 1 ? Erode(shape) : inset;
    std::vector<std::vector<CSpanSet::Span>> ring = Ring(shape, inner);
    if (thickness <= 1 && curve) DropCorners(ring);
    for (size_t i = 0; i < ring.size(); ++i) {
        const int y = shape.top + static_cast<int>(i);
        if (outline)
            for (const CSpanSet::Span& s : ring[i])
                outline->Add(y, s.x0, s.x1);
        if (inside) {
            const CSpanSet::Span in = inner.At(y);
            inside->Add(y, in.x0, in.x1);
        }
    }
}

// The box `by` pixels smaller on every side; empty (right < left) when nothing is left.
RECT Inset(const RECT& box, int by) {
    return RECT{box.left + by, box.top + by, box.right - by, box.bottom - by};
}

RowRuns RectangleRuns(const RECT& box) {
    if (box.right < box.left || box.bottom < box.top) return RowRuns{box.top, {}};
    return RowRuns{box.top, std::vector<CSpanSet::Span>(static_cast<size_t>(box.bottom - box.top + 1),
                                                        CSpanSet::Span{box.left, box.right})};
}

RowRuns EllipseRuns(const RECT& box) {
    if (box.right < box.left || box.bottom < box.top) return RowRuns{box.top, {}};
    const int w = box.right - box.left + 1;
    const int h = box.bottom - box.top + 1;
    const double a = w / 2.0;
    const double b = h / 2.0;
    RowRuns shape{box.top, {}};
    shape.runs.reserve(static_cast<size_t>(h));
    for (int i = 0; i < h; ++i) {
        // Row i's centre lies dy from the ellipse's centre; the pixels whose centres lie within its
        // half-width are taken, as many left out at each end, so the row is symmetric.
        const double dy = i - (h - 1) / 2.0;
        const double half = a * std::sqrt(std::max(0.0, 1.0 - (dy / b) * (dy / b)));
        int inset = static_cast<int>(std::ceil((w - 1) / 2.0 - half - 1e-9));
        // The middle row or rows reach the box's sides, and every row holds a pixel.
        if (2 * i == h - 1 || 2 * i == h || 2 * i == h - 2) inset = 0;
        inset = std::clamp(inset, 0, (w - 1) / 2);
        shape.runs.push_back({box.left + inset, box.right - inset});
    }
    return shape;
}

}  // namespace

void AddRectangle(CSpanSet* outline, CSpanSet* inside, const RECT& box, int thickness) {
    Split(RectangleRuns(box), RectangleRuns(Inset(box, thickness)), outline, inside, thickness, false);
}

void AddEllipse(CSpanSet* outline, CSpanSet* inside, const RECT& box, int thickness) {
    Split(EllipseRuns(box), EllipseRuns(Inset(box, thickness)), outline, inside, thickness, true);
}

void AddPolygon(CSpanSet& set, const std::vector<PixelPoint>& corners) {
    if (corners.size() < 3) return;
    int top = corners[0].y;
    int bottom = corners[0].y;
    for (const PixelPoint& p : corners) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    std::vector<double> crossings;
    for (int y = top; y <= bottom; ++y) {
        crossings.clear();
        for (size_t i = 0; i < corners.size(); ++i) {
            const PixelPoint& p = corners[i];
            const PixelPoint& q = corners[(i + 1) % corners.size()];
            if (p.y == q.y) continue;
            // Each edge holds its upper end and not its lower one, so a corner counts once.
            if (y < std::min(p.y, q.y) || y >= std::max(p.y, q.y)) continue;
            crossings.push_back(p.x + static_cast<double>(y - p.y) * (q.x - p.x) / (q.y - p.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2)
            set.Add(y, static_cast<int>(std::ceil(crossings[i] - 1e-9)),
                    static_cast<int>(std::floor(crossings[i + 1] + 1e-9)));
    }
}

void AddPolygonOutline(CSpanSet& set, const std::vector<PixelPoint>& corners, const BrushMask& brush) {
    for (size_t i = 0; i < corners.size(); ++i) {
        const PixelPoint& p = corners[i];
        const PixelPoint& q = corners[(i + 1) % corners.size()];
        AddStroke(set, p.x, p.y, q.x, q.y, brush);
    }
}

// --- Writing ---------------------------------------------------------------------------------------

namespace {

uint8_t* PixelAt(const PaintCanvas& t, int x, int y) {
    return t.bits + static_cast<ptrdiff_t>(t.height - 1 - y) * t.stride + static_cast<ptrdiff_t>(x) * t.bytes;
}

// Columns x0..x1 of row y (clipped), the one writer of every span: painted as PutPixel8 and
// PutPixel24 paint (blended while translucent; a 4-byte pixel as a layer over what it holds).
void WriteRun(const PaintCanvas& t, int y, int x0, int x1, uint32_t colour) {
    if (y < 0 || y >= t.height) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, t.width - 1);
    if (x0 > x1) return;
    const int row = t.height - 1 - y;
    if (t.bytes == 1)
        HLine8(t.bits, x0, row, x1, t.stride, static_cast<int>(colour), t.palette, t.entryAlpha);
    else if (t.bytes == 3 || t.bytes == 4)
        HLine24(t.bits, x0, row, x1, t.stride, colour, t.bytes);
}

// Columns x0..x1 of row y (clipped) set to the pixel value `value` as they are, unblended.
void SetRun(const PaintCanvas& t, int y, int x0, int x1, uint32_t value) {
    if (y < 0 || y >= t.height) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, t.width - 1);
    if (x0 > x1) return;
    FillBlock(t.bits, x0, t.height - 1 - y, t.stride, x1 - x0 + 1, 1, t.bytes, value);
}

}  // namespace

uint32_t InkOf(const PaintCanvas& target, int index) {
    return target.bytes == 1 ? static_cast<uint32_t>(index & 0xFF)
                             : PaletteColour(target.palette[index & 0xFF]);
}

void PaintSpans(const PaintCanvas& target, const CSpanSet& set, uint32_t colour) {
    set.ForEach([&](int y, int x0, int x1) { WriteRun(target, y, x0, x1, colour); });
}

bool ErasesToTransparent(const PaintCanvas& target) {
    return target.bytes == 4 || (target.bytes == 1 && TransparentEntry(target.entryAlpha) >= 0);
}

void EraseSpans(const PaintCanvas& target, const CSpanSet& set, int background) {
    if (!ErasesToTransparent(target)) {
        PaintSpans(target, set, InkOf(target, background));
        return;
    }
    // A transparent pixel has no colour to blend with: it is written as it is.
    const uint32_t clear =
        target.bytes == 4 ? 0u : static_cast<uint32_t>(TransparentEntry(target.entryAlpha));
    set.ForEach([&](int y, int x0, int x1) { SetRun(target, y, x0, x1, clear); });
}

uint32_t ReadPixel(const PaintCanvas& target, int x, int y) {
    const uint8_t* p = PixelAt(target, x, y);
    switch (target.bytes) {
        case 1:
            return p[0];
        case 3:
            return p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
        default:
            return p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    }
}

void RestorePixel(const PaintCanvas& target, int x, int y, uint32_t value) {
    uint8_t* p = PixelAt(target, x, y);
    for (int k = 0; k < target.bytes; ++k)
        p[k] = static_cast<uint8_t>(value >> (8 * k));
}

void PaintCoverage(const PaintCanvas& target, const uint8_t* mask, int width, int height, ptrdiff_t stride,
                   int x, int y, uint32_t colour) {
    for (int my = 0; my < height; ++my) {
        const int py = y + my;
        if (py < 0 || py >= target.height) continue;
        const uint8_t* cover = mask + my * stride;
        for (int mx = 0; mx < width; ++mx) {
            const int px = x + mx;
            const int c = cover[mx];
            if (c == 0 || px < 0 || px >= target.width) continue;
            if (target.bytes == 1 || c == 255) {
                if (target.bytes != 1 || c >= 128) WriteRun(target, py, px, px, colour);
                continue;
            }
            // The painted pixel, then mixed with the one there by the coverage; with alpha the
            // colours are weighed by their opacities.
            uint8_t* p = PixelAt(target, px, py);
            uint8_t painted[4];
            std::memcpy(painted, p, static_cast<size_t>(target.bytes));
            HLine24(painted, 0, 0, 0, 0, colour, target.bytes);
            const int a0 = target.bytes == 4 ? p[3] * (255 - c) : 255 * (255 - c);
            const int a1 = target.bytes == 4 ? painted[3] * c : 255 * c;
            const int alpha = a0 + a1;
            if (alpha == 0) continue;
            for (int k = 0; k < 3; ++k)
                p[k] = static_cast<uint8_t>((p[k] * a0 + painted[k] * a1 + alpha / 2) / alpha);
            if (target.bytes == 4) p[3] = static_cast<uint8_t>((alpha + 127) / 255);
        }
    }
}

namespace {

// What painting `to` over a pixel of `from` gives, worked out once by the writer itself.
uint32_t PaintedValue(const PaintCanvas& t, uint32_t from, uint32_t to) {
    uint8_t pixel[4] = {};
    const PaintCanvas one{pixel, 1, 1, 4, t.bytes, t.palette, t.entryAlpha};
    RestorePixel(one, 0, 0, from | (t.bytes == 4 ? 0xFF000000u : 0));
    WriteRun(one, 0, 0, 0, to);
    return ReadPixel(one, 0, 0);
}

RECT ClipToImage(const PaintCanvas& t, const RECT& area) {
    return RECT{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, t.width),
                std::min(area.bottom, t.height)};
}

// Whether the pixel at `p` holds the colour `from`: the index, the colour of three bytes, or of four
// with some opacity (a fully transparent pixel has no colour).
template <int kBytes>
inline bool Holds(const uint8_t* p, uint32_t from) {
    if constexpr (kBytes == 1) {
        return *p == static_cast<uint8_t>(from);
    } else if constexpr (kBytes == 3) {
        return (p[0] | p[1] << 8 | p[2] << 16) == static_cast<int>(from & 0xFFFFFF);
    } else {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return (v & 0xFFFFFF) == (from & 0xFFFFFF) && (v >> 24) != 0;
    }
}

// The first and the last column of [left, right) in one row that hold `from` (scanned from each end,
// so a row is read at most once); false when none does.
template <int kBytes>
bool MatchEnds(const uint8_t* row, int left, int right, uint32_t from, int* first, int* last) {
    int x = left;
    if constexpr (kBytes == 1) {
        const void* hit =
            std::memchr(row + left, static_cast<uint8_t>(from), static_cast<size_t>(right - left));
        if (!hit) return false;
        x = static_cast<int>(static_cast<const uint8_t*>(hit) - row);
    } else {
        while (x < right && !Holds<kBytes>(row + static_cast<ptrdiff_t>(x) * kBytes, from))
            ++x;
        if (x == right) return false;
    }
    int end = right - 1;
    while (end > x && !Holds<kBytes>(row + static_cast<ptrdiff_t>(end) * kBytes, from))
        --end;
    *first = x;
    *last = end;
    return true;
}

template <int kBytes>
RECT FindColourIn(const PaintCanvas& t, const RECT& a, uint32_t from) {
    RECT found{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int y = a.top; y < a.bottom; ++y) {
        const uint8_t* row = t.bits + static_cast<ptrdiff_t>(t.height - 1 - y) * t.stride;
        int first = 0;
        int last = 0;
        if (!MatchEnds<kBytes>(row, a.left, a.right, from, &first, &last)) continue;
        found = RECT{std::min(found.left, first), std::min(found.top, y), std::max(found.right, last + 1),
                     std::max(found.bottom, y + 1)};
    }
    return found.left == INT32_MAX ? RECT{0, 0, 0, 0} : found;
}

// Every pixel of one row holding `from` becomes `to` (already painted): one loop a pixel size, the
// 1 and 4-byte ones without branches so the compiler can vectorise them.
template <int kBytes>
void ReplaceRow(uint8_t* p, int count, uint32_t from, uint32_t to) {
    if constexpr (kBytes == 1) {
        const auto f = static_cast<uint8_t>(from);
        const auto v = static_cast<uint8_t>(to);
        for (int i = 0; i < count; ++i)
            p[i] = p[i] == f ? v : p[i];
    } else if constexpr (kBytes == 4) {
        // A pixel with alpha keeps its opacity; a fully transparent one has no colour.
        const uint32_t f = from & 0xFFFFFF;
        const uint32_t c = to & 0xFFFFFF;
        for (int i = 0; i < count; ++i, p += 4) {
            uint32_t v;
            std::memcpy(&v, p, 4);
            const bool same = (v & 0xFFFFFF) == f && (v >> 24) != 0;
            v = same ? (v & 0xFF000000u) | c : v;
            std::memcpy(p, &v, 4);
        }
    } else {
        const uint8_t b = to & 0xFF, g = (to >> 8) & 0xFF, r = (to >> 16) & 0xFF;
        const uint32_t f = from & 0xFFFFFF;
        int i = 0;
        // Four pixels of the colour at once where they all hold it (three words compared and
        // written), otherwise one at a time, with four bytes read for each pixel but the last,
        // whose fourth byte may lie past the block.
        const uint32_t c = to & 0xFFFFFF;
        const uint32_t fromWords[3] = {f | f << 24, f >> 8 | f << 16, f >> 16 | f << 8};
        const uint32_t toWords[3] = {c | c << 24, c >> 8 | c << 16, c >> 16 | c << 8};
        while (i + 1 < count) {
            if (i + 4 <= count) {
                uint32_t w[3];
                std::memcpy(w, p, 12);
                if (w[0] == fromWords[0] && w[1] == fromWords[1] && w[2] == fromWords[2]) {
                    std::memcpy(p, toWords, 12);
                    i += 4;
                    p += 12;
                    continue;
                }
            }
            uint32_t v;
            std::memcpy(&v, p, 4);
            if ((v & 0xFFFFFF) == f) {
                p[0] = b;
                p[1] = g;
                p[2] = r;
            }
            ++i;
            p += 3;
        }
        if (i < count && Holds<3>(p, from)) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
}

}  // namespace

RECT FindColour(const PaintCanvas& target, const RECT& area, uint32_t from) {
    const RECT a = ClipToImage(target, area);
    if (IsEmptyRect(a)) return RECT{0, 0, 0, 0};
    switch (target.bytes) {
        case 1:
            return FindColourIn<1>(target, a, from);
        case 3:
            return FindColourIn<3>(target, a, from);
        case 4:
            return FindColourIn<4>(target, a, from);
        default:
            return RECT{0, 0, 0, 0};
    }
}

bool ReplaceColour(const PaintCanvas& target, const RECT& area, uint32_t from, uint32_t to) {
    const RECT a = ClipToImage(target, area);
    if (IsEmptyRect(a)) return false;
    const uint32_t painted = PaintedValue(target, from, to);
    if (painted == (from | (target.bytes == 4 ? 0xFF000000u : 0))) return false;
    for (int y = a.top; y < a.bottom; ++y) {
        uint8_t* p = PixelAt(target, a.left, y);
        const int count = a.right - a.left;
        if (target.bytes == 1)
            ReplaceRow<1>(p, count, from, painted);
        else if (target.bytes == 3)
            ReplaceRow<3>(p, count, from, painted);
        else if (target.bytes == 4)
            ReplaceRow<4>(p, count, from, painted);
    }
    return true;
}
