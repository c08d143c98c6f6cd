#include "app/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QObject>

#include "app/main_frame.h"
#include "app/orvik_app.h"

void OrvikMessage(const QString& text) {
    QWidget* parent = theApp ? theApp->m_mainFrame : nullptr;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Orvik"), text, QMessageBox::Ok, parent);
    box.exec();
}

void* RequireExport(const CPluginLibrary& library, const char* fileName, const char* name) {
    if (!library.IsLoaded()) {
        OrvikMessage(QStringLiteral("Can't Find %1").arg(QLatin1String(fileName)));
        return nullptr;
    }
    void* function = library.Symbol<void*>(name);
    if (!function)
        OrvikMessage(QObject::tr("%1 has no function %2: it may be an old or damaged copy.")
                         .arg(QLatin1String(fileName), QLatin1String(name)));
    return function;
}
