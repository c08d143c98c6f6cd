// What the undo history costs on its own, on 6000 x 4000 images at 8 and 24 bits: recording a brush
// stroke of 500 movements as the brush announces its pixels (with the stroke's memory), one more
// pixel once many tiles are kept, a fill of the whole image with its recording and its undo, a
// clear of a large selection, and memcpy of the whole image beside them.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/image_buffer.h"
#include "document/line_steps.h"
#include "document/pixel_routines.h"
#include "document/undo_history.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr uint64_t kBudget = uint64_t{512} << 20;

struct Image {
    BITMAPINFOHEADER* header = nullptr;
    RGBQUAD* palette = nullptr;
    uint8_t* bits = nullptr;
    explicit Image(int type) {
        CreateBlankImage(kWidth, kHeight, type, &header, &palette, &bits);
        const size_t bytes = size_t(header->biXPelsPerMeter) * kHeight;
        for (size_t i = 0; i < bytes; ++i)
            bits[i] = uint8_t(i * 7 + i / 4096);
    }
    ~Image() {
        if (header->biBitCount != 8) std::free(palette);
        std::free(header);
        std::free(bits);
    }
    UndoTarget Target() const { return {header, palette, bits, {}}; }
    size_t Bytes() const { return size_t(header->biXPelsPerMeter) * kHeight; }
};

// The stroke of the view benchmark: a zigzag of 9-pixel steps in five bands.
std::vector<RECT> Stroke() {
    std::vector<RECT> segments;
    int lastX = 100;
    int lastY = 100;
    for (int i = 1; i < 500; ++i) {
        const int x = 100 + (i % 100) * 9 + (i / 100) * 40;
        const int y = 100 + (i % 2) * 9 + (i / 100) * 150;
        segments.push_back(RECT{lastX, lastY, x, y});
        lastX = x;
        lastY = y;
    }
    return segments;
}

// Each movement announces and writes its segment pixel by pixel, as the brush does.
void StrokeRecording(benchmark::State& state) {
    Image image(static_cast<int>(state.range(0)));
    const std::vector<RECT> stroke = Stroke();
    const int bytes = image.header->biBitCount / 8;
    uint64_t strokeBytes = 0;
    uint32_t colour = 0;
    for (auto _ : state) {
        ++colour;
        CUndoBudget budget(kBudget);
        CUndoHistory history(budget);
        for (const RECT& s : stroke) {
            ForEachLinePoint(s.left, s.top, s.right, s.bottom, [&](int x, int y) {
                history.Touch(*image.header, image.bits, RECT{x, y, x + 1, y + 1});
                FillBlock(image.bits, x, kHeight - 1 - y, image.header->biXPelsPerMeter, 1, 1, bytes, colour);
            });
        }
        history.EndStep(image.Target());
        strokeBytes = history.Bytes();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(stroke.size()));  // movements
    state.counters["history_kb"] = double(strokeBytes) / 1024;
}
BENCHMARK(StrokeRecording)->ArgName("type")->Arg(kImage8Bit)->Arg(kImage24Bit)->Unit(benchmark::kMillisecond);

// One brush pixel announced inside a tile already kept, once the stroke has kept `tiles` tiles: the
// look-up must not grow with them.
void TouchAfterTiles(benchmark::State& state) {
    Image image(kImage8Bit);
    CUndoBudget budget(kBudget);
    CUndoHistory history(budget);
    const int tiles = static_cast<int>(state.range(0));
    const int across = kWidth / 64;
    for (int i = 0; i < tiles; ++i) {
        const int x = (i % across) * 64, y = (i / across) * 64;
        history.Touch(*image.header, image.bits, RECT{x, y, x + 1, y + 1});
    }
    int x = 0;
    for (auto _ : state) {
        history.Touch(*image.header, image.bits, RECT{x, 10, x + 1, 11});
        x = (x + 1) & 63;
    }
    history.EndStep(image.Target());
}
BENCHMARK(TouchAfterTiles)->ArgName("tiles")->Arg(1)->Arg(100)->Arg(5000)->Unit(benchmark::kNanosecond);

// A flood fill over the whole uniform image, recorded as the program records one (which pixels it
// painted). Timed: the fill with its recording, and the undo.
void FillAll(CUndoHistory& history, Image& image, int index) {
    RecordedFloodFill(history, PaintTarget{image.header, image.palette, nullptr, image.bits}, 0, 0, index);
    history.EndStep(image.Target());
}

void FillRecordAndUndo(benchmark::State& state) {
    Image image(static_cast<int>(state.range(0)));
    std::memset(image.bits, 0, image.Bytes());
    CUndoBudget budget(kBudget);
    CUndoHistory history(budget);
    uint32_t colour = 0;
    uint64_t kept = 0;
    for (auto _ : state) {
        FillAll(history, image, int(1 + ++colour % 200));
        kept = history.Bytes();
        UndoTarget target = image.Target();
        history.Undo(target);
        state.PauseTiming();
        history.Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(image.Bytes()));
    state.counters["history_kb"] = double(kept) / 1024;
}
BENCHMARK(FillRecordAndUndo)
    ->ArgName("type")
    ->Arg(kImage8Bit)
    ->Arg(kImage24Bit)
    ->Unit(benchmark::kMillisecond);

// A clear of a 5000 x 3000 selection: announced as a rectangle, so kept in tiles. Timed: the
// recording, the undo and the redo.
void AreaRecordUndoRedo(benchmark::State& state) {
    Image image(static_cast<int>(state.range(0)));
    const int bytes = image.header->biBitCount / 8;
    CUndoBudget budget(kBudget);
    CUndoHistory history(budget);
    const RECT area{500, 500, 5500, 3500};
    uint32_t colour = 0;
    for (auto _ : state) {
        history.Touch(*image.header, image.bits, area);
        state.PauseTiming();
        FillBlock(image.bits, area.left, kHeight - area.bottom, image.header->biXPelsPerMeter,
                  area.right - area.left, area.bottom - area.top, bytes, ++colour);
        state.ResumeTiming();
        history.EndStep(image.Target());
        UndoTarget target = image.Target();
        history.Undo(target);
        history.Redo(target);
        state.PauseTiming();
        history.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(AreaRecordUndoRedo)
    ->ArgName("type")
    ->Arg(kImage8Bit)
    ->Arg(kImage24Bit)
    ->Unit(benchmark::kMillisecond);

// The undo of that fill alone, and memcpy of the same bytes for comparison.
void FillUndo(benchmark::State& state) {
    Image image(static_cast<int>(state.range(0)));
    std::memset(image.bits, 0, image.Bytes());
    CUndoBudget budget(kBudget);
    CUndoHistory history(budget);
    FillAll(history, image, 1);
    bool undo = true;
    for (auto _ : state) {
        UndoTarget target = image.Target();
        if (undo)
            history.Undo(target);
        else
            history.Redo(target);
        undo = !undo;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(image.Bytes()));
}
BENCHMARK(FillUndo)->ArgName("type")->Arg(kImage8Bit)->Arg(kImage24Bit)->Unit(benchmark::kMillisecond);

void Memcpy(benchmark::State& state) {
    Image image(static_cast<int>(state.range(0)));
    std::vector<uint8_t> copy(image.Bytes());
    for (auto _ : state) {
        std::memcpy(copy.data(), image.bits, copy.size());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(image.Bytes()));
}
BENCHMARK(Memcpy)->ArgName("type")->Arg(kImage8Bit)->Arg(kImage24Bit)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
