#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

#include "app/child_frame.h"
#include "dialogs/new_image_dlg.h"
#include "document/orvik_doc.h"
#include "gui_test.h"
#include "views/orvik_view.h"

int g_testGeneration = 0;

void ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
}

std::shared_ptr<QString> ExpectMessageBox() {
    auto text = std::make_shared<QString>();
    OnNextModal<QMessageBox>([text](QMessageBox* box) {
        *text = box->text();
        box->accept();
    });
    return text;
}

QImage Grab(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

COrvikDoc* NewImage(const QString& width, const QString& height, int type) {
    OnNextModal<CNewImageDlg>([=](CNewImageDlg* dialog) {
        dialog->m_widthEdit->setText(width);
        dialog->m_heightEdit->setText(height);
        dialog->m_typeList->setCurrentIndex(type);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    COrvikDoc* doc = theApp->OnFileNew();
    ProcessEvents();
    return doc;
}

void CloseWithoutSaving(COrvikDoc* doc) {
    doc->SetModifiedFlag(false);
    doc->m_pChildFrame->close();
    ProcessEvents();
}

namespace {

// A modal dialog that no test handles would wait forever: after ten seconds it is closed and the
// running test fails, naming it.
void WatchForStrayDialogs() {
    static QWidget* seen = nullptr;
    static QElapsedTimer since;
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != seen) {
            seen = modal;
            since.restart();
            return;
        }
        if (!modal || since.elapsed() < 10000) return;
        const auto* box = qobject_cast<QMessageBox*>(modal);
        ADD_FAILURE() << "a dialog nobody answered: " << modal->metaObject()->className() << " "
                      << (box ? box->text() : modal->windowTitle()).toStdString();
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        seen = nullptr;
    });
    timer->start(200);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings of this run only, whatever runs beside it.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QTemporaryDir state;  // recovery files
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    COrvikApp app(argc, argv);
    WatchForStrayDialogs();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

QPoint ViewPoint(COrvikDoc* doc, QPoint p) {
    COrvikView* view = doc->m_pView;
    const DeviceScale scale = view->Scale();
    const QPoint scroll(view->m_nScrollX, view->m_nScrollY);
    const QPointF device = view->Margin() * scale.magnify + (p - scroll) * scale.magnify / scale.shrink;
    return (device / view->DevicePixelRatio()).toPoint();
}
