// The flood fills against a plain reference: a breadth-first search over the original pixels that
// paints every reachable pixel once with the single-pixel writer.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "document/pixel_routines.h"
#include "test_image.h"

namespace {

struct Bounds {
    int minX, minRow, maxX, maxRow;
};

void ReferenceFill(TestImage& img, int x, int row, uint32_t colour, Bounds b) {
    const bool eight = img.header->biBitCount == 8;
    auto value = [&](int px, int r) -> uint32_t { return eight ? img.At8(px, r) : img.At24(px, r); };
    const uint32_t old = value(x, row);
    if (old == (eight ? (colour & 0xFF) : colour)) return;
    const int w = img.width(), h = img.height();
    std::vector<char> seen(size_t(w) * h, 0);
    std::vector<std::pair<int, int>> queue{{x, row}}, area;
    seen[size_t(row) * w + x] = 1;
    for (size_t i = 0; i < queue.size(); ++i) {
        auto [px, r] = queue[i];
        area.push_back(queue[i]);
        const int nx[4] = {px - 1, px + 1, px, px}, nr[4] = {r, r, r - 1, r + 1};
        for (int k = 0; k < 4; ++k) {
            if (nx[k] < b.minX || nx[k] > b.maxX || nr[k] < b.minRow || nr[k] > b.maxRow) continue;
            char& s = seen[size_t(nr[k]) * w + nx[k]];
            if (!s && value(nx[k], nr[k]) == old) {
                s = 1;
                queue.push_back({nx[k], nr[k]});
            }
        }
    }
    for (auto [px, r] : area) {
        if (eight)
            PutPixel8(img.bits, px, r, img.stride(), int(colour), img.palette);
        else
            PutPixel24(img.bits, px, r, img.stride(), colour);
    }
}

using Painter = std::function<uint32_t(int x, int row)>;

// Paints a pattern into two images of one depth, fills one with the routine and one with the
// reference, and compares every byte.
void CheckFill(int width, int height, int type, const Painter& pattern, int x, int row, uint32_t colour,
               Bounds b, const char* what) {
    TestImage actual(width, height, type), expected(width, height, type);
    for (int r = 0; r < height; ++r)
        for (int px = 0; px < width; ++px) {
            const uint32_t v = pattern(px, r);
            if (type == kImage8Bit) {
                actual.At8(px, r) = expected.At8(px, r) = uint8_t(v);
            } else {
                actual.Set24(px, r, v);
                expected.Set24(px, r, v);
            }
        }
    ReferenceFill(expected, x, row, colour, b);
    if (type == kImage8Bit)
        FloodFill8(actual.bits, actual.header, x, row, int(colour), b.minX, b.minRow, b.maxX, b.maxRow,
                   actual.palette);
    else
        FloodFill24(actual.bits, actual.header, x, row, colour, b.minX, b.minRow, b.maxX, b.maxRow);
    ASSERT_EQ(std::memcmp(actual.bits, expected.bits, actual.header->biSizeImage), 0)
        << what << " " << width << "x" << height << (type == kImage8Bit ? " 8-bit" : " 24-bit") << " at " << x
        << "," << row << (g_bTranslucent ? " translucent" : "");
}

// A square spiral wall of value 1 on 0: the open path is one long corridor.
uint32_t Spiral(int x, int y, int w, int h) {
    int layer = std::min(std::min(x, y), std::min(w - 1 - x, h - 1 - y));
    const bool wallRing = layer % 2 == 1;
    // leave a gap in each wall ring so the corridor connects inwards
    if (wallRing && y == layer && x == layer) return 0;
    return wallRing ? 1 : 0;
}

}  // namespace

TEST(FloodFill, ShapesAgainstReference) {
    std::mt19937 rng(3);
    const int w = 33, h = 21;
    std::vector<std::pair<const char*, Painter>> shapes;
    shapes.push_back({"uniform", [](int, int) { return 0u; }});
    shapes.push_back({"checkerboard", [](int x, int r) { return uint32_t((x + r) % 2); }});
    shapes.push_back({"spiral", [&](int x, int r) { return Spiral(x, r, w, h); }});
    shapes.push_back({"stripes", [](int x, int r) { return uint32_t(x % 3 == 0 && r % 5 != 0); }});
    std::vector<uint32_t> noise(w * h);
    for (auto& v : noise)
        v = rng() % 3 == 0 ? 1 : 0;
    shapes.push_back({"noise", [&](int x, int r) { return noise[r * w + x]; }});
    shapes.push_back({"comb", [](int x, int r) { return uint32_t(r > 0 && r < 20 && x % 2 == 1); }});

    const Bounds whole{0, 0, w - 1, h - 1};
    for (bool translucent : {false, true}) {
        TranslucencyScope scope(translucent);
        for (auto& entry : shapes) {
            const char* name = entry.first;
            const Painter& shape = entry.second;
            for (auto [x, r] : {std::pair{0, 0}, {16, 10}, {w - 1, h - 1}, {5, 20}, {1, 1}}) {
                // 8 bit: the two values are palette indices 0 and 1, painted with index 180.
                CheckFill(w, h, kImage8Bit, shape, x, r, 180, whole, name);
                // 24 bit: the two values are black and dark blue, painted red.
                auto colours = [&](int px, int pr) { return shape(px, pr) ? 0x00002Au : 0u; };
                CheckFill(w, h, kImage24Bit, colours, x, r, 0xFF0000, whole, name);
            }
            CheckFill(w, h, kImage8Bit, shape, 16, 10, 180, Bounds{3, 2, 25, 15}, name);
            CheckFill(w, h, kImage24Bit, shape, 16, 10, 0xFF0000, Bounds{3, 2, 25, 15}, name);
        }
    }
}

TEST(FloodFill, OddWidthsAndSinglePixels) {
    for (bool translucent : {false, true}) {
        TranslucencyScope scope(translucent);
        for (int width : {1, 2, 3, 5, 9, 17, 33}) {
            for (int height : {1, 2, 7}) {
                auto pattern = [](int x, int r) { return uint32_t((x * 7 + r * 3) % 4 == 0); };
                for (int x = 0; x < width; ++x) {
                    CheckFill(width, height, kImage8Bit, pattern, x, height / 2, 9,
                              Bounds{0, 0, width - 1, height - 1}, "odd");
                    auto colours = [&](int px, int r) { return pattern(px, r) ? 0x123456u : 0xABCDEFu; };
                    CheckFill(width, height, kImage24Bit, colours, x, height / 2, 0x00FF00,
                              Bounds{0, 0, width - 1, height - 1}, "odd");
                }
            }
        }
    }
}

TEST(FloodFill, ValuesThatDoNotChange) {
    // Filling with the colour that is there changes nothing.
    TestImage img(5, 3, kImage8Bit);
    std::memset(img.bits, 5, img.header->biSizeImage);
    img.At8(2, 1) = 6;
    img.palette[6] = img.palette[5];  // another index of the same colour still ends the area
    FloodFill8(img.bits, img.header, 0, 0, 5, 0, 0, 4, 2, img.palette);
    EXPECT_EQ(img.At8(0, 0), 5);
    FloodFill8(img.bits, img.header, 0, 0, 180, 0, 0, 4, 2, img.palette);
    EXPECT_EQ(img.At8(0, 0), 180);
    EXPECT_EQ(img.At8(2, 1), 6);

    // Index 216 is black like index 0: painting it over a new image writes 0 again, and the fill ends.
    TestImage blank(64, 64, kImage8Bit);
    FloodFill8(blank.bits, blank.header, 10, 10, 216, 0, 0, 63, 63, blank.palette);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(blank.At8(i, i), 0);

    // A translucent blend that gives back the old value (10 under 11 stays 10) also ends.
    TranslucencyScope scope(true);
    TestImage img24(40, 30, kImage24Bit);
    for (int r = 0; r < 30; ++r)
        for (int x = 0; x < 40; ++x)
            img24.Set24(x, r, 0x0A0A0A);
    FloodFill24(img24.bits, img24.header, 3, 3, 0x0B0B0B, 0, 0, 39, 29);
    EXPECT_EQ(img24.At24(39, 29), 0x0A0A0Au);

    // A 3 x 1 red-green-red image filled at column 0 with blue changes column 0 only.
    TestImage rgr(3, 1, kImage24Bit);
    g_bTranslucent = 0;
    rgr.Set24(0, 0, 0xFF0000);
    rgr.Set24(1, 0, 0x00FF00);
    rgr.Set24(2, 0, 0xFF0000);
    FloodFill24(rgr.bits, rgr.header, 0, 0, 0x0000FF, 0, 0, 2, 0);
    EXPECT_EQ(rgr.At24(0, 0), 0x0000FFu);
    EXPECT_EQ(rgr.At24(1, 0), 0x00FF00u);
    EXPECT_EQ(rgr.At24(2, 0), 0xFF0000u);
}

TEST(FloodFill, BoundsOutsideTheImageAreClipped) {
    TestImage img(10, 10, kImage24Bit);
    FloodFill24(img.bits, img.header, 5, 5, 0xFFFFFF, -100, -100, 1000, 1000);
    for (int r = 0; r < 10; ++r)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(img.At24(x, r), 0xFFFFFFu);
    for (int r = 0; r < 10; ++r)
        for (int i = 30; i < img.stride(); ++i)
            EXPECT_EQ(img.bits[r * img.stride() + i], 0) << "padding";
    FloodFill24(img.bits, img.header, 20, 5, 0, 0, 0, 9, 9);  // start outside: nothing
    EXPECT_EQ(img.At24(9, 5), 0xFFFFFFu);
}
