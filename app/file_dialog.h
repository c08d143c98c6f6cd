// The file dialog of Open and Save As: BMP, PCX, JPEG and PNG, starting in the folder the program was
// started from.
#pragma once

#include <QFileDialog>

class COrvikFileDialog : public QFileDialog {
    Q_OBJECT

public:
    COrvikFileDialog(bool open, const QString& folder, QWidget* parent = nullptr);

    // Runs the dialog; the chosen path, or an empty string when cancelled. Save As appends the
    // extension of the selected type to a name that has none.
    static QString GetOpenFileName(const QString& folder);
    static QString GetSaveFileName(const QString& folder);

public slots:
    void accept() override;
};
