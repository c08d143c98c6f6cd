#include "gui_bench.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "dialogs/new_image_dlg.h"
#include "document/orvik_doc.h"
#include "views/orvik_view.h"

COrvikDoc* NewBenchImage(int type, int width, int height) {
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<CNewImageDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->m_widthEdit->setText(QString::number(width));
        dialog->m_heightEdit->setText(QString::number(height));
        dialog->m_typeList->setCurrentIndex(type);
        dialog->accept();
    });
    COrvikDoc* doc = theApp->OnFileNew();
    if (!doc) return nullptr;
    const int stride = doc->Stride();
    for (int r = 0; r < doc->Height(); ++r)
        for (int i = 0; i < stride; ++i)
            doc->m_pBits[static_cast<size_t>(r) * stride + i] = uint8_t(i * 7 + r);
    QApplication::processEvents();
    return doc;
}

void SizeClientArea(COrvikDoc* doc, int width, int height) {
    CChildFrame* frame = doc->m_pChildFrame;
    QWidget* client = doc->m_pView->viewport();
    frame->resize(frame->width() + width - client->width(), frame->height() + height - client->height());
    QApplication::processEvents();
}

void CloseBenchImage(COrvikDoc* doc) {
    doc->SetModifiedFlag(false);
    doc->m_pChildFrame->close();
    QApplication::processEvents();
}

int RunGuiBenchmarks(int argc, char** argv, int mainWidth, int mainHeight) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QTemporaryDir state;  // recovery files
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    COrvikApp app(argc, argv);
    // Recovery writes of the changed images would run beside the figures.
    QSettings().setValue(QStringLiteral("Settings/Recovery"), false);
    if (!app.InitInstance({})) return 1;
    app.m_mainFrame->resize(mainWidth, mainHeight);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
