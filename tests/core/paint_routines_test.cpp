// The drawing tools' pixel sets and writers, checked against small models of their own: discs by
// distance, closed outlines by flooding, polygons by counting crossings, blending pixel by pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "document/line_steps.h"
#include "document/paint_routines.h"
#include "test_image.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;  // (x, y)

Pixels PixelsOf(const CSpanSet& set) {
    Pixels pixels;
    set.ForEach([&](int y, int x0, int x1) {
        for (int x = x0; x <= x1; ++x)
            pixels.insert({x, y});
    });
    return pixels;
}

// The pixels reached from `start` through `open` pixels, stepping to the 4 or the 8 neighbours.
Pixels Reach(const Pixels& open, std::pair<int, int> start, bool diagonal) {
    Pixels seen{start};
    std::vector<std::pair<int, int>> todo{start};
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                if ((dx == 0 && dy == 0) || (!diagonal && dx != 0 && dy != 0)) continue;
                const std::pair<int, int> n{x + dx, y + dy};
                if (open.count(n) && seen.insert(n).second) todo.push_back(n);
            }
    }
    return seen;
}

PaintCanvas CanvasOf(TestImage& image) {
    return PaintCanvas{
        image.bits,   image.width(), image.height(), image.stride(), image.header->biBitCount / 8,
        image.palette};
}

}  // namespace

TEST(Brushes, EveryRoundBrushIsTheDiscOfItsSizeAndOneIsAPixel) {
    for (int size = 1; size <= kMaxBrushSize; ++size) {
        for (const BrushShape shape : {BrushShape::Round, BrushShape::Square}) {
            CSpanSet dab;
            AddDab(dab, 100, 100, Brush(size, shape));
            const Pixels pixels = PixelsOf(dab);
            // Cells (i, j) of the size x size box whose centres lie within size / 2 of its centre,
            // in half pixels.
            Pixels model;
            const int first = 100 - (size - 1) / 2;
            for (int j = 0; j < size; ++j)
                for (int i = 0; i < size; ++i) {
                    const int ex = 2 * i + 1 - size;
                    const int ey = 2 * j + 1 - size;
                    if (shape == BrushShape::Square || ex * ex + ey * ey <= size * size)
                        model.insert({first + i, first + j});
                }
            EXPECT_EQ(pixels, model) << size;
            EXPECT_EQ(&Brush(size, shape), &Brush(size, shape));  // one table
        }
    }
    EXPECT_EQ(Brush(0, BrushShape::Round).size, 1);
    EXPECT_EQ(Brush(99, BrushShape::Round).size, kMaxBrushSize);
    EXPECT_EQ(Brush(1, BrushShape::Square).rows.size(), 1u);
}

TEST(Brushes, StrokesAreContinuousAndTheOnePixelStrokeIsTheLine) {
    // One pixel: the line's own points, as the brush has always drawn them.
    CSpanSet line;
    AddStroke(line, 0, 0, 5, 2, Brush(1, BrushShape::Round));
    EXPECT_EQ(PixelsOf(line), (Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
    // However far apart the two points, one piece covering the whole dab at both ends.
    for (const int size : {2, 5, 32}) {
        CSpanSet stroke;
        const BrushMask& brush = Brush(size, BrushShape::Round);
        AddStroke(stroke, 3, 7, 503, 160, brush);
        const Pixels pixels = PixelsOf(stroke);
        EXPECT_EQ(Reach(pixels, *pixels.begin(), false), pixels) << size;
        for (const auto& end : {std::pair{3, 7}, std::pair{503, 160}}) {
            CSpanSet dab;
            AddDab(dab, end.first, end.second, brush);
            for (const auto& p : PixelsOf(dab))
                EXPECT_TRUE(pixels.count(p)) << size;
        }
    }
}

TEST(Shapes, EllipsesAreSymmetricClosedAndWithoutCorners) {
    std::vector<std::pair<int, int>> sizes{{101, 37}, {64, 64}, {200, 9}};
    for (int w = 1; w <= 24; ++w)
        for (int h = 1; h <= 24; ++h)
            sizes.emplace_back(w, h);
    for (const auto& [w, h] : sizes) {
        const RECT box{10, 20, 10 + w - 1, 20 + h - 1};
        CSpanSet outline;
        CSpanSet inside;
        AddEllipse(&outline, &inside, box, 1);
        const Pixels o = PixelsOf(outline);
        const Pixels in = PixelsOf(inside);
        const auto where = ::testing::Message() << w << " x " << h;
        const RECT bounds = outline.Bounds();
        EXPECT_EQ(bounds.left, box.left) << where;
        EXPECT_EQ(bounds.right, box.right + 1) << where;
        EXPECT_EQ(bounds.top, box.top) << where;
        EXPECT_EQ(bounds.bottom, box.bottom + 1) << where;
        for (const auto& [x, y] : o) {
            const int mx = box.left + box.right - x;
            const int my = box.top + box.bottom - y;
            EXPECT_TRUE(o.count({mx, y}) && o.count({x, my})) << where;
            if (w == h) {
                EXPECT_TRUE(o.count({box.left + y - box.top, box.top + x - box.left})) << where;
            }
            EXPECT_FALSE(in.count({x, y})) << where;
            // No L-shaped corner: a pixel whose only neighbours are one beside it and one above
            // or below would double the line there.
            int beside = 0, upDown = 0, diagonal = 0;
            for (int d : {-1, 1}) {
                beside += static_cast<int>(o.count({x + d, y}));
                upDown += static_cast<int>(o.count({x, y + d}));
                diagonal += static_cast<int>(o.count({x + d, y - 1}) + o.count({x + d, y + 1}));
            }
            EXPECT_FALSE(beside == 1 && upDown == 1 && diagonal == 0) << where << " at " << x << ", " << y;
        }
        EXPECT_EQ(Reach(o, *o.begin(), true), o) << where;
        // No gap: from outside the box, around the outline, the inside is never reached.
        Pixels open;
        for (int y = box.top - 1; y <= box.bottom + 1; ++y)
            for (int x = box.left - 1; x <= box.right + 1; ++x)
                if (!o.count({x, y})) open.insert({x, y});
        for (const auto& p : Reach(open, {box.left - 1, box.top - 1}, false))
            EXPECT_FALSE(in.count(p)) << where;
    }
    // Thick: the brush size from every side, and the inside the ellipse of the smaller box.
    CSpanSet thick;
    CSpanSet within;
    AddEllipse(&thick, &within, RECT{0, 0, 39, 29}, 8);
    CSpanSet small;
    AddEllipse(&small, &small, RECT{8, 8, 31, 21}, 1);
    EXPECT_EQ(PixelsOf(within), PixelsOf(small));
    EXPECT_TRUE(thick.Contains(0, 14) && thick.Contains(7, 14) && !thick.Contains(8, 14));
    EXPECT_TRUE(thick.Contains(20, 7) && !thick.Contains(20, 8));
}

TEST(Shapes, RectanglesOutlineInsideAndThickness) {
    CSpanSet outline;
    CSpanSet inside;
    AddRectangle(&outline, &inside, RECT{2, 3, 12, 9}, 1);
    EXPECT_EQ(outline.Count(), 2 * 11 + 2 * 5);
    EXPECT_EQ(inside.Count(), 9 * 5);
    EXPECT_EQ(inside.Bounds().left, 3);
    CSpanSet thick;
    CSpanSet none;
    AddRectangle(&thick, &none, RECT{0, 0, 9, 9}, 5);  // nothing is left inside
    EXPECT_EQ(thick.Count(), 100);
    EXPECT_TRUE(none.Empty());
}

TEST(Shapes, PolygonsFillByTheEvenOddRule) {
    const std::vector<std::vector<PixelPoint>> polygons = {
        {{20, 0}, {32, 38}, {0, 14}, {40, 14}, {8, 38}},  // a five-pointed star: its middle stays empty
        {{0, 0}, {30, 0}, {30, 20}, {15, 5}, {0, 20}},    // concave, with a horizontal side
        {{5, 5}, {25, 5}, {25, 25}, {5, 25}, {5, 15}},    // a corner on a straight side
    };
    for (const auto& corners : polygons) {
        CSpanSet fill;
        AddPolygon(fill, corners);
        // A pixel centre is inside when a ray to its left crosses the sides an odd number of times,
        // each side holding its upper end and not its lower one; centres on a side count in.
        Pixels model;
        for (int y = -1; y <= 40; ++y) {
            for (int x = -1; x <= 41; ++x) {
                int crossings = 0;
                bool onSide = false;
                for (size_t i = 0; i < corners.size(); ++i) {
                    const PixelPoint p = corners[i];
                    const PixelPoint q = corners[(i + 1) % corners.size()];
                    if (p.y == q.y || y < std::min(p.y, q.y) || y >= std::max(p.y, q.y)) continue;
                    // The side's column at row y, compared exactly: x - px against (y - py)(qx - px)/(qy -
                    // py).
                    const int64_t lhs = int64_t{x - p.x} * (q.y - p.y);
                    const int64_t rhs = int64_t{y - p.y} * (q.x - p.x);
                    const int64_t sign = q.y > p.y ? 1 : -1;
                    if (lhs == rhs) onSide = true;
                    if (sign * lhs > sign * rhs) ++crossings;
                }
                if (crossings % 2 == 1 || onSide) model.insert({x, y});
            }
        }
        EXPECT_EQ(PixelsOf(fill), model);
    }
    CSpanSet star;
    AddPolygon(star, polygons[0]);
    EXPECT_FALSE(star.Contains(20, 20));
    EXPECT_TRUE(star.Contains(20, 5));
}

TEST(Writers, EachPixelOnceBlendedAtEveryDepthAndClipped) {
    TranslucencyScope translucent(true);
    for (const int type : {kImage8Bit, kImage24Bit}) {
        TestImage image(20, 10, type);
        for (int row = 0; row < 10; ++row)
            for (int x = 0; x < 20; ++x) {
                if (type == kImage8Bit)
                    image.At8(x, row) = uint8_t(x * 7 + row);
                else
                    image.Set24(x, row, 0x102030u * uint32_t(x + 1) + uint32_t(row));
            }
        TestImage expected(20, 10, type);
        std::memcpy(expected.bits, image.bits, size_t(image.stride()) * 10);
        // Overlapping dabs, partly off the image: each pixel inside blended exactly once.
        CSpanSet set;
        AddStroke(set, -3, 2, 25, 6, Brush(5, BrushShape::Round));
        const PaintCanvas canvas = CanvasOf(image);
        const uint32_t colour = InkOf(canvas, 180);
        PaintSpans(canvas, set, colour);
        set.ForEach([&](int y, int x0, int x1) {
            for (int x = x0; x <= x1; ++x) {
                if (x < 0 || y < 0 || x >= 20 || y >= 10) continue;
                if (type == kImage8Bit)
                    PutPixel8(expected.bits, x, 9 - y, expected.stride(), 180, expected.palette);
                else
                    PutPixel24(expected.bits, x, 9 - y, expected.stride(), colour);
            }
        });
        EXPECT_EQ(std::memcmp(image.bits, expected.bits, size_t(image.stride()) * 10), 0) << type;
    }
    // Four bytes a pixel: the colour laid over each pixel as the pixel routines lay it, whatever
    // its alpha.
    uint8_t pixels[2 * 4] = {10, 20, 30, 0, 40, 50, 60, 128};
    uint8_t expected[2 * 4];
    std::memcpy(expected, pixels, sizeof pixels);
    const PaintCanvas canvas{pixels, 2, 1, 8, 4, nullptr};
    CSpanSet both;
    both.Add(0, 0, 1);
    PaintSpans(canvas, both, 0xFF0000);
    for (int x = 0; x < 2; ++x)
        PutPixel24(expected, x, 0, 8, 0xFF0000, 4);
    EXPECT_EQ(std::memcmp(pixels, expected, sizeof pixels), 0);
}

// The eraser leaves transparent pixels where the image keeps transparency, unblended; elsewhere it
// paints the background entry as the brush paints.
TEST(Writers, ErasingToTransparentOrToTheBackground) {
    TranslucencyScope translucent(true);
    CSpanSet span;
    span.Add(0, 1, 2);
    uint8_t argb[3 * 4] = {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 100};
    const PaintCanvas wide{argb, 3, 1, 12, 4, nullptr};
    EXPECT_TRUE(ErasesToTransparent(wide));
    EraseSpans(wide, span, 30);
    EXPECT_EQ(std::vector<uint8_t>(argb, argb + 12),
              (std::vector<uint8_t>{1, 2, 3, 255, 0, 0, 0, 0, 0, 0, 0, 0}));

    for (const bool withTransparentEntry : {false, true}) {
        TestImage image(3, 1, kImage8Bit);
        uint8_t alpha[256];
        std::memset(alpha, 255, sizeof alpha);
        alpha[200] = 0;
        PaintCanvas canvas = CanvasOf(image);
        if (withTransparentEntry) canvas.entryAlpha = alpha;
        EXPECT_EQ(ErasesToTransparent(canvas), withTransparentEntry);
        const uint8_t before = image.At8(0, 0);
        uint8_t painted = before;
        PutPixel8(&painted, 0, 0, 1, 30, image.palette, canvas.entryAlpha);
        EraseSpans(canvas, span, 30);
        EXPECT_EQ(image.At8(0, 0), before);
        EXPECT_EQ(image.At8(1, 0), withTransparentEntry ? 200 : painted);
        EXPECT_EQ(image.At8(2, 0), withTransparentEntry ? 200 : painted);
    }
}

TEST(Writers, ReplaceColourInAnAreaAndCoverageWithoutSmoothing) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        TestImage image(30, 20, type);
        const PaintCanvas canvas = CanvasOf(image);
        const uint32_t from = ReadPixel(canvas, 0, 0);  // the blank image's colour
        const uint32_t to = InkOf(canvas, 180);
        const uint32_t other = InkOf(canvas, 100);
        CSpanSet spot;
        spot.Add(5, 3, 8);
        PaintSpans(canvas, spot, other);
        const RECT found = FindColour(canvas, RECT{0, 0, 30, 20}, other);
        EXPECT_EQ(std::vector<int>({found.left, found.top, found.right, found.bottom}),
                  std::vector<int>({3, 5, 9, 6}));
        EXPECT_TRUE(ReplaceColour(canvas, RECT{2, 4, 12, 40}, from, to));
        EXPECT_FALSE(ReplaceColour(canvas, RECT{0, 0, 30, 20}, to, to));  // painting it changes nothing
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) {
                const bool inArea = x >= 2 && x < 12 && y >= 4;
                const uint32_t want = spot.Contains(x, y) ? other : inArea ? to : from;
                ASSERT_EQ(ReadPixel(canvas, x, y), want) << type << " " << x << ", " << y;
            }
        // A coverage mask: full coverage paints, none leaves the pixel; on 8 bits a partial one is
        // all or nothing, so every pixel written is exactly the painting index.
        const uint8_t mask[4] = {255, 200, 60, 0};
        PaintCoverage(canvas, mask, 4, 1, 4, 20, 10, to);
        EXPECT_EQ(ReadPixel(canvas, 20, 10), to);
        EXPECT_EQ(ReadPixel(canvas, 23, 10), from);
        if (type == kImage8Bit) {
            EXPECT_EQ(ReadPixel(canvas, 21, 10), to);
            EXPECT_EQ(ReadPixel(canvas, 22, 10), from);
        } else {
            EXPECT_NE(ReadPixel(canvas, 22, 10), from);
            EXPECT_NE(ReadPixel(canvas, 22, 10), to);
        }
    }
    // Four bytes: a pixel keeps its alpha; a fully transparent one holds no colour to replace.
    uint8_t argb[3 * 4] = {1, 2, 3, 255, 1, 2, 3, 90, 1, 2, 3, 0};
    const PaintCanvas wide{argb, 3, 1, 12, 4, nullptr};
    EXPECT_EQ(FindColour(wide, RECT{2, 0, 3, 1}, 0x030201).right, 0);
    EXPECT_TRUE(ReplaceColour(wide, RECT{0, 0, 3, 1}, 0x030201, 0x0A0B0C));
    EXPECT_EQ(std::vector<uint8_t>(argb, argb + 12),
              (std::vector<uint8_t>{12, 11, 10, 255, 12, 11, 10, 90, 1, 2, 3, 0}));
}

TEST(Writers, SprayDotsLieInTheDisc) {
    const BrushMask& brush = Brush(9, BrushShape::Round);
    CSpanSet disc;
    AddDab(disc, 50, 50, brush);
    CSpanSet dots;
    uint32_t seed = 1;
    AddSprayDots(dots, 50, 50, brush, 20, &seed);
    EXPECT_TRUE(dots.Minus(disc).Empty());
    EXPECT_GT(dots.Count(), 5);
    EXPECT_NE(seed, 1u);
    // Many dots fill the disc.
    AddSprayDots(dots, 50, 50, brush, 5000, &seed);
    EXPECT_EQ(PixelsOf(dots), PixelsOf(disc));
}
