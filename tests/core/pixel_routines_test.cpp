#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "document/palette_match.h"
#include "document/pixel_routines.h"
#include "test_image.h"

namespace {

std::vector<RGBQUAD> DefaultPalette() {
    std::vector<RGBQUAD> p(256);
    FillDefaultPalette(p.data());
    return p;
}

}  // namespace

TEST(Blend, ExactRuleAndClamping) {
    TranslucencyScope scope(true);
    EXPECT_EQ(BlendChannel(255, 0), 160);
    EXPECT_EQ(BlendChannel(0, 255), 94);
    EXPECT_EQ(BlendChannel(200, 100), 162);  // just below 163 with the single-precision factor
    EXPECT_EQ(BlendChannel(10, 11), 10);
    g_fTranslucency = 0.0f;
    EXPECT_EQ(BlendChannel(17, 200), 200);
    g_fTranslucency = 1.0f;
    EXPECT_EQ(BlendChannel(17, 200), 17);
    g_fTranslucency = 1.5f;  // the Setup dialog accepts 150 %
    EXPECT_EQ(BlendChannel(255, 0), 255);
    EXPECT_EQ(BlendChannel(0, 255), 0);
    EXPECT_EQ(BlendChannel(100, 50), 125);
    g_fTranslucency = 0.4f;  // the float just above 0.4
    EXPECT_EQ(BlendChannel(0, 255), 152);
    g_fTranslucency = 40 * 0.01f;  // 40 % as the Setup dialog stores it: the float just below 0.4
    EXPECT_EQ(BlendChannel(0, 255), 153);
}

TEST(Nearest, LowestIndexWinsAndMatcherAgrees) {
    auto p = DefaultPalette();
    EXPECT_EQ(NearestPaletteIndex(0, 0, 0, p.data()), 0);
    EXPECT_EQ(NearestPaletteIndex(42, 42, 42, p.data()), 43);  // also entry 223
    EXPECT_EQ(NearestPaletteIndex(234, 234, 234, p.data()), 255);
    EXPECT_EQ(NearestPaletteIndex(255, 0, 0, p.data()), 180);
    EXPECT_EQ(NearestPaletteIndex(6, 6, 6, p.data()), 217);

    // The cell-pruned matcher must give the same index for every colour, on palettes with
    // duplicates, clusters and the default one.
    std::mt19937 rng(7);
    std::vector<std::vector<RGBQUAD>> palettes{p};
    for (int k = 0; k < 3; ++k) {
        std::vector<RGBQUAD> q(256);
        for (auto& e : q) {
            const int base = k == 2 ? 100 : 0, span = k == 2 ? 40 : 256;
            e = RGBQUAD{uint8_t(base + rng() % span), uint8_t(base + rng() % span),
                        uint8_t(base + rng() % span), 0};
        }
        if (k == 1)
            for (int i = 128; i < 256; ++i)
                q[i] = q[i - 128];  // every colour twice
        palettes.push_back(q);
    }
    for (const auto& pal : palettes) {
        PaletteMatcher matcher(pal.data());
        for (int n = 0; n < 40000; ++n) {
            const uint8_t r = rng(), g = rng(), b = rng();
            ASSERT_EQ(matcher.Nearest(r, g, b), NearestPaletteIndex(r, g, b, pal.data()))
                << int(r) << "," << int(g) << "," << int(b);
        }
        for (int i = 0; i < 256; ++i) {
            const RGBQUAD e = pal[i];
            ASSERT_EQ(matcher.Nearest(e.rgbRed, e.rgbGreen, e.rgbBlue),
                      NearestPaletteIndex(e.rgbRed, e.rgbGreen, e.rgbBlue, pal.data()));
        }
    }
}

// A palette whose later entries are unused (left zero) must never answer with one of them, not
// even for black; and the matcher must agree with a plain search over the used entries, also for
// palettes packed into a small corner of the colour space, where cells keep many candidates.
TEST(Nearest, MatcherSearchesOnlyTheUsedEntries) {
    std::mt19937 rng(11);
    for (int count : {1, 2, 5, 100, 255}) {
        for (int span : {256, 12}) {
            std::vector<RGBQUAD> pal(256, RGBQUAD{0, 0, 0, 0});
            for (int i = 0; i < count; ++i)
                pal[i] = RGBQUAD{uint8_t(40 + rng() % span / 2), uint8_t(rng() % span),
                                 uint8_t(20 + rng() % span / 2), 0};
            PaletteMatcher matcher(pal.data(), count);
            auto brute = [&](int r, int g, int b) {
                int best = 0, bestDistance = INT32_MAX;
                for (int i = 0; i < count; ++i) {
                    const int dr = pal[i].rgbRed - r, dg = pal[i].rgbGreen - g, db = pal[i].rgbBlue - b;
                    const int d = dr * dr + dg * dg + db * db;
                    if (d < bestDistance) bestDistance = d, best = i;
                }
                return best;
            };
            EXPECT_EQ(matcher.Nearest(0, 0, 0), brute(0, 0, 0));
            for (int n = 0; n < 20000; ++n) {
                const uint8_t r = rng(), g = rng(), b = rng();
                ASSERT_EQ(matcher.Nearest(r, g, b), brute(r, g, b)) << count << " " << span;
            }
        }
    }
}

TEST(PutPixel, WritersAndBlend) {
    TestImage img8(4, 2, kImage8Bit);
    TestImage img24(3, 2, kImage24Bit);
    {
        TranslucencyScope scope(false);
        PutPixel8(img8.bits, 1, 1, img8.stride(), 216, img8.palette);  // black again: the lower index
        EXPECT_EQ(img8.At8(1, 1), 0);
        PutPixel8(img8.bits, 2, 0, img8.stride(), 180 + 256, img8.palette);  // only the low byte counts
        EXPECT_EQ(img8.At8(2, 0), 180);
        PutPixel24(img24.bits, 2, 1, img24.stride(), 0xFF0000);
        const uint8_t* p = img24.bits + img24.stride() + 6;
        EXPECT_EQ(p[0], 0);
        EXPECT_EQ(p[1], 0);
        EXPECT_EQ(p[2], 255);
        EXPECT_EQ(GetPixel24(img24.bits, 2, 1, img24.stride()), 0xFF0000u);
    }
    {
        TranslucencyScope scope(true);
        img24.Set24(0, 0, 0xFFFFFF);
        PutPixel24(img24.bits, 0, 0, img24.stride(), 0);
        EXPECT_EQ(img24.At24(0, 0), 0xA0A0A0u);  // 160, 160, 160
        // 8 bit: black over grey 210 blends to 132, which the grey ramp holds exactly.
        img8.At8(0, 0) = 215;  // (210, 210, 210)
        PutPixel8(img8.bits, 0, 0, img8.stride(), 0, img8.palette);
        const int expected = NearestPaletteIndex(BlendChannel(210, 0), BlendChannel(210, 0),
                                                 BlendChannel(210, 0), img8.palette);
        EXPECT_EQ(img8.At8(0, 0), expected);
        EXPECT_EQ(expected, 216 + 22);
    }
}

TEST(HLine, RunsMatchSinglePixelWrites) {
    std::mt19937 rng(11);
    for (bool translucent : {false, true}) {
        TranslucencyScope scope(translucent);
        for (int width : {1, 3, 5, 33, 200}) {
            TestImage a8(width, 2, kImage8Bit), b8(width, 2, kImage8Bit);
            TestImage a24(width, 2, kImage24Bit), b24(width, 2, kImage24Bit);
            for (int x = 0; x < width; ++x) {
                a8.At8(x, 1) = b8.At8(x, 1) = uint8_t(rng());
                const uint32_t c = rng() & 0xFFFFFF;
                a24.Set24(x, 1, c);
                b24.Set24(x, 1, c);
            }
            const int first = width > 4 ? 1 : 0, last = width - 1;
            HLine8(a8.bits, first, 1, last, a8.stride(), 77, a8.palette);
            for (int x = first; x <= last; ++x)
                PutPixel8(b8.bits, x, 1, b8.stride(), 77, b8.palette);
            EXPECT_EQ(std::memcmp(a8.bits, b8.bits, a8.header->biSizeImage), 0) << width << translucent;
            HLine24(a24.bits, first, 1, last, a24.stride(), 0x3080F0);
            for (int x = first; x <= last; ++x)
                PutPixel24(b24.bits, x, 1, b24.stride(), 0x3080F0);
            EXPECT_EQ(std::memcmp(a24.bits, b24.bits, a24.header->biSizeImage), 0) << width << translucent;
            // first > last writes nothing
            HLine8(a8.bits, 3, 0, 2, a8.stride(), 5, a8.palette);
            HLine24(a24.bits, 3, 0, 2, a24.stride(), 0xFFFFFF);
            for (int x = 0; x < width; ++x) {
                EXPECT_EQ(a8.At8(x, 0), 0);
                EXPECT_EQ(a24.At24(x, 0), 0u);
            }
        }
    }
}

TEST(FlipRows, Heights) {
    std::vector<uint8_t> rows{1, 1, 2, 2, 3, 3, 4, 4};
    FlipRows(rows.data(), 2, 1);
    EXPECT_EQ(rows, (std::vector<uint8_t>{1, 1, 2, 2, 3, 3, 4, 4}));
    FlipRows(rows.data(), 2, 3);
    EXPECT_EQ(rows, (std::vector<uint8_t>{3, 3, 2, 2, 1, 1, 4, 4}));
    FlipRows(rows.data(), 2, 4);
    EXPECT_EQ(rows, (std::vector<uint8_t>{4, 4, 1, 1, 2, 2, 3, 3}));
}

namespace {

// Stretches a one-row image whose pixel x holds x and returns the source column of each output pixel.
std::vector<int> StretchedColumns(int srcWidth, int dstWidth, int bytesPerPixel) {
    const int srcStride = RowStride(srcWidth, 8 * bytesPerPixel);
    const int dstStride = RowStride(dstWidth, 8 * bytesPerPixel);
    std::vector<uint8_t> src(srcStride), dst(dstStride, 0);
    for (int x = 0; x < srcWidth; ++x)
        for (int k = 0; k < bytesPerPixel; ++k)
            src[x * bytesPerPixel + k] = uint8_t(x + 100 * k);
    StretchNearest(src.data(), srcWidth, 1, dst.data(), dstWidth, 1, bytesPerPixel);
    std::vector<int> columns;
    for (int x = 0; x < dstWidth; ++x) {
        for (int k = 1; k < bytesPerPixel; ++k)
            EXPECT_EQ(dst[x * bytesPerPixel + k], uint8_t(dst[x * bytesPerPixel] + 100 * k));
        columns.push_back(dst[x * bytesPerPixel]);
    }
    for (int i = dstWidth * bytesPerPixel; i < dstStride; ++i)
        EXPECT_EQ(dst[i], 0) << "padding";
    return columns;
}

}  // namespace

TEST(StretchNearest, SinglePrecisionFactors) {
    for (int bpp : {1, 3, 4}) {
        EXPECT_EQ(StretchedColumns(14, 6, bpp), (std::vector<int>{0, 2, 4, 6, 9, 11}));
        EXPECT_EQ(StretchedColumns(3, 9, bpp), (std::vector<int>{0, 0, 0, 1, 1, 1, 2, 2, 2}));
        EXPECT_EQ(StretchedColumns(5, 5, bpp), (std::vector<int>{0, 1, 2, 3, 4}));
    }
    // Rows follow the same rule: a 2 x 2 image to 4 x 4 repeats each pixel in a 2 x 2 block.
    const uint8_t src[8] = {1, 2, 0, 0, 3, 4, 0, 0};
    uint8_t dst[16] = {};
    StretchNearest(src, 2, 2, dst, 4, 4, 1);
    const uint8_t expected[16] = {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4};
    EXPECT_EQ(std::memcmp(dst, expected, 16), 0);
}

TEST(DepthConversion, ExpandAndReduce) {
    for (int width : {1, 3, 5, 33}) {
        TestImage img(width, 3, kImage8Bit);
        for (int r = 0; r < 3; ++r)
            for (int x = 0; x < width; ++x)
                img.At8(x, r) = uint8_t((x * 7 + r * 31) % 216);
        std::vector<uint8_t> indices(img.bits, img.bits + img.header->biSizeImage);
        img.palette = nullptr;  // the palette lives in the header block, which is replaced
        ASSERT_TRUE(Expand8To24(&img.bits, &img.header));
        EXPECT_EQ(img.header->biBitCount, 24);
        EXPECT_EQ(img.header->biXPelsPerMeter, RowStride(width, 24));
        EXPECT_EQ(img.header->biSizeImage, uint32_t(3 * RowStride(width, 24)));
        EXPECT_EQ(img.header->biClrUsed, 0u);
        EXPECT_TRUE(IsModelHeader(*img.header));
        auto pal = DefaultPalette();
        for (int r = 0; r < 3; ++r)
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(img.At24(x, r), PaletteColour(pal[indices[r * RowStride(width, 8) + x]]));
        for (int r = 0; r < 3; ++r)
            for (int i = width * 3; i < img.stride(); ++i)
                EXPECT_EQ(img.bits[r * img.stride() + i], 0);

        ASSERT_TRUE(Reduce24To8(&img.bits, &img.header, pal.data()));
        EXPECT_EQ(img.header->biBitCount, 8);
        EXPECT_EQ(img.header->biClrUsed, 256u);
        EXPECT_EQ(std::memcmp(HeaderPalette(img.header), pal.data(), 1024), 0);
        EXPECT_EQ(std::vector<uint8_t>(img.bits, img.bits + img.header->biSizeImage), indices);
        img.palette = HeaderPalette(img.header);
    }
    // A header the model cannot hold is refused and nothing changes.
    TestImage img(4, 4, kImage8Bit);
    BITMAPINFOHEADER* header = img.header;
    uint8_t* bits = img.bits;
    img.header->biWidth = 70000;
    EXPECT_FALSE(Expand8To24(&img.bits, &img.header));
    EXPECT_FALSE(Reduce24To8(&img.bits, &img.header, img.palette));
    EXPECT_EQ(img.header, header);
    EXPECT_EQ(img.bits, bits);
    img.header->biWidth = 4;
}

// A converted header is made new, as for any image of its size and depth, whatever the old one held
// beyond the model; only biYPelsPerMeter is carried over.
TEST(DepthConversion, NewHeadersAreTheModelsOwn) {
    TestImage img(7, 2, kImage8Bit);
    img.palette = nullptr;  // in the header block, which is replaced
    img.header->biSize = 108;
    img.header->biPlanes = 3;
    img.header->biYPelsPerMeter = 2835;
    auto expectModel = [](const BITMAPINFOHEADER* header, int bitCount) {
        BITMAPINFOHEADER* model = nullptr;
        uint8_t* rows = nullptr;
        ASSERT_EQ(AllocateImage(7, 2, bitCount, &model, &rows), ImageStatus::Ok);
        model->biYPelsPerMeter = 2835;
        EXPECT_EQ(std::memcmp(header, model, kHeaderBytes), 0) << bitCount;
        std::free(model);
        std::free(rows);
    };
    ASSERT_TRUE(Expand8To24(&img.bits, &img.header));
    expectModel(img.header, 24);
    img.header->biSize = 124;
    img.header->biPlanes = 0;
    const auto pal = DefaultPalette();
    ASSERT_TRUE(Reduce24To8(&img.bits, &img.header, pal.data()));
    expectModel(img.header, 8);
    img.palette = HeaderPalette(img.header);
}

TEST(Rects, NormalizeAndOverlap) {
    const RECT r = NormalizeRect(RECT{10, 20, 5, 2});
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.right, 10);
    EXPECT_EQ(r.bottom, 20);
    // A point against the rectangle (10, 10, 20, 15): strictly inside only.
    EXPECT_TRUE(RectsOverlap(11, 11, 11, 11, 10, 10, 20, 15));
    EXPECT_FALSE(RectsOverlap(10, 12, 10, 12, 10, 10, 20, 15));
    EXPECT_FALSE(RectsOverlap(12, 10, 12, 10, 10, 10, 20, 15));
    EXPECT_TRUE(RectsOverlap(19, 14, 19, 14, 10, 10, 20, 15));
    EXPECT_FALSE(RectsOverlap(20, 14, 20, 14, 10, 10, 20, 15));
}

TEST(Blocks, CopyAndFill) {
    TestImage img(5, 4, kImage24Bit);
    FillBlock(img.bits, 1, 1, img.stride(), 3, 2, 3, 0x123456);
    for (int r = 0; r < 4; ++r)
        for (int x = 0; x < 5; ++x) {
            const bool inside = x >= 1 && x <= 3 && r >= 1 && r <= 2;
            EXPECT_EQ(img.At24(x, r), inside ? 0x123456u : 0u) << x << "," << r;
        }
    const uint8_t* p = img.bits + img.stride() + 3;
    EXPECT_EQ(p[0], 86);
    EXPECT_EQ(p[1], 52);
    EXPECT_EQ(p[2], 18);

    std::vector<uint8_t> block(2 * 12, 0xEE);
    CopyBlock(img.bits, 2, 1, img.stride(), 3, 2, 3, block.data(), 12);
    for (int r = 0; r < 2; ++r)
        for (int x = 0; x < 3; ++x) {
            const uint32_t c = GetPixel24(block.data(), x, r, 12);
            EXPECT_EQ(c, x < 2 ? 0x123456u : 0u);
        }
    EXPECT_EQ(block[9], 0xEE);  // the destination's padding is not written

    TestImage img8(6, 3, kImage8Bit);
    FillBlock(img8.bits, 4, 0, img8.stride(), 2, 3, 1, 0x1FF);  // low byte only
    EXPECT_EQ(img8.At8(4, 2), 0xFF);
    EXPECT_EQ(img8.At8(3, 2), 0);
    FillBlock(img8.bits, 0, 0, img8.stride(), 2, 3, 2, 9);  // 2 bytes per pixel: nothing written
    EXPECT_EQ(img8.At8(0, 0), 0);
}
