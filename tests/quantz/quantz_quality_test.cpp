// Picture quality on a photograph of the shared corpus: the PSNR of each method pair must stay
// above a floor a little under what the library reaches today. For comparison, ImageMagick's
// -colors 256 reaches 34.91 dB on this photo without dither and 31.45 dB with it, pngquant 35.59 dB;
// pngquant 16 and 64 reach 24.77 and 30.29 dB.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "quantz_test_image.h"

namespace {

// Reads a bottom-up 24-bit BMP with a 40-byte header, or returns null.
std::unique_ptr<InputImage> ReadBmp24(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') return nullptr;
    auto u32 = [&](size_t at) {
        return uint32_t(uint8_t(data[at])) | uint32_t(uint8_t(data[at + 1])) << 8 |
               uint32_t(uint8_t(data[at + 2])) << 16 | uint32_t(uint8_t(data[at + 3])) << 24;
    };
    const uint32_t offset = u32(10);
    const auto width = static_cast<int32_t>(u32(18)), height = static_cast<int32_t>(u32(22));
    const int bitCount = uint8_t(data[28]);
    const size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
    if (bitCount != 24 || width <= 0 || height <= 0 || offset + stride * height > data.size()) return nullptr;
    return std::make_unique<InputImage>(width, height, [&](int x, int y) {
        const char* p = &data[offset + (height - 1 - y) * stride + 3 * x];
        return Rgb{uint8_t(p[2]), uint8_t(p[1]), uint8_t(p[0])};
    });
}

std::unique_ptr<InputImage> CorpusPhoto() {
    const std::string corpus = ORVIK_CORPUS_DIR;
    return corpus.empty() ? nullptr : ReadBmp24(corpus + "/bmp/generated/good/k23-768x512-rgb24-netpbm.bmp");
}

}  // namespace

TEST(QuantzQuality, PhotographAboveFloors) {
    auto photo = CorpusPhoto();
    if (!photo) GTEST_SKIP() << "corpus photo missing";

    struct Floor {
        int palette, dither;
        double psnr;
    };
    // Measured: 26.74, 23.69, 24.53, 36.58, 35.93, 35.83, 34.91, 35.23 and 34.41 dB.
    const Floor floors[] = {{0, 0, 26.5}, {0, 1, 23.4}, {0, 2, 24.3}, {1, 0, 36.3}, {1, 2, 35.6},
                            {2, 0, 35.5}, {2, 2, 34.6}, {1, 1, 34.9}, {2, 1, 34.1}};
    for (const Floor& f : floors) {
        const Reduced out(*photo, f.palette, f.dither);
        ASSERT_TRUE(out);
        EXPECT_GT(Psnr(*photo, out), f.psnr) << "palette " << f.palette << " dither " << f.dither;
    }
}

// At 16 and 64 colours both adaptive methods, dithered or not, stay above pngquant's PSNR at the
// same count (measured: 26.50, 25.07, 26.54, 25.05 dB at 16; 31.91, 30.74, 31.90, 30.68 dB at 64).
TEST(QuantzQuality, SmallPalettesAbovePngquant) {
    auto photo = CorpusPhoto();
    if (!photo) GTEST_SKIP() << "corpus photo missing";
    for (const auto& [colours, pngquant] : {std::pair{16, 24.77}, std::pair{64, 30.29}}) {
        for (int method : {kQuantzMedianCut, kQuantzOctree}) {
            for (int dither : {kQuantzNearestColour, kQuantzErrorDiffusion}) {
                QuantzRequest request = Request(method, dither, colours);
                const Reduced out(photo->bits(), &photo->header(), request);
                ASSERT_TRUE(out);
                EXPECT_GT(Psnr(*photo, out), pngquant + 0.2) << colours << " colours, " << method << dither;
            }
        }
    }
}
