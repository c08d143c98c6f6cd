// One repaint of the editing view (compose in the off-screen surface, present by pixel
// replication) for a 1920 x 1080 client area on the offscreen platform, with 6000 x 4000 images;
// below 1:1 the repaint from a reduced copy, the first display at a level (the copy made) and a
// brush movement with the copy patched; brush strokes and fills with their undo recording, an
// undo, and the history after mixed steps.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <chrono>
#include <cstring>
#include <vector>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "colour/color_palette_dlg.h"
#include "document/orvik_doc.h"
#include "gui_bench.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/tool_options_bar.h"

namespace {

// A 6000 x 4000 image in a window whose editing view has a 1920 x 1080 client area.
COrvikDoc* NewImage(int type) {
    COrvikDoc* doc = NewBenchImage(type);
    if (doc) SizeClientArea(doc);
    return doc;
}

void Repaint(benchmark::State& state) {
    const int type = static_cast<int>(state.range(0));
    const int zoom = static_cast<int>(state.range(1));
    COrvikDoc* doc = NewImage(type);
    if (!doc) {
        state.SkipWithError("no document");
        return;
    }
    COrvikView* view = doc->m_pView;
    if (zoom > 1) view->ZoomIn(3000, 2000);
    while (doc->m_nZoom < zoom)
        view->ZoomIn(3000, 2000);
    // Keep the client area at 1920 x 1080 whatever the zoom did to the frame.
    SizeClientArea(doc);
    state.counters["client_w"] = view->viewport()->width();
    state.counters["client_h"] = view->viewport()->height();
    for (auto _ : state)
        view->viewport()->repaint();
    CloseBenchImage(doc);
}

BENCHMARK(Repaint)
    ->ArgNames({"type", "zoom"})
    ->ArgsProduct({{kImage8Bit, kImage24Bit}, {1, 16}})
    ->Unit(benchmark::kMillisecond);

// Below 1:1 at a level in a 1920 x 1080 client area: 1:n, or with n = 0 the level Fit in Window
// picks there.
void ZoomOutTo(COrvikDoc* doc, int n) {
    COrvikView* view = doc->m_pView;
    if (n == 0)
        view->FitInWindow();
    else
        view->ZoomAround({1, n}, QPoint(960, 540));
}

// A repaint below 1:1 once the level's reduced copy exists.
void RepaintReduced(benchmark::State& state) {
    COrvikDoc* doc = NewImage(static_cast<int>(state.range(0)));
    if (!doc) {
        state.SkipWithError("no document");
        return;
    }
    ZoomOutTo(doc, static_cast<int>(state.range(1)));
    COrvikView* view = doc->m_pView;
    view->viewport()->repaint();
    state.counters["shrink"] = doc->m_nShrink;
    state.counters["client_w"] = view->viewport()->width();
    for (auto _ : state)
        view->viewport()->repaint();
    CloseBenchImage(doc);
}

BENCHMARK(RepaintReduced)
    ->ArgNames({"type", "shrink"})
    ->ArgsProduct({{kImage8Bit, kImage24Bit}, {4, 0}})
    ->Unit(benchmark::kMillisecond);

// The first display at a level: the step from 1:1 and a repaint that makes the reduced copy, each
// time on a new image.
void FirstReducedDisplay(benchmark::State& state) {
    for (auto _ : state) {
        COrvikDoc* doc = NewImage(static_cast<int>(state.range(0)));
        if (!doc) {
            state.SkipWithError("no document");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        ZoomOutTo(doc, static_cast<int>(state.range(1)));
        doc->m_pView->viewport()->repaint();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.counters["shrink"] = doc->m_nShrink;
        CloseBenchImage(doc);
    }
}

BENCHMARK(FirstReducedDisplay)
    ->ArgNames({"type", "shrink"})
    ->ArgsProduct({{kImage8Bit, kImage24Bit}, {2, 0, 32}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(4);

void SendMouse(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(p), target->mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// The memory all undo histories hold, in KiB.
double HistoryKiB() {
    return double(theApp->m_undoBudget.Bytes()) / 1024;
}

// One brush movement: the segment written, its undo recorded, the reduced copy patched (below 1:1)
// and both panes repainted, over a stroke of 500 movements (a zigzag of 9-pixel steps) on a
// 6000 x 4000 image at zoom 1 or 1:4, with a round brush of 1 or 32 pixels. Each stroke paints in
// another colour, so each is a step of its own; history_kb is what one keeps.
void BrushStroke(benchmark::State& state) {
    const int type = static_cast<int>(state.range(0));
    COrvikDoc* doc = NewImage(type);
    if (!doc) {
        state.SkipWithError("no document");
        return;
    }
    if (state.range(1) > 1) {
        ZoomOutTo(doc, static_cast<int>(state.range(1)));
        doc->m_pView->viewport()->repaint();
    }
    theApp->m_mainFrame->m_currentTool = ID_TOOL_BRUSH;
    theApp->m_mainFrame->m_wndToolOptions->SetBrushSize(static_cast<int>(state.range(2)));
    QWidget* surface = doc->m_pView->viewport();
    std::vector<QPoint> stroke;
    for (int i = 0; i < 500; ++i)
        stroke.emplace_back(100 + (i % 100) * 9 + (i / 100) * 40, 100 + (i % 2) * 9 + (i / 100) * 150);
    double strokeKiB = 0;
    int turn = 0;
    for (auto _ : state) {
        theApp->m_mainFrame->m_wndPaletteDlg->m_foreIndex = turn++ % 2 ? 0 : 180;
        const double before = HistoryKiB();
        SendMouse(surface, QEvent::MouseButtonPress, stroke[0], Qt::LeftButton, Qt::LeftButton);
        QApplication::processEvents();
        for (size_t i = 1; i < stroke.size(); ++i) {
            SendMouse(surface, QEvent::MouseMove, stroke[i], Qt::NoButton, Qt::LeftButton);
            QApplication::processEvents();  // the repaint
        }
        SendMouse(surface, QEvent::MouseButtonRelease, stroke.back(), Qt::LeftButton, Qt::NoButton);
        strokeKiB = HistoryKiB() - before;
    }
    state.counters["history_kb"] = strokeKiB;
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(stroke.size()));
    state.counters["ms_per_move"] =
        benchmark::Counter(static_cast<double>(stroke.size()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    theApp->m_mainFrame->m_wndToolOptions->SetBrushSize(1);
    CloseBenchImage(doc);
}
BENCHMARK(BrushStroke)
    ->ArgNames({"type", "shrink", "brush"})
    ->ArgsProduct({{kImage8Bit, kImage24Bit}, {1, 4}, {1, 32}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A click with the fill tool on a uniform 6000 x 4000 image, through to the repainted view.
void FillClick(benchmark::State& state) {
    const int type = static_cast<int>(state.range(0));
    COrvikDoc* doc = NewImage(type);
    if (!doc) {
        state.SkipWithError("no document");
        return;
    }
    std::memset(doc->m_pBits, 0, static_cast<size_t>(doc->Stride()) * doc->Height());
    theApp->m_mainFrame->m_currentTool = ID_TOOL_FILL;
    QWidget* surface = doc->m_pView->viewport();
    int turn = 0;
    for (auto _ : state) {
        theApp->m_mainFrame->m_wndPaletteDlg->m_foreIndex = turn++ % 2 ? 0 : 180;
        SendMouse(surface, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton, Qt::LeftButton);
        SendMouse(surface, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
    }
    CloseBenchImage(doc);
}
BENCHMARK(FillClick)
    ->ArgName("type")
    ->Arg(kImage8Bit)
    ->Arg(kImage24Bit)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Undo of a fill of the whole uniform image, through to the repainted view; the fill itself (with
// its recording, see FillClick) is not timed.
void FillUndo(benchmark::State& state) {
    const int type = static_cast<int>(state.range(0));
    COrvikDoc* doc = NewImage(type);
    if (!doc) {
        state.SkipWithError("no document");
        return;
    }
    std::memset(doc->m_pBits, 0, static_cast<size_t>(doc->Stride()) * doc->Height());
    theApp->m_mainFrame->m_currentTool = ID_TOOL_FILL;
    theApp->m_mainFrame->m_wndPaletteDlg->m_foreIndex = 180;
    QWidget* surface = doc->m_pView->viewport();
    for (auto _ : state) {
        state.PauseTiming();
        SendMouse(surface, QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton, Qt::LeftButton);
        SendMouse(surface, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
        state.ResumeTiming();
        if (!theApp->m_mainFrame->RouteCommand(ID_EDIT_UNDO)) state.SkipWithError("nothing to undo");
        QApplication::processEvents();
    }
    CloseBenchImage(doc);
}
BENCHMARK(FillUndo)
    ->ArgName("type")
    ->Arg(kImage8Bit)
    ->Arg(kImage24Bit)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// The spray held still with a 32-pixel brush on a 6000 x 4000 image at zoom 1: each iteration runs
// the event loop for half a second; updates_per_second is how often the editing view was repainted
// with new dots (the spray's timer asks for 60 a second).
void SprayHeld(benchmark::State& state) {
    const int type = static_cast<int>(state.range(0));
    COrvikDoc* doc = NewImage(type);
    if (!doc) {
        state.SkipWithError("no document");
        return;
    }
    theApp->m_mainFrame->m_currentTool = ID_TOOL_SPRAY;
    theApp->m_mainFrame->m_wndToolOptions->SetBrushSize(32);
    QWidget* surface = doc->m_pView->viewport();
    PaintCounter counter;
    surface->installEventFilter(&counter);
    SendMouse(surface, QEvent::MouseButtonPress, QPoint(300, 300), Qt::LeftButton, Qt::LeftButton);
    QApplication::processEvents();
    double seconds = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 500)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        seconds += clock.elapsed() / 1000.0;
    }
    SendMouse(surface, QEvent::MouseButtonRelease, QPoint(300, 300), Qt::LeftButton, Qt::NoButton);
    surface->removeEventFilter(&counter);
    state.counters["updates_per_second"] = seconds > 0 ? counter.paints / seconds : 0;
    theApp->m_mainFrame->m_wndToolOptions->SetBrushSize(1);
    CloseBenchImage(doc);
}
BENCHMARK(SprayHeld)
    ->ArgName("type")
    ->Arg(kImage8Bit)
    ->Arg(kImage24Bit)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

// The memory the history holds after 100 mixed steps on a 6000 x 4000 image, ten of each: a brush
// stroke of 50 movements, a line, a rectangle, a fill click, the clear of a 400 x 300 selection,
// lifting a 300 x 200 selection and dropping it elsewhere, a palette entry, the cut of a
// 200 x 200 selection, and a tenth kind that is another stroke but twice a Resize Canvas by ten
// pixels, which keeps the whole previous image. Timed: all 100 steps with their repaints.
void MixedSteps(benchmark::State& state) {
    const int type = static_cast<int>(state.range(0));
    COrvikDoc* doc = NewImage(type);
    if (!doc) {
        state.SkipWithError("no document");
        return;
    }
    CMainFrame* main = theApp->m_mainFrame;
    QWidget* surface = doc->m_pView->viewport();
    const auto drag = [&](std::initializer_list<QPoint> points) {
        SendMouse(surface, QEvent::MouseButtonPress, *points.begin(), Qt::LeftButton, Qt::LeftButton);
        for (const QPoint& p : points)
            SendMouse(surface, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
        SendMouse(surface, QEvent::MouseButtonRelease, *(points.end() - 1), Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
    };
    const auto stroke = [&](int i) {
        main->m_currentTool = ID_TOOL_BRUSH;
        const QPoint start(100 + 13 * i, 100 + 7 * i);
        SendMouse(surface, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        for (int m = 1; m <= 50; ++m)
            SendMouse(surface, QEvent::MouseMove, start + QPoint(9 * m, (m % 2) * 9), Qt::NoButton,
                      Qt::LeftButton);
        SendMouse(surface, QEvent::MouseButtonRelease, start + QPoint(450, 0), Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
    };
    const QPoint aside(30, 1050);  // outside every selection made here
    const auto select = [&](QRect r) {
        main->m_currentTool = ID_TOOL_SELECT;
        if (doc->m_pView->m_bSelection) drag({aside});  // a press outside clears the last one
        drag({r.topLeft(), r.bottomRight() + QPoint(1, 1)});
    };
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            main->m_wndPaletteDlg->m_foreIndex = (i * 37) % 256;
            main->m_wndPaletteDlg->m_backIndex = (i * 91) % 256;
            const QPoint at(200 + 11 * i, 150 + 6 * i);
            switch (i % 10) {
                case 0:
                    stroke(i);
                    break;
                case 1:
                    main->m_currentTool = ID_TOOL_LINE;
                    drag({at, at + QPoint(600, 300)});
                    break;
                case 2:
                    main->m_currentTool = ID_TOOL_RECT;
                    drag({at, at + QPoint(500, 400)});
                    break;
                case 3:
                    main->m_currentTool = ID_TOOL_FILL;
                    drag({at});
                    break;
                case 4:
                    select(QRect(at, QSize(400, 300)));
                    main->RouteCommand(ID_IMAGE_CLEAR);
                    break;
                case 5:
                    select(QRect(at, QSize(300, 200)));
                    drag({at + QPoint(100, 100), at + QPoint(100, 100), at + QPoint(400, 250)});
                    break;
                case 6:
                    drag({aside});  // drops the lifted block
                    break;
                case 7:
                    main->m_wndPaletteDlg->SetEntry(i, i, 255 - i, 2 * i);
                    break;
                case 8:
                    select(QRect(at, QSize(200, 200)));
                    main->RouteCommand(ID_EDIT_CUT);
                    break;
                default:
                    if (i == 49 || i == 99)
                        doc->ResizeCanvas(doc->Width() + 10, doc->Height() + 10);
                    else
                        stroke(i);
                    break;
            }
        }
    }
    state.counters["history_mb"] = double(theApp->m_undoBudget.Bytes()) / (1 << 20);
    state.counters["steps_kept"] = double(doc->History().UndoCount());
    state.counters["budget_mb"] = double(theApp->m_undoBudget.Limit()) / (1 << 20);
    CloseBenchImage(doc);
}
BENCHMARK(MixedSteps)
    ->ArgName("type")
    ->Arg(kImage8Bit)
    ->Arg(kImage24Bit)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return RunGuiBenchmarks(argc, argv);
}
