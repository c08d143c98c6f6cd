#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "document/reduced_image.h"
#include "test_image.h"

namespace {

// Bytes that repeat nowhere nearby, so a pixel taken from the wrong place shows.
void Scramble(TestImage& image, uint32_t seed) {
    for (int64_t i = 0; i < int64_t{image.stride()} * image.height(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        image.bits[i] = uint8_t(seed >> 24);
    }
}

// Each n x n block's mean, one channel at a time with plain division, rounded half up.
std::vector<uint32_t> Expected(const TestImage& image, int n) {
    std::vector<uint32_t> out;
    for (int by = 0; by * n < image.height(); ++by)
        for (int bx = 0; bx * n < image.width(); ++bx) {
            uint32_t sums[3] = {0, 0, 0}, count = 0;
            for (int y = by * n; y < std::min(by * n + n, image.height()); ++y)
                for (int x = bx * n; x < std::min(bx * n + n, image.width()); ++x, ++count) {
                    const int row = image.height() - 1 - y;
                    const RGBQUAD& c = image.palette[image.bits[row * image.stride() + x]];
                    const uint32_t colour =
                        image.header->biBitCount == 24
                            ? image.At24(x, row)
                            : uint32_t{c.rgbRed} << 16 | uint32_t{c.rgbGreen} << 8 | c.rgbBlue;
                    for (int k = 0; k < 3; ++k)
                        sums[k] += colour >> (8 * k) & 0xFF;
                }
            uint32_t mean = 0xFF000000;
            for (int k = 0; k < 3; ++k)
                mean |= (sums[k] + count / 2) / count << (8 * k);
            out.push_back(mean);
        }
    return out;
}

std::vector<uint32_t> Reduce(const TestImage& image, int n) {
    const int w = (image.width() + n - 1) / n;
    const int h = (image.height() + n - 1) / n;
    std::vector<uint32_t> out(size_t(w) * h);
    ReduceBlocks({image.header, image.palette, image.bits}, nullptr, n, RECT{0, 0, w, h}, out.data(), w);
    return out;
}

}  // namespace

TEST(ReducedImage, EveryBlockIsTheRoundedMeanOfItsPixels) {
    for (const int type : {kImage8Bit, kImage24Bit})
        for (const int width : {1, 5, 33, 70})
            for (const int n : {2, 3, 4, 6, 8, 12, 16, 24, 32}) {
                TestImage image(width, 37, type);
                Scramble(image, uint32_t(width * 100 + n));
                ASSERT_EQ(Reduce(image, n), Expected(image, n)) << type << " " << width << " 1:" << n;
            }
    // Whole 32 x 32 blocks of white, the largest sums, stay white.
    TestImage white(64, 32, kImage24Bit);
    std::fill(white.bits, white.bits + white.stride() * 32, 0xFF);
    EXPECT_EQ(Reduce(white, 32), (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF}));
}

TEST(ReducedImage, TilesFollowTouchedAreasDropWithTheImageAndKeepToTheLimit) {
    TestImage image(600, 300, kImage8Bit);
    Scramble(image, 5);
    CReducedCopies copies;
    const auto level = [&](int n) {
        const int w = (image.width() + n - 1) / n, h = (image.height() + n - 1) / n;
        std::vector<uint32_t> out(size_t(w) * h);
        copies.Draw({image.header, image.palette, image.bits}, n, RECT{0, 0, w, h}, out.data(), w);
        return out;
    };
    // A part of the level, placed at the start of `out`.
    std::vector<uint32_t> part(4 * 3);
    copies.Draw({image.header, image.palette, image.bits}, 2, RECT{255, 10, 259, 13}, part.data(), 4);
    const std::vector<uint32_t> half = Expected(image, 2);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(part[size_t(y) * 4 + x], half[size_t(10 + y) * 300 + 255 + x]) << x << "," << y;
    EXPECT_EQ(level(2), half);
    EXPECT_EQ(level(3), Expected(image, 3));

    // A change announced by Touch reaches every level; one that was not announced does not.
    image.At8(10, 278) ^= 0x80;   // (10, 21) from the top
    image.At8(590, 297) ^= 0x80;  // (590, 2)
    copies.Touch(RECT{10, 21, 11, 22});
    for (const int n : {2, 3}) {
        const std::vector<uint32_t> drawn = level(n), fresh = Expected(image, n);
        const int w = (image.width() + n - 1) / n;
        EXPECT_EQ(drawn[size_t(21 / n) * w + 10 / n], fresh[size_t(21 / n) * w + 10 / n]) << n;
        EXPECT_NE(drawn[size_t(2 / n) * w + 590 / n], fresh[size_t(2 / n) * w + 590 / n]) << n;
    }
    copies.Touch(RECT{0, 0, 600, 300});
    EXPECT_EQ(level(2), Expected(image, 2));

    // A new palette drops every tile.
    image.palette[image.At8(0, 299)].rgbRed ^= 0xFF;
    EXPECT_EQ(level(4), Expected(image, 4));
    EXPECT_EQ(copies.Bytes(), uint64_t{150} * 75 * 4);

    // Past the limit the tiles drawn longest ago go, of every image; a drawing keeps its own.
    CReducedCopies other;
    const uint64_t limit = CReducedCopies::Limit();
    CReducedCopies::SetLimit(1);
    EXPECT_EQ(level(2), Expected(image, 2));
    EXPECT_EQ(copies.Bytes(), uint64_t{300} * 150 * 4);
    std::vector<uint32_t> corner(1);
    other.Draw({image.header, image.palette, image.bits}, 32, RECT{0, 0, 1, 1}, corner.data(), 1);
    EXPECT_EQ(copies.Bytes(), 0u);
    EXPECT_EQ(CReducedCopies::AllBytes(), other.Bytes());
    CReducedCopies::SetLimit(limit);
}

// With transparency each block's alpha is the mean alpha and its colour the mean weighed by the
// alphas; a block with nothing opaque about it is all zero. An 8-bit image counts its entries'
// opacities.
TEST(ReducedImage, TransparentPixelsAreWeighedByTheirAlpha) {
    for (const int width : {1, 5, 70})
        for (const int n : {2, 3, 8, 32}) {
            TestImage image(width, 37, kTestImage32);
            Scramble(image, uint32_t(width * 7 + n));
            for (int row = 0; row < 37; ++row)
                for (int x = 0; x < width; x += 3)
                    image.bits[row * image.stride() + 4 * x + 3] = x % 2 ? 255 : 0;
            std::vector<uint32_t> expected;
            for (int by = 0; by * n < 37; ++by)
                for (int bx = 0; bx * n < width; ++bx) {
                    uint64_t sums[4] = {}, count = 0;
                    for (int y = by * n; y < std::min(by * n + n, 37); ++y)
                        for (int x = bx * n; x < std::min(bx * n + n, width); ++x, ++count) {
                            const uint32_t p = image.At32(x, 37 - 1 - y);
                            const uint32_t a = p >> 24;
                            for (int k = 0; k < 3; ++k)
                                sums[k] += (p >> (8 * k) & 0xFF) * a;
                            sums[3] += a;
                        }
                    uint32_t mean = 0;
                    if (sums[3] > 0) {
                        mean = uint32_t((sums[3] + count / 2) / count) << 24;
                        for (int k = 0; k < 3; ++k)
                            mean |= uint32_t((sums[k] + sums[3] / 2) / sums[3]) << (8 * k);
                    }
                    expected.push_back(mean);
                }
            ASSERT_EQ(Reduce(image, n), expected) << width << " 1:" << n;
        }
    TestImage eight(2, 2, kImage8Bit);
    eight.At8(0, 0) = 1;
    eight.At8(1, 0) = 2;
    eight.At8(0, 1) = 2;
    eight.At8(1, 1) = 2;
    std::vector<uint8_t> alpha(256, 255);
    alpha[2] = 0;
    uint32_t out = 0;
    ReduceBlocks({eight.header, eight.palette, eight.bits, alpha.data()}, nullptr, 2, RECT{0, 0, 1, 1}, &out,
                 1);
    EXPECT_EQ(out, 0x40000000u | PaletteColour(eight.palette[1]));  // entry 1 at a quarter
    alpha[1] = 0;
    ReduceBlocks({eight.header, eight.palette, eight.bits, alpha.data()}, nullptr, 2, RECT{0, 0, 1, 1}, &out,
                 1);
    EXPECT_EQ(out, 0u);
}
