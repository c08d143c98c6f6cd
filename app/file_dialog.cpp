#include "app/file_dialog.h"

#include "app/main_frame.h"
#include "app/orvik_app.h"

namespace {

// The file types, in the user's language, each with the extension Save As adds for it.
QStringList Filters() {
    return {
        COrvikFileDialog::tr("BMP Files (*.bmp *.BMP)"),
        COrvikFileDialog::tr("PCX Files (*.pcx *.PCX)"),
        COrvikFileDialog::tr("Jpeg Files (*.jpg *.jpeg *.JPG *.JPEG)"),
        COrvikFileDialog::tr("PNG Files (*.png *.PNG)"),
    };
}
const QStringList kSuffixes{QStringLiteral("bmp"), QStringLiteral("pcx"), QStringLiteral("jpg"),
                            QStringLiteral("png")};

QString Run(bool open, const QString& folder) {
    COrvikFileDialog dialog(open, folder, theApp ? theApp->m_mainFrame : nullptr);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace

COrvikFileDialog::COrvikFileDialog(bool open, const QString& folder, QWidget* parent)
    : QFileDialog(parent, open ? tr("Open") : tr("Save As"), folder) {
    setOption(QFileDialog::DontUseNativeDialog);
    setNameFilters(Filters());
    selectNameFilter(Filters().constFirst());
    if (open) {
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::ExistingFile);
    } else {
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
    }
}

void COrvikFileDialog::accept() {
    // A name without an extension gets the one of the selected type.
    if (acceptMode() == QFileDialog::AcceptSave)
        setDefaultSuffix(kSuffixes.value(std::max<qsizetype>(Filters().indexOf(selectedNameFilter()), 0)));
    QFileDialog::accept();
}

QString COrvikFileDialog::GetOpenFileName(const QString& folder) {
    return Run(true, folder);
}

QString COrvikFileDialog::GetSaveFileName(const QString& folder) {
    return Run(false, folder);
}
