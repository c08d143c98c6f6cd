// Speed of the pixel routines on a 6000 x 4000 image, with memcpy of the same bytes as the baseline.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "document/image_buffer.h"
#include "document/paint_routines.h"
#include "document/pixel_routines.h"

#ifdef ORVIK_BENCH_HAVE_QT
#include <QImage>
#endif

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int64_t kPixels = int64_t{kWidth} * kHeight;

struct Image {
    BITMAPINFOHEADER* header = nullptr;
    RGBQUAD* palette = nullptr;
    uint8_t* bits = nullptr;
    explicit Image(int type, int width = kWidth, int height = kHeight) {
        CreateBlankImage(width, height, type, &header, &palette, &bits);
    }
    ~Image() {
        if (header->biBitCount != 8) std::free(palette);
        std::free(header);
        std::free(bits);
    }
};

// Fills the whole uniform image, alternating between two colours so every fill paints every pixel.
void FloodFill(benchmark::State& state, int type, bool translucent) {
    Image img(type);
    g_bTranslucent = translucent ? 1 : 0;
    int turn = 0;
    for (auto _ : state) {
        const int index = turn++ % 2 ? 0 : 215;
        if (type == kImage8Bit) {
            const uint8_t before = img.bits[0];
            FloodFill8(img.bits, img.header, kWidth / 2, kHeight / 2, index, 0, 0, kWidth - 1, kHeight - 1,
                       img.palette);
            if (img.bits[0] == before) state.SkipWithError("the fill changed nothing");
        } else {
            const uint32_t before = GetPixel24(img.bits, 0, 0, img.header->biXPelsPerMeter);
            FloodFill24(img.bits, img.header, kWidth / 2, kHeight / 2, PaletteColour(img.palette[index]), 0,
                        0, kWidth - 1, kHeight - 1);
            if (GetPixel24(img.bits, 0, 0, img.header->biXPelsPerMeter) == before)
                state.SkipWithError("the fill changed nothing");
        }
    }
    g_bTranslucent = 0;
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void BM_FloodFill8(benchmark::State& state) {
    FloodFill(state, kImage8Bit, false);
}
void BM_FloodFill24(benchmark::State& state) {
    FloodFill(state, kImage24Bit, false);
}
void BM_FloodFill8Translucent(benchmark::State& state) {
    FloodFill(state, kImage8Bit, true);
}
void BM_FloodFill24Translucent(benchmark::State& state) {
    FloodFill(state, kImage24Bit, true);
}
BENCHMARK(BM_FloodFill8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFill24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFill8Translucent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFill24Translucent)->Unit(benchmark::kMillisecond);

// memcpy of a block of the given size: the floor for the copying routines.
void BM_Memcpy(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(state.range(0));
    std::vector<uint8_t> a(bytes, 1), b(bytes, 0);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), bytes);
        benchmark::DoNotOptimize(b.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_Memcpy)
    ->Arg(RowStride(kWidth, 8) * kHeight)
    ->Arg(RowStride(kWidth, 24) * kHeight)
    ->Unit(benchmark::kMillisecond);

PaintCanvas CanvasOf(const Image& image) {
    return PaintCanvas{image.bits,
                       kWidth,
                       kHeight,
                       static_cast<int>(image.header->biXPelsPerMeter),
                       image.header->biBitCount / 8,
                       image.palette};
}

// A filled ellipse of the whole image: the shape worked out as spans, the outline and the inside
// written in two colours.
void BM_FilledEllipse(benchmark::State& state) {
    const Image image(static_cast<int>(state.range(0)));
    const PaintCanvas canvas = CanvasOf(image);
    for (auto _ : state) {
        CSpanSet outline;
        CSpanSet inside;
        AddEllipse(&outline, &inside, RECT{0, 0, kWidth - 1, kHeight - 1}, 1);
        PaintSpans(canvas, outline, InkOf(canvas, 180));
        PaintSpans(canvas, inside, InkOf(canvas, 30));
        benchmark::DoNotOptimize(image.bits);
    }
}
BENCHMARK(BM_FilledEllipse)->Arg(kImage8Bit)->Arg(kImage24Bit)->Unit(benchmark::kMillisecond);

// Replace Color over the whole uniform image (finding the colour, then replacing it), alternating
// between two colours so every pixel changes each time; compare with BM_Memcpy of the same bytes.
void BM_ReplaceColour(benchmark::State& state) {
    const Image image(static_cast<int>(state.range(0)));
    const PaintCanvas canvas = CanvasOf(image);
    const RECT all{0, 0, kWidth, kHeight};
    uint32_t from = ReadPixel(canvas, 0, 0);
    uint32_t to = InkOf(canvas, 180);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindColour(canvas, all, from));
        ReplaceColour(canvas, all, from, to);
        std::swap(from, to);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{canvas.stride} * kHeight);
}
BENCHMARK(BM_ReplaceColour)->Arg(kImage8Bit)->Arg(kImage24Bit)->Unit(benchmark::kMillisecond);

void BM_FlipRows(benchmark::State& state) {
    Image img(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        FlipRows(img.bits, img.header->biXPelsPerMeter, kHeight);
        benchmark::DoNotOptimize(img.bits);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{img.header->biXPelsPerMeter} * kHeight);
}
BENCHMARK(BM_FlipRows)->Arg(kImage8Bit)->Arg(kImage24Bit)->Unit(benchmark::kMillisecond);

// Rescales to 6000 x 4000 from the source size given in percent of it.
void BM_StretchNearest(benchmark::State& state) {
    const int type = static_cast<int>(state.range(0));
    const int percent = static_cast<int>(state.range(1));
    Image src(type, kWidth * percent / 100, kHeight * percent / 100);
    Image dst(type);
    const int bpp = type == kImage8Bit ? 1 : 3;
    for (int i = 0; i < static_cast<int>(src.header->biSizeImage); ++i)
        src.bits[i] = static_cast<uint8_t>(i * 7);
    for (auto _ : state) {
        StretchNearest(src.bits, src.header->biWidth, src.header->biHeight, dst.bits, kWidth, kHeight, bpp);
        benchmark::DoNotOptimize(dst.bits);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{dst.header->biXPelsPerMeter} * kHeight);
}
BENCHMARK(BM_StretchNearest)
    ->ArgsProduct({{kImage8Bit, kImage24Bit}, {50, 100, 150}})
    ->Unit(benchmark::kMillisecond);

// A 24-bit 6000 x 4000 image from a corpus photo, smoothly upscaled so it keeps a photo's colours.
bool LoadPhoto(Image& img) {
#ifdef ORVIK_BENCH_HAVE_QT
    QImage photo(QString(ORVIK_CORPUS_DIR) + "/photos/kodim23.png");
    if (photo.isNull()) return false;
    photo = photo.convertToFormat(QImage::Format_RGB888)
                .scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const int stride = img.header->biXPelsPerMeter;
    for (int y = 0; y < kHeight; ++y) {
        const uint8_t* in = photo.constScanLine(y);
        uint8_t* out = img.bits + static_cast<ptrdiff_t>(kHeight - 1 - y) * stride;
        for (int x = 0; x < kWidth; ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
    return true;
#else
    (void)img;
    return false;
#endif
}

void BM_Reduce24To8Photo(benchmark::State& state) {
    Image photo(kImage24Bit);
    if (!LoadPhoto(photo)) {
        state.SkipWithError("no corpus photo");
        return;
    }
    RGBQUAD palette[256];
    FillDefaultPalette(palette);
    for (auto _ : state) {
        state.PauseTiming();
        auto* bits = static_cast<uint8_t*>(std::malloc(photo.header->biSizeImage));
        std::memcpy(bits, photo.bits, photo.header->biSizeImage);
        auto* header = static_cast<BITMAPINFOHEADER*>(std::malloc(kHeaderBytes));
        *header = *photo.header;
        state.ResumeTiming();
        if (!Reduce24To8(&bits, &header, palette)) state.SkipWithError("reduction failed");
        std::free(bits);
        std::free(header);
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_Reduce24To8Photo)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
