// What the dither methods do to the picture: ordered dither and error diffusion keep the mean
// colour of an area the palette cannot show, leave palette colours alone, and error diffusion does
// not carry a colour into its surroundings.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "quantz_test_image.h"

namespace {

std::array<double, 3> MeanColour(const Reduced& out, int x0, int y0, int x1, int y1) {
    std::array<double, 3> sum{};
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const Rgb c = out.At(x, y);
            sum[0] += c.red;
            sum[1] += c.green;
            sum[2] += c.blue;
        }
    }
    const double n = double(x1 - x0) * (y1 - y0);
    return {sum[0] / n, sum[1] / n, sum[2] / n};
}

}  // namespace

// A flat colour half way between the standard cube's levels on every channel: dithering mixes
// neighbouring entries so that the area keeps its colour on average, where Nearest Color cannot.
TEST(QuantzDither, StandardPaletteKeepsTheMeanOfAFlatArea) {
    const Rgb colour{21, 105, 189};  // 0..42, 84..126, 168..210
    for (int dither : {1, 2}) {
        InputImage input(64, 64, [&](int, int) { return colour; });
        const Reduced out(input, 0, dither);
        ASSERT_TRUE(out);
        const auto mean = MeanColour(out, 0, 0, 64, 64);
        EXPECT_NEAR(mean[0], colour.red, 3) << dither;
        EXPECT_NEAR(mean[1], colour.green, 3) << dither;
        EXPECT_NEAR(mean[2], colour.blue, 3) << dither;
        std::set<int> indices;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                indices.insert(out.Index(x, y));
        EXPECT_GE(indices.size(), 2u) << dither;
    }
    // A palette colour stays itself, pixel for pixel.
    for (int dither : {0, 1, 2}) {
        InputImage input(19, 9, [](int, int) { return Rgb{42, 84, 126}; });
        const Reduced out(input, 0, dither);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 19; ++x)
                ASSERT_EQ(out.Index(x, y), 1 * 36 + 2 * 6 + 3) << dither;
    }
}

// With an adaptive palette, a smooth two-dimensional gradient of 65536 colours: over 8 x 8 blocks
// the dithered result keeps the block means far better than Nearest Color's bands do.
TEST(QuantzDither, AdaptivePalettesKeepBlockMeans) {
    const int size = 256;
    auto gradient = [&](int x, int y) { return Rgb{uint8_t(x), uint8_t(y), uint8_t(255 - (x + y) / 2)}; };
    for (int palette : {1, 2}) {
        double error[3] = {};  // mean block error per dither method, in levels
        for (int dither : {0, 1, 2}) {
            InputImage input(size, size, gradient);
            const Reduced out(input, palette, dither);
            ASSERT_TRUE(out);
            for (int by = 0; by < size; by += 8) {
                for (int bx = 0; bx < size; bx += 8) {
                    const auto mean = MeanColour(out, bx, by, bx + 8, by + 8);
                    std::array<double, 3> want{};
                    for (int y = by; y < by + 8; ++y) {
                        for (int x = bx; x < bx + 8; ++x) {
                            want[0] += gradient(x, y).red / 64.0;
                            want[1] += gradient(x, y).green / 64.0;
                            want[2] += gradient(x, y).blue / 64.0;
                        }
                    }
                    for (int c = 0; c < 3; ++c)
                        error[dither] += std::abs(mean[c] - want[c]);
                }
            }
            error[dither] /= 3.0 * (size / 8) * (size / 8);
        }
        EXPECT_LT(error[1], 0.7 * error[0]) << "ordered, palette " << palette;
        EXPECT_LT(error[2], 0.5 * error[0]) << "error diffusion, palette " << palette;
        EXPECT_LT(error[2], 1.0) << "error diffusion, palette " << palette;
    }
}

// A saturated red the standard palette cannot reach (its cube stops at 210) next to a grey it
// holds exactly: the red's error must not run on into the grey beyond the first few columns.
TEST(QuantzDither, ErrorDiffusionDoesNotBleed) {
    const int width = 60, height = 40;
    InputImage input(width, height, [](int x, int) { return x < 30 ? Rgb{255, 0, 0} : Rgb{126, 126, 126}; });
    const Reduced out(input, 0, 2);
    ASSERT_TRUE(out);
    const int grey = 3 * 36 + 3 * 6 + 3;  // (126, 126, 126) in the cube
    for (int y = 0; y < height; ++y)
        for (int x = 34; x < width; ++x)
            ASSERT_EQ(out.Index(x, y), grey) << x << "," << y;
    // The red side shows the cube's strongest red and nothing greener or bluer.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 28; ++x)
            ASSERT_EQ(out.At(x, y), (Rgb{210, 0, 0})) << x << "," << y;
}
