// Time to picture on screen: a 6000 x 4000 picture opened as File > Open opens it (through the codec
// library on the worker thread) until the editing view has painted it, with the codec library's
// huge-page hint for the pixel block (IMGKIT_HUGE_PAGES=1) and without it (0). The file is read from
// the page cache, so the figures are the decode, the page faults of a fresh block and the first
// repaint.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>

#include <cstdlib>

#include "app/orvik_app.h"
#include "document/orvik_doc.h"
#include "gui_bench.h"
#include "views/orvik_view.h"

namespace {

// The picture saved once in each format that is timed.
QString PictureFile(const char* ext) {
    const QString path = QDir::temp().filePath(QStringLiteral("orvik-open-bench.%1").arg(QLatin1String(ext)));
    if (!QFile::exists(path)) {
        COrvikDoc* doc = NewBenchImage(kImage24Bit);
        if (!doc) return {};
        const bool saved = doc->SaveToFile(path);
        CloseBenchImage(doc);
        if (!saved) return {};
    }
    return path;
}

void OpenToScreen(benchmark::State& state, const char* ext) {
    setenv("IMGKIT_HUGE_PAGES", state.range(0) ? "1" : "0", 1);
    const QString path = PictureFile(ext);
    if (path.isEmpty()) {
        state.SkipWithError("could not make the picture");
        return;
    }
    for (auto _ : state) {
        COrvikDoc* doc = theApp->OpenDocumentFile(path);
        if (!doc) {
            state.SkipWithError("open failed");
            break;
        }
        doc->m_pView->viewport()->repaint();
        state.PauseTiming();
        CloseBenchImage(doc);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the document goes too
        state.ResumeTiming();
    }
    unsetenv("IMGKIT_HUGE_PAGES");
}

}  // namespace

BENCHMARK_CAPTURE(OpenToScreen, bmp, "bmp")
    ->ArgName("huge_pages")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(OpenToScreen, tif, "tif")
    ->ArgName("huge_pages")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv) {
    const int result = RunGuiBenchmarks(argc, argv);
    for (const char* ext : {"bmp", "tif"})
        QFile::remove(QDir::temp().filePath(QStringLiteral("orvik-open-bench.%1").arg(QLatin1String(ext))));
    return result;
}
