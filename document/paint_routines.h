// What the drawing tools write, worked out and written in the core: the brushes (one table of
// discs and squares), strokes, rectangles, ellipses and polygons as sets of pixel spans in which
// each pixel is at most once, and the writers that put such a set into an image. Every writer has
// one body for each of 1, 3 and 4 bytes a pixel; a 4-byte pixel is blue, green, red and alpha.
//
// Coordinates here count rows from the top (y), as the tools do; the writers turn them into the
// stored bottom-up rows. Colours are the values pixels hold: a palette index for 8 bit, 0x00RRGGBB
// for 24 and 32 bit. Painting blends while translucency is on, by the rules of pixel_routines.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "document/image_buffer.h"

struct PixelPoint {
    int x;
    int y;

    friend constexpr bool operator==(PixelPoint, PixelPoint) = default;
};

// A row-wise set of pixels: for each row, spans of columns (both ends included) that neither overlap
// nor touch. Adding a span merges it with what the row holds.
class CSpanSet {
public:
    struct Span {
        int x0;
        int x1;
    };

    void Add(int y, int x0, int x1);
    void AddSet(const CSpanSet& other);
    // This set without the pixels of `other`.
    CSpanSet Minus(const CSpanSet& other) const;
    bool Empty() const { return m_rows.empty(); }
    bool Contains(int x, int y) const;
    // The bounding rectangle (right and bottom exclusive); empty for an empty set.
    RECT Bounds() const;
    int64_t Count() const;
    // Visits every span, rows top first and spans left first: visit(y, x0, x1).
    template <class Visit>
    void ForEach(Visit visit) const {
        for (const auto& [y, spans] : m_rows)
            for (const Span& s : spans)
                visit(y, s.x0, s.x1);
    }

private:
    std::map<int, std::vector<Span>> m_rows;
};

// --- Brushes -----------------------------------------------------------------------------------

enum class BrushShape { Round, Square };
constexpr int kMaxBrushSize = 32;

// A brush's pixels around the pixel it is placed on: row `top` + i spans columns rows[i] relative to
// it. A brush of size s spans s columns and s rows, from -(s - 1) / 2 to s / 2.
struct BrushMask {
    int size = 1;
    int top = 0;
    std::vector<CSpanSet::Span> rows;
};

// The brush of `size` (clamped to 1..kMaxBrushSize) and `shape`, from the one table of brushes.
// A round brush holds the pixels whose centres lie within size / 2 of its centre; size 1 is one
// pixel, sizes 2 and 3 are full squares.
const BrushMask& Brush(int size, BrushShape shape);

// The brush placed on (x, y).
void AddDab(CSpanSet& set, int x, int y, const BrushMask& brush);
// The brush placed on every point of the line from (x0, y0) to (x1, y1) (line_steps.h), both ends
// included, so a stroke is continuous however far apart its points are.
void AddStroke(CSpanSet& set, int x0, int y0, int x1, int y1, const BrushMask& brush);
// `count` pixels chosen at random within the brush placed on (x, y); `seed` carries the generator.
void AddSprayDots(CSpanSet& set, int x, int y, const BrushMask& brush, int count, uint32_t* seed);

// --- Shapes ------------------------------------------------------------------------------------

// The rectangle and the ellipse inscribed in the box `box` (left, top, right, bottom all included,
// normalised). `inside` receives the pixels within the outline; `outline` the pixels of the whole
// shape that are fewer than `thickness` steps (left, right, up or down) from its outside. Either may
// be null. The ellipse holds the pixels whose centres lie within the ellipse through the box's
// outer edges; it is symmetric in both axes and its outline of thickness 1 has no gaps and no
// doubled pixels.
void AddRectangle(CSpanSet* outline, CSpanSet* inside, const RECT& box, int thickness);
void AddEllipse(CSpanSet* outline, CSpanSet* inside, const RECT& box, int thickness);
// The pixels whose centres lie inside the closed polygon through `corners` by the even-odd rule.
void AddPolygon(CSpanSet& set, const std::vector<PixelPoint>& corners);
// The outline of the closed polygon through `corners`, drawn with `brush`.
void AddPolygonOutline(CSpanSet& set, const std::vector<PixelPoint>& corners, const BrushMask& brush);

// --- Writing ---------------------------------------------------------------------------------------

// An image's pixels as the writers take them.
struct PaintCanvas {
    uint8_t* bits;
    int width;
    int height;
    int stride;
    int bytes;               // 1, 3 or 4 a pixel
    const RGBQUAD* palette;  // the image's palette (8 bit: its colours; always the painting colours)
    const uint8_t* entryAlpha = nullptr;  // an 8-bit image's entry opacities; null when all are opaque
};

// The colour palette entry `index` paints with on `target`: the index for 8 bit, the entry's colour
// otherwise.
uint32_t InkOf(const PaintCanvas& target, int index);

// Paints every pixel of `set` inside the image once with `colour`.
void PaintSpans(const PaintCanvas& target, const CSpanSet& set, uint32_t colour);
// Whether erasing leaves pixels transparent: on 32 bits, and on 8 bits with a fully transparent
// entry.
bool ErasesToTransparent(const PaintCanvas& target);
// What the eraser writes over `set`: where erasing leaves pixels transparent, transparent pixels
// (all zero, or the first fully transparent entry), written as they are; elsewhere palette entry
// `background` painted as PaintSpans paints it.
void EraseSpans(const PaintCanvas& target, const CSpanSet& set, int background);
// Paints `colour` through a coverage mask (one byte a pixel, 255 full, rows top first, `stride`
// bytes apart) whose top-left lies on (x, y): full coverage as PaintSpans paints, partial coverage
// mixing the painted colour with the pixel by the coverage (on 8 bit, coverage from 128 counts as
// full and below as none).
void PaintCoverage(const PaintCanvas& target, const uint8_t* mask, int width, int height, ptrdiff_t stride,
                   int x, int y, uint32_t colour);

// The value of pixel (x, y): the index, 0x00RRGGBB, or for 4 bytes 0xAARRGGBB.
uint32_t ReadPixel(const PaintCanvas& target, int x, int y);
// Puts back a value ReadPixel gave, unblended.
void RestorePixel(const PaintCanvas& target, int x, int y, uint32_t value);

// The rectangle (right and bottom exclusive) of the pixels in `area` (clipped to the image) that
// hold the colour `from` (as ReadPixel gives it; alpha is not compared, but a fully transparent
// pixel holds no colour); empty when none do.
RECT FindColour(const PaintCanvas& target, const RECT& area, uint32_t from);
// Every pixel of `area` (clipped to the image) that holds the colour `from` becomes `to`, painted as
// PaintSpans paints; a 4-byte pixel keeps its alpha, and a fully transparent one never matches.
// False when painting `to` over `from` changes nothing.
bool ReplaceColour(const PaintCanvas& target, const RECT& area, uint32_t from, uint32_t to);
