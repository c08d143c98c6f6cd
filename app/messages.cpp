#include "app/messages.h"

#include <QApplication>
#include <QMessageBox>

#include "app/main_frame.h"
#include "app/orvik_app.h"

void OrvikMessage(const QString& text) {
    QWidget* parent = theApp ? theApp->m_mainFrame : nullptr;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Orvik"), text, QMessageBox::Ok, parent);
    box.exec();
}
