#include "app/messages.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QObject>

#include "app/main_frame.h"
#include "app/orvik_app.h"

void OrvikMessage(const QString& text) {
    QWidget* parent = theApp ? theApp->m_mainFrame : nullptr;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Orvik"), text, QMessageBox::Ok, parent);
    box.exec();
}

QString StatusText(ImageStatus status) {
    return QCoreApplication::translate("ImageStatus", ImageStatusText(status));
}

QString StatusText(DibStatus status) {
    return QCoreApplication::translate("DibStatus", DibStatusText(status));
}

QString StatusText(const PaletteReadResult& result) {
    QString text = QCoreApplication::translate("PaletteError", PaletteErrorText(result.error));
    if (text.contains(QLatin1String("%1"))) text = text.arg(result.line);
    if (text.contains(QLatin1String("%2")))
        text = text.arg(qulonglong(result.expected)).arg(qulonglong(result.palette.fileColours));
    return text;
}

QString MissingExportText(const CPluginLibrary& library, const char* fileName, const char* name) {
    if (!library.IsLoaded() && library.LoadError().empty())
        return QCoreApplication::translate("OrvikMessage", "Can't Find %1").arg(QLatin1String(fileName));
    if (!library.IsLoaded())
        return QCoreApplication::translate("OrvikMessage", "%1 is there but could not be loaded:\n\n%2")
            .arg(QLatin1String(fileName), QString::fromLocal8Bit(library.LoadError().c_str()));
    if (!library.Symbol<void*>(name))
        return QCoreApplication::translate("OrvikMessage",
                                           "%1 has no function %2: it may be an old or damaged copy.")
            .arg(QLatin1String(fileName), QLatin1String(name));
    return {};
}

void* RequireExport(const CPluginLibrary& library, const char* fileName, const char* name) {
    const QString missing = MissingExportText(library, fileName, name);
    if (!missing.isEmpty()) {
        OrvikMessage(missing);
        return nullptr;
    }
    return library.Symbol<void*>(name);
}
