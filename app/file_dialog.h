// The file dialog of Open and Save As, with the formats of the program's table (file_types.h),
// starting in the folder the program was started from. Open lists every picture first; Save As
// lists each format that can be written, WebP twice (lossless, and lossy).
#pragma once

#include <QFileDialog>

#include "document/file_types.h"

class COrvikFileDialog : public QFileDialog {
    Q_OBJECT

public:
    COrvikFileDialog(bool open, const QString& folder, QWidget* parent = nullptr);

    // Runs the dialog; the chosen path, or an empty string when cancelled. Save As appends the
    // extension of the selected type to a name that has none, and stores through `lossy` whether
    // the selected type is a lossy one.
    static QString GetOpenFileName(const QString& folder);
    static QString GetSaveFileName(const QString& folder, bool* lossy = nullptr);

    // What the selected filter of Save As writes.
    ::FileType SelectedType() const;
    bool SelectedLossy() const;

public slots:
    void accept() override;

private:
    struct Filter {
        QString text;
        ::FileType type;  // Unknown for "all pictures"
        bool lossy;
    };
    static std::vector<Filter> Filters(bool open);
    const Filter* Selected() const;

    std::vector<Filter> m_filters;
};
