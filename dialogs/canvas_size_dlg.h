// Image > Resize Canvas: a new width and height without scaling; the picture is cut or extended
// with zero pixels around the place a 3 x 3 grid of buttons chooses, its bottom-left corner unless
// another is chosen.
#pragma once

#include <QDialog>

#include "document/image_ops.h"

class COrvikDoc;
class QButtonGroup;
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
    QButtonGroup* m_anchor;  // the nine buttons, by their CanvasAnchor

    CanvasAnchor Anchor() const;

public slots:
    // Gives the document's image the new canvas; a size it cannot take is refused with a message
    // and the dialog stays open.
    void accept() override;

private:
    COrvikDoc* m_pDocument;
};
