// The editing view: the image magnified by the document's zoom factor, composed at image scale in
// the main frame's off-screen surface with the floating image, the selection frame, the rubber
// bands and the hatch outside the image, then stretched into the window by pixel replication.
#pragma once

#include <QCursor>
#include <QPoint>

#include "document/image_buffer.h"
#include "views/image_pane.h"

class QPrinter;

class COrvikView : public CImagePane {
    Q_OBJECT

public:
    COrvikView(COrvikDoc* doc, QWidget* parent);
    ~COrvikView() override;

    void OnInitialUpdate();

    void UpdateScrollRanges() override;
    // A client point as an image point inside the image, scrolling first while a drag runs.
    QPoint ClientToImage(int px, int py);
    void ScrollBy(int dx, int dy);
    void CenterOn(int x, int y);
    void ZoomIn(int x, int y);
    void ZoomOut(int x, int y);
    void UpdateStatus(int x, int y);

    // Composes the visible part into the off-screen surface; the image columns and rows drawn are
    // left in m_nDrawnWidth and m_nDrawnHeight.
    void Compose(QImage& surface, int cols, int rows);

    // Prints the whole image on one page of `printer`, as large as fits, pixels replicated.
    void PrintImage(QPrinter* printer);
    // The current foreground or background palette index, always within 0..255.
    static int ColourIndex(bool fore);

    // The image changed from outside the view: the brush forgets its last point, and a line or
    // rectangle drag in progress ends without painting.
    void ForgetToolPoints();
    // A mouse button pressed in the view is still held, so the tool's step is not over.
    bool ButtonHeld() const;

    // Tools. Points are image pixels (x from the left, y from the top); whatever lies outside the
    // image is not written.
    void PaintDot(int x, int y, bool fore);
    void PaintLine(int x0, int y0, int x1, int y1, bool fore);
    // The outline of the normalised m_rcDrag.
    void PaintRect(bool fore);
    void FillAt(int x, int y, bool fore);
    // Strictly inside the selection: its first column and row count as outside.
    bool HitSelection(int x, int y) const;
    void MoveSelection(Qt::MouseButtons buttons, int x, int y);
    // Copies the part of the floating image that lies over the image into it (marking the document
    // modified when that part is not empty) and releases it.
    void DropSelection();

    QPoint m_ptLast;
    bool m_bHaveLast = false;  // m_ptLast is a point of the current image
    int m_nDrawnWidth = 0;
    int m_nDrawnHeight = 0;
    bool m_bSelection = false;
    bool m_bDragging = false;
    bool m_bMoving = false;
    RECT m_rcSelection{0, 0, 0, 0};
    RECT m_rcDrag{0, 0, 0, 0};

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    QPoint EventPoint(const QMouseEvent* event);
    // Lifts the selected pixels into the floating image, leaving the background colour; false
    // (and the image unchanged) when nothing of the selection lies over the image or memory is short.
    bool LiftSelection();
    void SelectionPress(const QPoint& p);
    void EndSelectionDrag(const QPoint& p);
    void UpdateCursor();
    void OnFilePrint();
    void OnFilePrintPreview();

    bool m_bCapture = false;  // a press of this view is waiting for its release
    // The buttons held as the view's last press or release left them.
    Qt::MouseButtons m_buttonsHeld;
};

// The cursor of a tool (IDC_ZOOM ... IDC_FILL, IDC_MOVE) with its hot spot.
QCursor ToolCursor(int id);
