#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QTest>

#include "app/child_frame.h"
#include "dialogs/new_image_dlg.h"
#include "document/orvik_doc.h"
#include "gui_test.h"

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

QImage Grab(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

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

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    COrvikApp app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
