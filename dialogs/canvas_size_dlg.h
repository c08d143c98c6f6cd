// Image > Resize Canvas: a new width and height without scaling; the picture keeps its bottom-left
// corner and is cut or extended with zero pixels.
#pragma once

#include <QDialog>

class COrvikDoc;
class QLabel;
class QLineEdit;

class CCanvasSizeDlg : public QDialog {
    Q_OBJECT

public:
    CCanvasSizeDlg(COrvikDoc* doc, QWidget* parent = nullptr);

    QLineEdit* m_widthEdit;   // new width
    QLineEdit* m_heightEdit;  // new height
    QLabel* m_currentWidth;
    QLabel* m_currentHeight;

public slots:
    // Gives the document's image the new canvas; a size it cannot take is refused with a message
    // and the dialog stays open.
    void accept() override;

private:
    COrvikDoc* m_pDocument;
};
