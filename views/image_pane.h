// What the two panes of a document window share: their document, a scroll position counted in
// image pixels with its own scroll bars (steps of one pixel, or of one block of n when the editing
// view is reduced; pages of a screenful less a tenth), the wheel over the pane and its bars (the
// desktop's lines a notch, Ctrl zooms the editing view), Home and End, the image's line in the
// status bar, and the screen's device pixels: both panes draw their pictures onto device pixels one
// to one, and map the pointer to the device pixel under it.
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>

#include <cstdint>

#include "app/command_target.h"
#include "document/zoom_level.h"
#include "views/surface_raster.h"

// A wheel notch in angle units.
constexpr int kWheelNotch = 120;

class COrvikDoc;
class QImage;

// The raster routines' view of a 32-bit image.
SurfaceRef SurfaceOf(QImage& image);

class CImagePane : public QAbstractScrollArea, public CCommandTarget {
    Q_OBJECT

public:
    CImagePane(COrvikDoc* doc, QWidget* parent);

    COrvikDoc* GetDocument() const { return m_pDocument; }
    // The document changed: repaint in full.
    void OnUpdate();
    // Only the image's pixels in `area` changed: repaint what shows them.
    void OnUpdatePixels(const RECT& area);
    // Fits the scroll ranges to the image and the client area, lowering the positions into them.
    virtual void UpdateScrollRanges() = 0;

    // The screen's device pixels per window pixel where the pane is shown.
    double DevicePixelRatio() const;
    // The device pixels of the client area, as the window system lays them out.
    QSize DeviceClientSize() const;
    // The device pixel of the client area that client point `p` (window pixels, fractional, as the
    // pointer reports it) lies in; outside the client area for points outside it.
    QPoint DevicePoint(const QPointF& p) const;
    // The window pixels that `device` device pixels take, rounded up.
    int64_t WindowLength(int64_t device) const;
    // How the pane's picture lies on the device pixels.
    virtual DeviceScale Scale() const = 0;
    // Scrolls by (dx, dy) image pixels within the ranges; repaints when the position changed.
    void ScrollBy(int dx, int dy);

    int m_nScrollX = 0;  // first visible image column
    int m_nScrollY = 0;  // first visible image row from the top
    int m_nMaxScrollX = 0;
    int m_nMaxScrollY = 0;

protected:
    // Sets `painter` (on the viewport) to draw in the client area's device pixels, from its
    // top-left device pixel, so that an image drawn at (0, 0) lands on device pixels one to one.
    // Returns the client area's size in those pixels.
    QSize PaintInDevicePixels(QPainter& painter) const;
    // The device pixels of a client area of `device` size that a paint event's rectangle (window
    // pixels) covers, whole and clipped to it.
    QRect DeviceRectOf(const QRect& window, const QSize& device) const;
    // Where the pane shows image pixels `area`: device pixels of the client area (x from its left),
    // unclipped.
    virtual QRect DeviceRectOfImage(const RECT& area) const = 0;
    // The hatch (aligned to the surface's origin) over [x0, x1) x [y0, y1), only within `part`.
    static void HatchWithin(const SurfaceRef& surface, const QRect& part, int x0, int y0, int x1, int y1);

    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The wheel over a scroll bar scrolls as over the pane (a vertical turn moves a horizontal bar).
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The client size the pane will have once its bars are shown or hidden for content of this
    // size, so the ranges never depend on which bars happened to be visible before.
    QSize ClientSizeFor(int64_t contentWidth, int64_t contentHeight) const;
    // Sets both ranges 0..max, lowering the positions into them, and the bars' positions; the
    // bars' steps follow the scale, their pages `client` (window pixels) less a tenth.
    void SetScrollRanges(int maxX, int maxY, QSize client);
    // Moves the bars to m_nScrollX and m_nScrollY.
    void SetScrollPositions();
    // "Image: W x H x 256" or "... 16 Million" in status pane 2.
    void ShowImageInfo() const;
    // Draws the pixels `part` of `surface` (composed at image scale, or a block a pixel when reduced)
    // with `painter`, each onto `magnify` x `magnify` device pixels, as far as `device` reaches.
    // Where the document has transparency, the pixels of `picture` (the part of the surface the
    // image covers) are first composited over the checkerboard in device pixels, its squares
    // counted from device pixel `origin` of the surface's pixel (0, 0) in the picture.
    void Present(QPainter& painter, QImage& surface, int magnify, const QSize& device, const QRect& part,
                 const QRect& picture, const QPoint& origin) const;
    // Draws over the device pixels `drawn` of `shown` once they are composed, before they reach
    // the screen (the editing view's pixel grid).
    virtual void DrawOverPresented(QImage& /*shown*/, int /*magnify*/, const QRect& /*drawn*/) const {}

    COrvikDoc* m_pDocument;
    QPointF m_wheelTravel;  // wheel travel not scrolled yet, in 1/120 window pixels

private:
    // A wheel event over the pane (`across` for the horizontal bar): Ctrl zooms the editing view,
    // around `at` (a point of its client area) or, when null, its middle; otherwise it scrolls.
    void Wheel(QWheelEvent* event, bool across, const QPointF* at);

    bool m_bSettingScroll = false;  // the pane itself moves the scroll bars
};
