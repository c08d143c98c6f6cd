// Copy of a whole 6000 x 4000 image (24 megapixels) to the clipboard of the offscreen platform, and
// Paste As New Selection reading that block back, at both depths.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>

#include "document/orvik_doc.h"
#include "gui_bench.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

// A 6000 x 4000 image with everything selected.
COrvikDoc* NewSelectedImage(int type) {
    COrvikDoc* doc = NewBenchImage(type);
    if (!doc) return nullptr;
    doc->m_pView->m_bSelection = true;
    doc->m_pView->m_rcSelection = RECT{0, 0, doc->Width(), doc->Height()};
    return doc;
}

void Close(COrvikDoc* doc) {
    QGuiApplication::clipboard()->clear();
    CloseBenchImage(doc);
}

void Copy(benchmark::State& state) {
    COrvikDoc* doc = NewSelectedImage(static_cast<int>(state.range(0)));
    if (!doc) {
        state.SkipWithError("no document");
        return;
    }
    for (auto _ : state) {
        if (!doc->OnEditCopy()) state.SkipWithError("nothing placed");
    }
    Close(doc);
}
BENCHMARK(Copy)
    ->ArgName("type")
    ->Arg(kImage8Bit)
    ->Arg(kImage24Bit)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The block read back into a floating image of the same depth, placed at (50, 50).
void PasteSelection(benchmark::State& state) {
    COrvikDoc* doc = NewSelectedImage(static_cast<int>(state.range(0)));
    if (!doc || !doc->OnEditCopy()) {
        state.SkipWithError("no document");
        return;
    }
    for (auto _ : state) {
        doc->m_pView->m_bSelection = false;  // nothing to drop first
        doc->OnEditPasteSelection();
        if (!doc->HasFloat()) state.SkipWithError("nothing pasted");
    }
    Close(doc);
}
BENCHMARK(PasteSelection)
    ->ArgName("type")
    ->Arg(kImage8Bit)
    ->Arg(kImage24Bit)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return RunGuiBenchmarks(argc, argv);
}
