// The file dialog of Open and Save As, with the formats of the program's table (file_types.h).
// Open lists every picture first and selects that filter, starting in the folder the program was
// started from; Save As lists each format that can be written, WebP twice (lossless, and lossy),
// and starts where the caller says (SaveDialogStart).
#pragma once

#include <QFileDialog>

#include "document/file_types.h"

// Where Save As starts: the folder shown, the name already typed and the filter selected.
struct SaveDialogStart {
    QString folder;
    QString fileName;                       // empty: nothing typed
    ::FileType type = ::FileType::Unknown;  // Unknown (or a type that cannot be written): the first filter
    bool lossy = false;                     // the lossy filter of the type, where it has one
};

class COrvikFileDialog : public QFileDialog {
    Q_OBJECT

public:
    COrvikFileDialog(bool open, const QString& folder, QWidget* parent = nullptr);

    // Runs the dialog; the chosen path, or an empty string when cancelled. Save As appends the
    // extension of the selected type to a name that has none, and stores through `lossy` whether
    // the selected type is a lossy one.
    static QString GetOpenFileName(const QString& folder);
    static QString GetSaveFileName(const SaveDialogStart& start, bool* lossy = nullptr);

    // Selects the filter of the start's type, then types its file name (in this order, so the
    // name keeps its own extension).
    void StartAt(const SaveDialogStart& start);

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
