// One repaint of the editing view (compose in the off-screen surface, present by pixel
// replication) for a 1920 x 1080 client area on the offscreen platform, with 6000 x 4000 images.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QComboBox>
#include <QTimer>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "dialogs/new_image_dlg.h"
#include "document/orvik_doc.h"
#include "views/orvik_view.h"

namespace {

COrvikDoc* NewImage(int type) {
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
    // A picture with some variety, so the palette look-up does real work.
    const int stride = doc->Stride();
    for (int r = 0; r < doc->Height(); ++r)
        for (int i = 0; i < stride; ++i) doc->m_pBits[static_cast<size_t>(r) * stride + i] = uint8_t(i * 7 + r);
    // A frame whose editing view has a 1920 x 1080 client area.
    CChildFrame* frame = doc->m_pChildFrame;
    COrvikView* view = doc->m_pView;
    frame->resize(1920 + frame->width() - view->viewport()->width(), 1080 + frame->height() - view->viewport()->height());
    QApplication::processEvents();
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
    while (doc->m_nZoom < zoom) view->ZoomIn(3000, 2000);
    // Keep the client area at 1920 x 1080 whatever the zoom did to the frame.
    CChildFrame* frame = doc->m_pChildFrame;
    frame->resize(frame->width() + 1920 - view->viewport()->width(), frame->height() + 1080 - view->viewport()->height());
    QApplication::processEvents();
    state.counters["client_w"] = view->viewport()->width();
    state.counters["client_h"] = view->viewport()->height();
    for (auto _ : state) view->viewport()->repaint();
    frame->close();
    QApplication::processEvents();
}

BENCHMARK(Repaint)->ArgNames({"type", "zoom"})->ArgsProduct({{kImage8Bit, kImage24Bit}, {1, 16}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", "/tmp/orvik-bench-config");
    COrvikApp app(argc, argv);
    if (!app.InitInstance({})) return 1;
    app.m_mainFrame->resize(2400, 1600);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
