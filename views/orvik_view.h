// The editing view: the image magnified by the document's zoom factor, composed at image scale in
// the main frame's off-screen surface with the floating image, the selection frame, the rubber
// bands and the hatch outside the image, then stretched into the window by pixel replication.
// Below 1:1 it is composed at window scale instead: each window pixel shows the mean colour of the
// n x n image pixels under it, taken from a reduced copy of the image, and the overlays are drawn
// one window pixel wide.
#pragma once

#include <QCursor>
#include <QPoint>

#include "document/image_buffer.h"
#include "document/reduced_image.h"
#include "document/zoom_level.h"
#include "views/image_pane.h"

class QPrinter;

class COrvikView : public CImagePane {
    Q_OBJECT

public:
    COrvikView(COrvikDoc* doc, QWidget* parent);
    ~COrvikView() override;

    void OnInitialUpdate();

    void UpdateScrollRanges() override;
    // A client point as an image point inside the image (below 1:1 the top-left pixel of the block
    // under it), scrolling first while a drag runs.
    QPoint ClientToImage(int px, int py);
    void ScrollBy(int dx, int dy);
    void CenterOn(int x, int y);
    // The zoom tool's steps, centred on image point (x, y): one level in, or one level out (none
    // from 1:1 or 1:32). The frame is fitted to the zoomed image.
    void ZoomIn(int x, int y);
    void ZoomOut(int x, int y);
    void UpdateStatus(int x, int y);

    // The document's zoom level.
    ZoomLevel Level() const;
    // The View menu's steps: to `level` around the view's centre, the frame fitted to the image.
    void ZoomTo(ZoomLevel level);
    // The largest level at which the whole image fits the document window as it is (1:32 when none
    // does); the window keeps its size.
    void FitInWindow();
    // To `level`, keeping the image pixel under client point `client` under it as far as the
    // scroll ranges allow; the window keeps its size.
    void ZoomAround(ZoomLevel level, const QPoint& client);
    // The document's pixels in `area` (image pixels) change: the reduced copies redo them when
    // next drawn.
    void ImageChanged(const RECT& area);

    // Composes the visible part into the off-screen surface; the image columns and rows drawn (below
    // 1:1 the surface columns and rows) are left in m_nDrawnWidth and m_nDrawnHeight.
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
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Sets the zoom level; the actual-size pane's column, the title and the scroll ranges follow,
    // and with `fitFrame` the frame is fitted to the zoomed image.
    void SetZoomLevel(ZoomLevel level, bool fitFrame);
    // Compose below 1:1, in window pixels.
    void ComposeReduced(QImage& surface, int cols, int rows);
    QPoint EventPoint(const QMouseEvent* event);
    // Lifts the selected pixels into the floating image, leaving the background colour (transparent
    // pixels on an image with transparency, as Clear leaves them); false
    // (and the image unchanged) when nothing of the selection lies over the image or memory is short.
    bool LiftSelection();
    void SelectionPress(const QPoint& p);
    void EndSelectionDrag(const QPoint& p);
    void UpdateCursor();
    void OnFilePrint();
    void OnFilePrintPreview();

    bool m_bCapture = false;  // a press of this view is waiting for its release
    CReducedCopies m_reduced;
    QPoint m_wheelTravel;  // wheel travel not scrolled yet, in 1/120 window pixels
    int m_nWheelZoom = 0;  // Ctrl + wheel rotation not zoomed yet
    // The buttons held as the view's last press or release left them.
    Qt::MouseButtons m_buttonsHeld;
};

// The cursor of a tool (IDC_ZOOM ... IDC_FILL, IDC_MOVE) with its hot spot.
QCursor ToolCursor(int id);
