// The image operations on a 6000 x 4000 24-bit picture (a corpus photo enlarged, or a synthetic one
// when the corpus is missing): Resize Canvas and Resize Image, both the core routine alone and the
// document's whole operation with the repaint that follows, and the undo of Resize Image; and
// Decrease Color Depth, the library call alone against the document's whole command (loading the
// library, progress bar, checks, palette, brushes, palette bar and repaint) on the offscreen
// platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "document/image_ops.h"
#include "document/orvik_doc.h"
#include "document/plugin_library.h"
#include "gui_bench.h"
#include "quantz/quantz.h"
#include "views/orvik_view.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

// The source picture: a 40-byte header and bottom-up rows.
struct Source {
    BITMAPINFOHEADER header{};
    std::vector<uint8_t> rows;
};

const Source& Picture() {
    static const Source source = [] {
        Source s;
        uint8_t* bits = nullptr;
        BITMAPINFOHEADER* header = nullptr;
        RGBQUAD* palette = nullptr;
        CreateBlankImage(kWidth, kHeight, kImage24Bit, &header, &palette, &bits);
        s.header = *header;
        const int stride = header->biXPelsPerMeter;
        s.rows.assign(bits, bits + int64_t{stride} * kHeight);
        std::free(header);
        std::free(palette);
        std::free(bits);
        QImage photo(QDir(QStringLiteral(ORVIK_CORPUS_DIR)).filePath(QStringLiteral("photos/kodim23.png")));
        if (!photo.isNull()) {
            photo = photo.scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_BGR888);
            for (int y = 0; y < kHeight; ++y)
                std::memcpy(&s.rows[size_t(kHeight - 1 - y) * stride], photo.constScanLine(y),
                            size_t{3} * kWidth);
        } else {
            for (int r = 0; r < kHeight; ++r)
                for (int x = 0; x < kWidth; ++x) {
                    uint8_t* p = &s.rows[size_t(r) * stride + 3 * size_t(x)];
                    p[0] = uint8_t(x * 255 / kWidth);
                    p[1] = uint8_t(r * 255 / kHeight);
                    p[2] = uint8_t((x + r) * 7);
                }
        }
        return s;
    }();
    return source;
}

// Fresh copies of the picture's blocks.
void CopyPicture(BITMAPINFOHEADER** header, uint8_t** bits) {
    const Source& s = Picture();
    *header = static_cast<BITMAPINFOHEADER*>(std::calloc(1, kHeaderBytes));
    **header = s.header;
    *bits = static_cast<uint8_t*>(std::malloc(s.rows.size()));
    std::memcpy(*bits, s.rows.data(), s.rows.size());
}

// The document of the GUI benchmarks, made on first use; it holds a fresh copy of the picture
// before every measured operation.
COrvikDoc* Doc() {
    static COrvikDoc* doc = [] {
        COrvikDoc* d = NewBenchImage(kImage24Bit, 8, 8);
        if (!d) return d;
        // An editing view with a 1920 x 1080 client area.
        CChildFrame* frame = d->m_pChildFrame;
        COrvikView* view = d->m_pView;
        frame->resize(1920 + frame->width() - view->viewport()->width(),
                      1080 + frame->height() - view->viewport()->height());
        QApplication::processEvents();
        return d;
    }();
    return doc;
}

void LoadPictureIntoDocument() {
    COrvikDoc* doc = Doc();
    if (doc->m_pHeader->biBitCount != 8) std::free(doc->m_pPalette);
    std::free(doc->m_pHeader);
    std::free(doc->m_pBits);
    CopyPicture(&doc->m_pHeader, &doc->m_pBits);
    doc->m_pPalette = MakeDefaultPalette();
    doc->MakeBrushes();
    doc->m_pView->UpdateScrollRanges();
    QApplication::processEvents();
}

using Operation = ImageStatus (*)(BITMAPINFOHEADER*, uint8_t**, int64_t, int64_t);

void CoreOperation(benchmark::State& state, Operation operation) {
    const auto width = state.range(0);
    const auto height = state.range(1);
    for (auto _ : state) {
        state.PauseTiming();
        BITMAPINFOHEADER* header = nullptr;
        uint8_t* bits = nullptr;
        CopyPicture(&header, &bits);
        state.ResumeTiming();
        if (operation(header, &bits, width, height) != ImageStatus::Ok) state.SkipWithError("refused");
        state.PauseTiming();
        std::free(header);
        std::free(bits);
        state.ResumeTiming();
    }
}

void ResizeCanvasCore(benchmark::State& state) {
    CoreOperation(state, &ResizeCanvas);
}
void ResizeImageCore(benchmark::State& state) {
    CoreOperation(state, &ResizeImage);
}

// The document's operation, its scroll ranges and the repaint of its views.
void DocumentOperation(benchmark::State& state, bool canvas) {
    const auto width = state.range(0);
    const auto height = state.range(1);
    for (auto _ : state) {
        state.PauseTiming();
        LoadPictureIntoDocument();
        state.ResumeTiming();
        const ImageStatus status =
            canvas ? Doc()->ResizeCanvas(width, height) : Doc()->ResizeImage(width, height);
        if (status != ImageStatus::Ok) state.SkipWithError("refused");
        Doc()->m_pView->viewport()->repaint();
    }
}

void ResizeCanvasDocument(benchmark::State& state) {
    DocumentOperation(state, true);
}
void ResizeImageDocument(benchmark::State& state) {
    DocumentOperation(state, false);
}

// Undo of the document's Resize Image, through to the repainted view: the image it kept comes
// back, with the frame and the scroll ranges following it.
void ResizeImageUndo(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        LoadPictureIntoDocument();
        if (Doc()->ResizeImage(state.range(0), state.range(1)) != ImageStatus::Ok)
            state.SkipWithError("refused");
        Doc()->m_pView->viewport()->repaint();
        state.ResumeTiming();
        Doc()->OnEditUndo();
        Doc()->m_pView->viewport()->repaint();
    }
}

int IgnoreProgress(int) {
    return 0;
}

// Convert24To256 alone, called directly, on a fresh copy of the picture each time as the command
// gets it, so both start from the same state of memory.
void ReduceLibrary(benchmark::State& state) {
    const CPluginLibrary library("libquantz.so");
    const auto convert = library.Symbol<QuantzConvert>("Convert24To256");
    const auto setProgress = library.Symbol<QuantzSetProgress>("SetProgressFunction");
    if (!convert || !setProgress) {
        state.SkipWithError("libquantz.so not found");
        return;
    }
    setProgress(&IgnoreProgress);
    for (auto _ : state) {
        state.PauseTiming();
        BITMAPINFOHEADER* header = nullptr;
        uint8_t* bits = nullptr;
        CopyPicture(&header, &bits);
        state.ResumeTiming();
        uint8_t* rows = bits;
        BITMAPINFOHEADER* result = convert(&rows, header, int(state.range(0)), int(state.range(1)));
        if (!result) state.SkipWithError("reduction failed");
        state.PauseTiming();
        std::free(result);
        if (rows != bits) std::free(rows);
        std::free(header);
        std::free(bits);
        state.ResumeTiming();
    }
}

// The whole command after its dialog: the library loaded and called with the progress bar
// running, the result checked and taken, brushes, palette bar and the repaint of the view.
void ReduceCommand(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        LoadPictureIntoDocument();
        state.ResumeTiming();
        if (!Doc()->ReduceColorDepth(int(state.range(0)), int(state.range(1))))
            state.SkipWithError("not reduced");
        Doc()->m_pView->viewport()->repaint();
        QApplication::processEvents();
    }
}

// The progress bar's share of the command: shown, moved through 0..100 as the library reports
// whole percentages, removed.
void ProgressBar(benchmark::State& state) {
    for (auto _ : state) {
        theApp->m_mainFrame->BeginProgress();
        for (int percent = 0; percent <= 100; ++percent)
            ProgressCallback(percent);
        theApp->m_mainFrame->EndProgress();
    }
}

const std::vector<std::vector<int64_t>> kSizes = {{6100, 4100}, {5000, 3000}, {3000, 2000}, {7500, 5000}};
// Octree with nearest colour is the dialog's default.
const std::vector<std::vector<int64_t>> kPairs = {{2, 0}, {1, 2}, {0, 1}};

void Register() {
    const auto add = [](const char* name, void (*function)(benchmark::State&),
                        const std::vector<int64_t>& args) {
        return benchmark::RegisterBenchmark(name, function)->Args(args)->Unit(benchmark::kMillisecond);
    };
    for (const auto& size : kSizes) {
        add("ResizeCanvasCore", ResizeCanvasCore, size)->ArgNames({"w", "h"});
        add("ResizeCanvasDocument", ResizeCanvasDocument, size)->ArgNames({"w", "h"});
    }
    for (const auto& size : kSizes) {
        add("ResizeImageCore", ResizeImageCore, size)->ArgNames({"w", "h"});
        add("ResizeImageDocument", ResizeImageDocument, size)->ArgNames({"w", "h"});
        add("ResizeImageUndo", ResizeImageUndo, size)->ArgNames({"w", "h"});
    }
    benchmark::RegisterBenchmark("ProgressBar", ProgressBar)->Unit(benchmark::kMillisecond);
    for (const auto& pair : kPairs) {
        add("ReduceLibrary", ReduceLibrary, pair)->ArgNames({"palette", "dither"})->Iterations(3);
        add("ReduceCommand", ReduceCommand, pair)->ArgNames({"palette", "dither"})->Iterations(3);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Picture();
    Register();
    return RunGuiBenchmarks(argc, argv);
}
