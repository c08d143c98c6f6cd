// Copy of a whole 6000 x 4000 image (24 megapixels) to the clipboard of the offscreen platform, and
// Paste As New Selection reading that block back, at both depths.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "dialogs/new_image_dlg.h"
#include "document/orvik_doc.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

// A 6000 x 4000 image with everything selected.
COrvikDoc* NewSelectedImage(int type) {
    QTimer::singleShot(0, [type] {
        auto* dialog = qobject_cast<CNewImageDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->m_widthEdit->setText("6000");
        dialog->m_heightEdit->setText("4000");
        dialog->m_typeList->setCurrentIndex(type);
        dialog->accept();
    });
    COrvikDoc* doc = theApp->OnFileNew();
    if (!doc) return nullptr;
    const int stride = doc->Stride();
    for (int r = 0; r < doc->Height(); ++r)
        for (int i = 0; i < stride; ++i)
            doc->m_pBits[static_cast<size_t>(r) * stride + i] = uint8_t(i * 7 + r);
    doc->m_pView->m_bSelection = true;
    doc->m_pView->m_rcSelection = RECT{0, 0, doc->Width(), doc->Height()};
    return doc;
}

void Close(COrvikDoc* doc) {
    QGuiApplication::clipboard()->clear();
    doc->SetModifiedFlag(false);
    doc->m_pChildFrame->close();
    QApplication::processEvents();
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", "/tmp/orvik-bench-config");
    COrvikApp app(argc, argv);
    if (!app.InitInstance({})) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
