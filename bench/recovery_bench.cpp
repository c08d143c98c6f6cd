// Recovery of unsaved work on a 6000 x 4000 24-bit image: the copy the event loop takes for a
// recovery write (the time painting is held up), the write itself as the worker thread does it, and
// one brush movement (the segment, its undo recording, the repaint) while such a write runs, beside
// one without.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "document/orvik_doc.h"
#include "document/recovery_file.h"
#include "gui_bench.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(p), target->mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// The benchmark image with noise in it, as in a photograph's finest detail: the most work for the
// compression, and the largest file.
COrvikDoc* NewNoisyImage() {
    COrvikDoc* doc = NewBenchImage(kImage24Bit);
    if (!doc) return nullptr;
    SizeClientArea(doc);
    uint32_t state = 2463534242u;
    const int64_t bytes = int64_t{doc->Stride()} * doc->Height();
    for (int64_t i = 0; i < bytes; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        doc->m_pBits[i] = uint8_t(doc->m_pBits[i] + (state & 15));
    }
    return doc;
}

void RecoveryCopy(benchmark::State& state) {
    COrvikDoc* doc = NewBenchImage(kImage24Bit);
    if (!doc) {
        state.SkipWithError("no document");
        return;
    }
    for (auto _ : state) {
        RecoveryImage copy;
        const auto start = Clock::now();
        const bool ok = doc->CopyForRecovery(&copy);
        state.SetIterationTime(Seconds(Clock::now() - start));
        if (!ok) state.SkipWithError("no memory");
    }
    state.SetBytesProcessed(state.iterations() * int64_t{doc->Stride()} * doc->Height());
    CloseBenchImage(doc);
}
BENCHMARK(RecoveryCopy)->Unit(benchmark::kMillisecond)->UseManualTime();

void RecoveryWrite(benchmark::State& state) {
    COrvikDoc* doc = NewNoisyImage();
    RecoveryImage copy;
    if (!doc || !doc->CopyForRecovery(&copy)) {
        state.SkipWithError("no document");
        return;
    }
    const QTemporaryDir folder;
    const std::string path = folder.filePath("bench.orvikrec").toStdString();
    for (auto _ : state) {
        std::string error;
        if (!WriteRecoveryFile(path, copy, &error)) state.SkipWithError(error.c_str());
    }
    state.counters["file_mb"] = double(QFileInfo(QString::fromStdString(path)).size()) / (1 << 20);
    CloseBenchImage(doc);
}
BENCHMARK(RecoveryWrite)->Unit(benchmark::kMillisecond)->Iterations(3);

// One brush movement of a zigzag of 9-pixel steps at zoom 1 in a 1920 x 1080 client area, with
// (writing 1) a recovery write of the image running on another thread the whole time, started again
// whenever it ends. The CPU column is the event loop's own time.
void BrushMoveDuringWrite(benchmark::State& state) {
    const bool writing = state.range(0) != 0;
    COrvikDoc* doc = NewNoisyImage();
    RecoveryImage copy;
    if (!doc || !doc->CopyForRecovery(&copy)) {
        state.SkipWithError("no document");
        return;
    }
    const QTemporaryDir folder;
    const std::string path = folder.filePath("bench.orvikrec").toStdString();
    std::atomic<bool> stop{false};
    std::atomic<int> writes{0};
    std::thread writer;
    if (writing)
        writer = std::thread([&] {
            LowerWriterPriority();  // as the program's writer
            while (!stop) {
                std::string error;
                WriteRecoveryFile(path, copy, &error);
                ++writes;
            }
        });
    theApp->m_mainFrame->m_currentTool = ID_TOOL_BRUSH;
    QWidget* surface = doc->m_pView->viewport();
    int step = 0;
    const auto point = [&step] { return QPoint(100 + (step % 100) * 9, 100 + (step % 2) * 9 + (step / 100 % 5) * 150); };
    SendMouse(surface, QEvent::MouseButtonPress, point(), Qt::LeftButton, Qt::LeftButton);
    double longest = 0;
    for (auto _ : state) {
        ++step;
        const auto start = Clock::now();
        SendMouse(surface, QEvent::MouseMove, point(), Qt::NoButton, Qt::LeftButton);
        QApplication::processEvents();  // the repaint
        const double seconds = Seconds(Clock::now() - start);
        longest = std::max(longest, seconds);
        state.SetIterationTime(seconds);
    }
    SendMouse(surface, QEvent::MouseButtonRelease, point(), Qt::LeftButton, Qt::NoButton);
    stop = true;
    if (writer.joinable()) writer.join();
    state.counters["longest_ms"] = longest * 1000;
    state.counters["writes"] = writes.load();
    CloseBenchImage(doc);
}
BENCHMARK(BrushMoveDuringWrite)
    ->ArgName("writing")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(2000);

}  // namespace

int main(int argc, char** argv) {
    return RunGuiBenchmarks(argc, argv);
}
