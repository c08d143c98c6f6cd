#include "app/file_dialog.h"

#include <QCoreApplication>

#include "app/main_frame.h"
#include "app/orvik_app.h"

namespace {

// "*.jpg *.jpeg ... *.JPG *.JPEG ...": the table's extensions, lower case and then upper case.
QString Patterns(const std::vector<std::string>& extensions) {
    QStringList lower, upper;
    for (const std::string& ext : extensions) {
        lower.append(QStringLiteral("*.") + QString::fromStdString(ext));
        upper.append(QStringLiteral("*.") + QString::fromStdString(ext).toUpper());
    }
    return (lower + upper).join(QLatin1Char(' '));
}

QString FilterText(const char* name, const char* extensions) {
    return QStringLiteral("%1 (%2)").arg(QCoreApplication::translate("FileFormat", name),
                                         Patterns(Words(extensions)));
}

}  // namespace

std::vector<COrvikFileDialog::Filter> COrvikFileDialog::Filters(bool open) {
    std::vector<Filter> filters;
    if (open) {
        std::vector<std::string> all;
        for (const FileFormat& format : FileFormats()) {
            if (!format.reads) continue;
            for (const std::string& ext : Words(format.extensions))
                all.push_back(ext);
        }
        filters.push_back({tr("All pictures (%1)").arg(Patterns(all)), ::FileType::Unknown, false});
    }
    for (const FileFormat& format : FileFormats()) {
        if (open ? !format.reads : !format.writes) continue;
        filters.push_back({FilterText(format.filter, format.extensions), format.type, false});
        if (!open && format.lossyFilter)
            filters.push_back({FilterText(format.lossyFilter, format.extensions), format.type, true});
    }
    return filters;
}

namespace {

QString Run(bool open, const SaveDialogStart& start, bool* lossy) {
    COrvikFileDialog dialog(open, start.folder, theApp ? theApp->m_mainFrame : nullptr);
    if (!open) dialog.StartAt(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().constFirst();
    // The lossy choice counts only for a name that saves in the selected format.
    if (lossy) *lossy = dialog.SelectedLossy() && FileTypeOfPath(path.toStdString()) == dialog.SelectedType();
    return path;
}

}  // namespace

COrvikFileDialog::COrvikFileDialog(bool open, const QString& folder, QWidget* parent)
    : QFileDialog(parent, open ? tr("Open") : tr("Save As"), folder), m_filters(Filters(open)) {
    setOption(QFileDialog::DontUseNativeDialog);
    QStringList texts;
    for (const Filter& filter : m_filters)
        texts.append(filter.text);
    setNameFilters(texts);
    selectNameFilter(texts.constFirst());
    if (open) {
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::ExistingFile);
    } else {
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
    }
}

const COrvikFileDialog::Filter* COrvikFileDialog::Selected() const {
    const QString text = selectedNameFilter();
    for (const Filter& filter : m_filters)
        if (filter.text == text) return &filter;
    return m_filters.empty() ? nullptr : &m_filters.front();
}

::FileType COrvikFileDialog::SelectedType() const {
    const Filter* filter = Selected();
    return filter ? filter->type : ::FileType::Unknown;
}

bool COrvikFileDialog::SelectedLossy() const {
    const Filter* filter = Selected();
    return filter && filter->lossy;
}

void COrvikFileDialog::accept() {
    // A name without an extension gets the one of the selected type.
    if (acceptMode() == QFileDialog::AcceptSave)
        setDefaultSuffix(QString::fromStdString(DefaultExtension(SelectedType())).mid(1));
    QFileDialog::accept();
}

void COrvikFileDialog::StartAt(const SaveDialogStart& start) {
    const Filter* chosen = nullptr;
    for (const Filter& filter : m_filters) {
        if (start.type == ::FileType::Unknown || filter.type != start.type) continue;
        if (!chosen || (filter.lossy && start.lossy)) chosen = &filter;
    }
    if (chosen) selectNameFilter(chosen->text);
    if (!start.fileName.isEmpty()) selectFile(start.fileName);
}

QString COrvikFileDialog::GetOpenFileName(const QString& folder) {
    SaveDialogStart start;
    start.folder = folder;
    return Run(true, start, nullptr);
}

QString COrvikFileDialog::GetSaveFileName(const SaveDialogStart& start, bool* lossy) {
    return Run(false, start, lossy);
}
