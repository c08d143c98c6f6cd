// File > Export Scaled…: how many times larger (2 to 16) the copy of the picture is written, with
// the size that gives. OK refuses a size past what a picture can have; the document then asks for
// the file.
#pragma once

#include <QDialog>

class COrvikDoc;
class QLabel;
class QSpinBox;

class CExportScaledDlg : public QDialog {
    Q_OBJECT

public:
    CExportScaledDlg(COrvikDoc* doc, QWidget* parent = nullptr);

    int Factor() const;

    QSpinBox* m_scale;
    QLabel* m_size;  // "1280 x 960 pixels"

public slots:
    void accept() override;

private:
    void ShowSize();

    COrvikDoc* m_pDocument;
};
