// File > New: the width, height and depth of a blank image.
#pragma once

#include <QDialog>

class COrvikDoc;
class QComboBox;
class QLineEdit;

class CNewImageDlg : public QDialog {
    Q_OBJECT

public:
    CNewImageDlg(COrvikDoc* doc, QWidget* parent = nullptr);

    QLineEdit* m_widthEdit;
    QLineEdit* m_heightEdit;
    QComboBox* m_backgroundList;
    QComboBox* m_typeList;

public slots:
    // Makes the image in the document; a size the program cannot hold is refused with a message
    // and the dialog stays open.
    void accept() override;

private:
    COrvikDoc* m_pDocument;
};
