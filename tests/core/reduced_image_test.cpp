#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "document/reduced_image.h"
#include "document/zoom_level.h"
#include "test_image.h"

namespace {

struct At {
    int x, y;
};

// Bytes that repeat nowhere nearby, so a pixel taken from the wrong place shows.
void Scramble(TestImage& image, uint32_t seed) {
    for (int64_t i = 0; i < int64_t{image.stride()} * image.height(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        image.bits[i] = uint8_t(seed >> 24);
    }
}

// Pixel (x, y) from the top as 0x00RRGGBB, through the palette for 8 bits.
uint32_t ColourAt(const TestImage& image, int x, int y, const RGBQUAD* palette) {
    const int row = image.height() - 1 - y;
    if (image.header->biBitCount == 24) return image.At24(x, row);
    const RGBQUAD& c = palette[image.bits[row * image.stride() + x]];
    return uint32_t{c.rgbRed} << 16 | uint32_t{c.rgbGreen} << 8 | c.rgbBlue;
}

// The mean of block (bx, by) at 1:n, one channel at a time with plain division.
uint32_t Mean(const TestImage& image, int n, int bx, int by, const RGBQUAD* palette) {
    uint32_t sums[3] = {0, 0, 0};
    uint32_t count = 0;
    for (int y = by * n; y < std::min(by * n + n, image.height()); ++y)
        for (int x = bx * n; x < std::min(bx * n + n, image.width()); ++x) {
            const uint32_t c = ColourAt(image, x, y, palette);
            for (int k = 0; k < 3; ++k)
                sums[k] += c >> (8 * k) & 0xFF;
            ++count;
        }
    uint32_t mean = 0xFF000000;
    for (int k = 0; k < 3; ++k)
        mean |= (sums[k] + count / 2) / count << (8 * k);
    return mean;
}

std::vector<uint32_t> Reduce(const TestImage& image, int n, const FloatingBlock* floating = nullptr) {
    const int w = (image.width() + n - 1) / n;
    const int h = (image.height() + n - 1) / n;
    std::vector<uint32_t> out(size_t(w) * h);
    ReduceBlocks({image.header, image.palette, image.bits}, floating, n, RECT{0, 0, w, h}, out.data(), w);
    return out;
}

std::vector<uint32_t> Expected(const TestImage& image, int n) {
    const int w = (image.width() + n - 1) / n;
    const int h = (image.height() + n - 1) / n;
    std::vector<uint32_t> out;
    for (int by = 0; by < h; ++by)
        for (int bx = 0; bx < w; ++bx)
            out.push_back(Mean(image, n, bx, by, image.palette));
    return out;
}

}  // namespace

TEST(ZoomLevel, StepsAndLengths) {
    EXPECT_EQ(ZoomStep({1, 1}, 1), (ZoomLevel{6, 1}));
    EXPECT_EQ(ZoomStep({1, 1}, -1), (ZoomLevel{1, 2}));
    EXPECT_EQ(ZoomStep({1, 3}, -1), (ZoomLevel{1, 4}));
    EXPECT_EQ(ZoomStep({1, 24}, -5), (ZoomLevel{1, 32}));
    EXPECT_EQ(ZoomStep({8, 1}, 3), (ZoomLevel{16, 1}));
    EXPECT_EQ(ZoomLevelIndex({1, 5}), -1);
    EXPECT_EQ(ZoomedLength(6000, {1, 4}), 1500);
    EXPECT_EQ(ZoomedLength(6001, {1, 4}), 1501);
    EXPECT_EQ(ZoomedLength(150, {6, 1}), 900);
}

TEST(ReducedImage, EveryBlockIsTheRoundedMeanOfItsPixels) {
    for (const int type : {kImage8Bit, kImage24Bit})
        for (const int width : {1, 5, 33, 70})
            for (const int n : {2, 3, 4, 6, 8, 12, 16, 24, 32}) {
                TestImage image(width, 37, type);
                Scramble(image, uint32_t(width * 100 + n));
                ASSERT_EQ(Reduce(image, n), Expected(image, n)) << type << " " << width << " 1:" << n;
            }
    // Halves round up: the columns 0 and 1 give 1 where plain truncation would give 0.
    TestImage pair(2, 1, kImage24Bit);
    pair.Set24(1, 0, 0x010101);
    EXPECT_EQ(Reduce(pair, 2), std::vector<uint32_t>{0xFF010101});
    // 32 x 32 blocks of white stay white.
    TestImage white(64, 32, kImage24Bit);
    std::fill(white.bits, white.bits + white.stride() * 32, 0xFF);
    EXPECT_EQ(Reduce(white, 32), (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF}));
}

TEST(ReducedImage, PartOfTheRangeAndAFloatingBlockOverTheImage) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        TestImage image(30, 20, type);
        Scramble(image, 11);
        // A range reaching past the image writes only its blocks, where the whole reduction has them.
        std::vector<uint32_t> part(6 * 4, 0);
        ReduceBlocks({image.header, image.palette, image.bits}, nullptr, 4, RECT{5, 3, 11, 7}, part.data(),
                     6);
        const std::vector<uint32_t> whole = Reduce(image, 4);
        EXPECT_EQ(part[0], whole[3 * 8 + 5]);
        EXPECT_EQ(part[1 * 6 + 2], whole[4 * 8 + 7]);
        EXPECT_EQ(part[3], 0u);
        EXPECT_EQ(part[2 * 6], 0u);

        // A floating block hanging past the left and top edges counts as if it had been dropped.
        TestImage floating(9, 7, type);
        Scramble(floating, 23);
        for (const At at : {At{-3, -2}, At{5, 6}, At{26, 17}}) {
            TestImage dropped(30, 20, type);
            std::memcpy(dropped.bits, image.bits, image.stride() * 20);
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 9; ++x) {
                    const int ix = at.x + x;
                    const int iy = at.y + y;
                    if (ix < 0 || iy < 0 || ix >= 30 || iy >= 20) continue;
                    const int bytes = type == kImage8Bit ? 1 : 3;
                    std::memcpy(dropped.bits + (19 - iy) * dropped.stride() + ix * bytes,
                                floating.bits + (6 - y) * floating.stride() + x * bytes, bytes);
                }
            const FloatingBlock over{{floating.header, image.palette, floating.bits}, at.x, at.y};
            EXPECT_EQ(Reduce(image, 3, &over), Reduce(dropped, 3)) << at.x << "," << at.y;
        }
    }
}

TEST(ReducedImage, CopiesFollowTouchedAreasAndDropWithTheImage) {
    TestImage image(50, 40, kImage8Bit);
    Scramble(image, 5);
    const PixelBlock block{image.header, image.palette, image.bits};
    CReducedCopies copies;
    const auto levelPixels = [&](int n) {
        const CReducedCopies::Copy* copy = copies.Level(block, n);
        return std::vector<uint32_t>(copy->Row(0), copy->Row(0) + copy->width * copy->height);
    };
    EXPECT_EQ(levelPixels(4), Expected(image, 4));
    EXPECT_EQ(levelPixels(3), Expected(image, 3));
    EXPECT_EQ(copies.Count(), 2u);

    // A change announced by Touch reaches every copy; one that was not announced does not.
    image.At8(10, 40 - 1 - 21) = uint8_t(image.At8(10, 40 - 1 - 21) + 128);
    image.At8(45, 40 - 1 - 2) = uint8_t(image.At8(45, 40 - 1 - 2) + 128);
    copies.Touch(RECT{10, 21, 11, 22});
    std::vector<uint32_t> quarter = levelPixels(4);
    const std::vector<uint32_t> fresh = Expected(image, 4);
    EXPECT_EQ(quarter[5 * 13 + 2], fresh[5 * 13 + 2]);
    EXPECT_NE(quarter[0 * 13 + 11], fresh[0 * 13 + 11]);
    copies.Touch(RECT{0, 0, 50, 40});
    EXPECT_EQ(levelPixels(4), fresh);
    EXPECT_EQ(levelPixels(3), Expected(image, 3));

    // A new palette, or a new size, drops every copy.
    image.palette[image.At8(0, 39)].rgbRed ^= 0xFF;
    EXPECT_EQ(levelPixels(2), Expected(image, 2));
    EXPECT_EQ(copies.Count(), 1u);
    image.header->biWidth = 49;
    EXPECT_EQ(levelPixels(2), Expected(image, 2));
    EXPECT_EQ(copies.Count(), 1u);
    image.header->biWidth = 50;
}
