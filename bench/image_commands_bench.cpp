// Speed of the Image and Colors menus' pixel work on a 6000 x 4000 image, beside memcpy of the
// same block: flips and rotations, Smooth resize to half size, Invert and Greyscale of 24 and
// 32-bit pixels, and the palette commands of an 8-bit image (the count, the new order and the
// remapped indices).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/colour_adjust.h"
#include "document/image_buffer.h"
#include "document/pixel_routines.h"
#include "document/resample.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// A block of rows with a pattern in every byte, and a second block to write into.
struct Rows {
    int bytesPerPixel;
    ptrdiff_t stride;
    std::vector<uint8_t> src;
    std::vector<uint8_t> dst;
    explicit Rows(int bytes, int width = kWidth, int height = kHeight)
        : bytesPerPixel(bytes),
          stride((ptrdiff_t{width} * bytes + 3) / 4 * 4),
          src(size_t(stride) * height),
          dst(size_t(std::max(stride * height, (ptrdiff_t{height} * bytes + 3) / 4 * 4 * width))) {
        uint32_t seed = 12345;
        for (uint8_t& b : src) {
            seed = seed * 1103515245u + 12345u;
            b = uint8_t(seed >> 24);
        }
    }
    size_t Bytes() const { return size_t(stride) * kHeight; }
};

void Processed(benchmark::State& state, size_t bytes) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void BM_Memcpy(benchmark::State& state) {
    Rows rows(int(state.range(0)));
    for (auto _ : state) {
        std::memcpy(rows.dst.data(), rows.src.data(), rows.Bytes());
        benchmark::ClobberMemory();
    }
    Processed(state, rows.Bytes());
}

void BM_Turn(benchmark::State& state) {
    Rows rows(int(state.range(0)));
    const Turn turn = static_cast<Turn>(state.range(1));
    const ptrdiff_t dstStride =
        TurnSwapsSides(turn) ? (ptrdiff_t{kHeight} * rows.bytesPerPixel + 3) / 4 * 4 : rows.stride;
    for (auto _ : state) {
        TurnPixels(rows.src.data(), kWidth, kHeight, rows.stride, rows.bytesPerPixel, turn, rows.dst.data(),
                   dstStride);
        benchmark::ClobberMemory();
    }
    Processed(state, rows.Bytes());
}

void BM_SmoothHalf(benchmark::State& state) {
    Rows rows(int(state.range(0)));
    const ptrdiff_t dstStride = (ptrdiff_t{kWidth / 2} * rows.bytesPerPixel + 3) / 4 * 4;
    for (auto _ : state) {
        ResampleSmooth(rows.src.data(), kWidth, kHeight, rows.stride, rows.dst.data(), kWidth / 2,
                       kHeight / 2, dstStride, rows.bytesPerPixel);
        benchmark::ClobberMemory();
    }
    Processed(state, rows.Bytes());
}

void BM_Adjust(benchmark::State& state) {
    Rows rows(int(state.range(0)));
    ColourAdjustment adjustment;
    adjustment.kind = static_cast<ColourAdjustment::Kind>(state.range(1));
    adjustment.brightness = 20;
    adjustment.contrast = 30;
    for (auto _ : state) {
        const CColourMap map(adjustment);
        map.ApplyToPixels(rows.src.data(), rows.stride, rows.dst.data(), rows.stride, kWidth, kHeight,
                          rows.bytesPerPixel);
        benchmark::ClobberMemory();
    }
    Processed(state, rows.Bytes());
}

// The work of Sort Palette (by use count, by hue), Merge Duplicate Entries and Remove Unused
// Entries on an 8-bit image: counting the entries' use where the order needs it, the new palette,
// and the indices remapped into new rows.
void BM_PaletteCommand(benchmark::State& state) {
    Rows rows(1);
    // Only the upper half of the palette in use, so that every command moves indices.
    for (uint8_t& b : rows.src)
        b |= 0x80;
    RGBQUAD palette[kPaletteEntries];
    FillDefaultPalette(palette);
    const int command = int(state.range(0));
    for (auto _ : state) {
        uint64_t counts[kPaletteEntries];
        PaletteRemap remap;
        if (command == 0) {
            CountEntryUse(rows.src.data(), rows.stride, kWidth, kHeight, 1, palette, counts);
            remap = SortPalette(palette, nullptr, PaletteOrder::UseCount, counts);
        } else if (command == 1) {
            remap = SortPalette(palette, nullptr, PaletteOrder::Hue, nullptr);
        } else if (command == 2) {
            remap = MergeDuplicateEntries(palette, nullptr);
        } else {
            bool used[kPaletteEntries];
            FindUsedEntries(rows.src.data(), rows.stride, kWidth, kHeight, used);
            remap = RemoveUnusedEntries(palette, nullptr, used);
        }
        if (remap.MovesIndices())
            RemapIndices(rows.src.data(), rows.stride, rows.dst.data(), rows.stride, kWidth, kHeight,
                         remap.map);
        benchmark::ClobberMemory();
    }
    Processed(state, rows.Bytes());
}

// A colour adjustment of an 8-bit image changes only its palette.
void BM_PaletteAdjust(benchmark::State& state) {
    RGBQUAD palette[kPaletteEntries];
    FillDefaultPalette(palette);
    ColourAdjustment adjustment;
    adjustment.kind = ColourAdjustment::BrightnessContrast;
    adjustment.brightness = 10;
    for (auto _ : state) {
        CColourMap(adjustment).ApplyToPalette(palette);
        benchmark::DoNotOptimize(palette);
    }
}

}  // namespace

BENCHMARK(BM_Memcpy)->Arg(1)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Turn)
    ->ArgsProduct({{1, 3},
                   {int(Turn::FlipHorizontal), int(Turn::FlipVertical), int(Turn::Rotate90Clockwise),
                    int(Turn::Rotate90CounterClockwise), int(Turn::Rotate180)}})
    ->Args({4, int(Turn::FlipHorizontal)})
    ->Args({4, int(Turn::Rotate90Clockwise)})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothHalf)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Adjust)
    ->Args({3, ColourAdjustment::Invert})
    ->Args({3, ColourAdjustment::Greyscale})
    ->Args({3, ColourAdjustment::BrightnessContrast})
    ->Args({4, ColourAdjustment::Invert})
    ->Args({4, ColourAdjustment::Greyscale})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaletteCommand)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaletteAdjust)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
