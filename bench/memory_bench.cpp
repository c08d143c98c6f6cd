// What the undo history and the zoomed-out view cost in memory, on the offscreen platform: a fill
// click over the whole of a 30000 x 20000 8-bit image (the memory it adds at its peak, and whether
// it can be undone), a 7-pixel fill on 6000 x 4000 images under a 50 MiB budget (whether the
// history survives it), and a visit of all nine levels below 1:1 of a 1 GiB image (the memory the
// reduced pictures keep afterwards: the resident memory added, and what the tiles count; run alone,
// since memory freed by an earlier benchmark may be reused without growing the resident size).
// The figures are counters; the times are there for comparison.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QMouseEvent>

#include <unistd.h>
#include <cstring>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "colour/color_palette_dlg.h"
#include "document/orvik_doc.h"
#include "document/reduced_image.h"
#include "document/zoom_level.h"
#include "gui_bench.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

constexpr double kMB = 1e6;

// The resident memory now, and the most it reached since ResetPeak (Linux's VmHWM).
double ResidentMB() {
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    return statm.readAll().split(' ').value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / kMB;
}
double PeakMB() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() * 1024 / kMB;
    }
    return 0;
}
void ResetPeak() {
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

void Click(COrvikDoc* doc, QPoint p) {
    QWidget* surface = doc->m_pView->viewport();
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(p), surface->mapToGlobal(QPointF(p)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(surface, &event);
    }
    QApplication::processEvents();
}

void FillOnLargeImage(benchmark::State& state) {
    theApp->m_undoBudget.SetLimit(uint64_t{512} << 20);
    COrvikDoc* doc = NewBenchImage(kImage8Bit, 30000, 20000);
    if (!doc) {
        state.SkipWithError("no document");
        return;
    }
    std::memset(doc->m_pBits, 0, size_t(doc->Stride()) * doc->Height());
    theApp->m_mainFrame->m_currentTool = ID_TOOL_FILL;
    theApp->m_mainFrame->m_wndPaletteDlg->m_foreIndex = 180;
    double added = 0;
    for (auto _ : state) {
        const double before = ResidentMB();
        ResetPeak();
        Click(doc, QPoint(40, 40));
        added = PeakMB() - before;
    }
    state.counters["image_mb"] = double(doc->Stride()) * doc->Height() / kMB;
    state.counters["peak_added_mb"] = added;
    state.counters["history_mb"] = double(doc->History().Bytes()) / kMB;
    state.counters["undoable"] = doc->History().UndoCount();
    CloseBenchImage(doc);
}
BENCHMARK(FillOnLargeImage)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void SmallFillUnderSmallBudget(benchmark::State& state) {
    theApp->m_undoBudget.SetLimit(uint64_t{50} << 20);
    COrvikDoc* doc = NewBenchImage(static_cast<int>(state.range(0)));
    if (!doc) {
        state.SkipWithError("no document");
        return;
    }
    // Seven pixels of one value in a ring of another: a fill there changes those seven.
    const int bytes = doc->BitCount() / 8;
    const auto set = [doc, bytes](int x, int y, uint8_t value) {
        std::memset(doc->m_pBits + size_t(doc->Height() - 1 - y) * doc->Stride() + x * bytes, value, bytes);
    };
    for (int x = 99; x <= 107; ++x)
        for (int y = 99; y <= 101; ++y)
            set(x, y, 201);
    for (int x = 100; x <= 106; ++x)
        set(x, 100, 200);
    theApp->m_mainFrame->m_wndPaletteDlg->m_foreIndex = 17;
    theApp->m_mainFrame->m_currentTool = ID_TOOL_BRUSH;
    for (int i = 0; i < 5; ++i)
        Click(doc, QPoint(300 + 10 * i, 300));
    const double before = double(doc->History().UndoCount());
    theApp->m_mainFrame->m_currentTool = ID_TOOL_FILL;
    for (auto _ : state)
        Click(doc, QPoint(103, 100));
    state.counters["steps_before"] = before;
    state.counters["steps_after"] = double(doc->History().UndoCount());
    state.counters["history_kb"] = double(doc->History().Bytes()) / 1e3;
    CloseBenchImage(doc);
    theApp->m_undoBudget.SetLimit(uint64_t{512} << 20);
}
BENCHMARK(SmallFillUnderSmallBudget)
    ->ArgName("type")
    ->Arg(kImage8Bit)
    ->Arg(kImage24Bit)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

void VisitReducedLevels(benchmark::State& state) {
    COrvikDoc* doc = NewBenchImage(kImage8Bit, 32768, 32768);  // 1 GiB of pixels
    if (!doc) {
        state.SkipWithError("no document");
        return;
    }
    COrvikView* view = doc->m_pView;
    doc->m_pChildFrame->showMaximized();
    QApplication::processEvents();
    const double before = ResidentMB();
    ResetPeak();
    for (auto _ : state) {
        for (const ZoomLevel level : kZoomLevels) {
            if (level.shrink == 1) continue;
            view->ZoomAround(level, QPoint(400, 300));
            view->viewport()->repaint();
        }
    }
    state.counters["image_mb"] = double(doc->Stride()) * doc->Height() / kMB;
    state.counters["kept_mb"] = ResidentMB() - before;
    state.counters["pictures_mb"] = double(CReducedCopies::AllBytes()) / kMB;  // what the tiles hold
    state.counters["peak_added_mb"] = PeakMB() - before;
    CloseBenchImage(doc);
}
BENCHMARK(VisitReducedLevels)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return RunGuiBenchmarks(argc, argv, 1600, 1000);
}
