// Colour reduction: each method pair of libquantz.so on a photograph-like picture at two sizes; 16,
// 64 and 256 colours on a 6000 x 4000 one; the Decrease Color Depth preview's part of a 1000 x 1000
// view of that picture, with and without the palette step done before; and the nearest-entry search
// of the pixel routines, plain and through PaletteMatcher, side by side.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "document/image_buffer.h"
#include "document/palette_match.h"
#include "document/pixel_routines.h"
#include "quantz/quantz.h"

namespace {

// Smooth colour fields with fine noise: many thousands of colours, like a photograph.
struct Picture {
    BITMAPINFOHEADER header{};
    std::vector<uint8_t> bits;

    Picture(int width, int height) {
        const int64_t stride = RowStride(width, 24);
        header = BITMAPINFOHEADER{40, width, height, 1, 24, 0, uint32_t(stride * height), int32_t(stride),
                                  0,  0,     0};
        bits.resize(size_t(stride * height));
        std::mt19937 rng(5);
        for (int row = 0; row < height; ++row) {
            for (int x = 0; x < width; ++x) {
                const int u = x * 256 / width, v = row * 256 / height, n = int(rng() % 9) - 4;
                uint8_t* p = &bits[row * stride + 3 * x];
                p[0] = uint8_t(std::clamp((u * v >> 8) + n, 0, 255));
                p[1] = uint8_t(std::clamp(128 + (u - v) / 2 + n, 0, 255));
                p[2] = uint8_t(std::clamp(255 - (u + v) / 2 + n, 0, 255));
            }
        }
    }
};

void BM_Convert(benchmark::State& state) {
    static Picture small(768, 512), large(3000, 2000);
    Picture& picture = state.range(2) == 0 ? small : large;
    for (auto _ : state) {
        uint8_t* bits = picture.bits.data();
        BITMAPINFOHEADER* header = Convert24To256(&bits, &picture.header, static_cast<int>(state.range(0)),
                                                  static_cast<int>(state.range(1)));
        benchmark::DoNotOptimize(header);
        std::free(header);
        std::free(bits);
    }
    state.SetItemsProcessed(state.iterations() * picture.header.biWidth * picture.header.biHeight);
}
// The pairs the Decrease Color Depth dialog offers.
BENCHMARK(BM_Convert)
    ->ArgNames({"palette", "dither", "large"})
    ->ArgsProduct({{0}, {0, 1, 2}, {0, 1}})
    ->ArgsProduct({{1, 2}, {0, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

Picture& Huge() {
    static Picture picture(6000, 4000);
    return picture;
}

BITMAPINFOHEADER* Reduce(Picture& picture, QuantzRequest& request) {
    uint8_t* bits = picture.bits.data();
    BITMAPINFOHEADER* header = ReduceColours(&bits, &picture.header, &request);
    if (header) std::free(bits);
    return header;
}

// Any count through ReduceColours, on the 6000 x 4000 picture.
void BM_Colours(benchmark::State& state) {
    Picture& picture = Huge();
    QuantzRequest request{};
    request.size = sizeof request;
    request.paletteMethod = static_cast<int>(state.range(0));
    request.ditherMethod = static_cast<int>(state.range(1));
    request.colours = static_cast<int>(state.range(2));
    for (auto _ : state) {
        BITMAPINFOHEADER* header = Reduce(picture, request);
        benchmark::DoNotOptimize(header);
        std::free(header);
    }
    state.SetItemsProcessed(state.iterations() * picture.header.biWidth * picture.header.biHeight);
}
BENCHMARK(BM_Colours)
    ->ArgNames({"palette", "dither", "colours"})
    ->ArgsProduct({{1, 2}, {0, 2}, {16, 64, 256}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The rows a 1000 x 1000 view in the middle of the 6000 x 4000 picture shows (6 MP of rows, 1 MP in
// view), as the dialog's preview asks for them: after a change of the dither (the palette step
// kept, planned = 1) or of the count (planned = 0).
void BM_PreviewPart(benchmark::State& state) {
    Picture& picture = Huge();
    QuantzPalettePlan plan{};
    QuantzRequest request{};
    request.size = sizeof request;
    request.paletteMethod = static_cast<int>(state.range(0));
    request.ditherMethod = static_cast<int>(state.range(1));
    request.colours = 256;
    request.firstRow = 1500;
    request.rowCount = 1000;
    request.plan = &plan;
    if (state.range(2)) std::free(Reduce(picture, request));
    for (auto _ : state) {
        if (!state.range(2)) plan.made = 0;
        BITMAPINFOHEADER* header = Reduce(picture, request);
        benchmark::DoNotOptimize(header);
        std::free(header);
    }
}
BENCHMARK(BM_PreviewPart)
    ->ArgNames({"palette", "dither", "planned"})
    ->ArgsProduct({{1, 2}, {0, 2}, {0, 1}})
    ->Args({0, 1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

std::vector<RGBQUAD> RandomPalette() {
    std::mt19937 rng(9);
    std::vector<RGBQUAD> palette(kPaletteEntries);
    for (auto& e : palette)
        e = RGBQUAD{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
    return palette;
}

void BM_NearestPlain(benchmark::State& state) {
    const auto palette = RandomPalette();
    std::mt19937 rng(3);
    for (auto _ : state) {
        const uint32_t c = rng();
        benchmark::DoNotOptimize(
            NearestPaletteIndex(uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), palette.data()));
    }
}
BENCHMARK(BM_NearestPlain);

void BM_NearestMatcher(benchmark::State& state) {
    const auto palette = RandomPalette();
    PaletteMatcher matcher(palette.data());
    std::mt19937 rng(3);
    for (auto _ : state) {
        const uint32_t c = rng();
        benchmark::DoNotOptimize(matcher.Nearest(uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)));
    }
}
BENCHMARK(BM_NearestMatcher);

}  // namespace

BENCHMARK_MAIN();
