// The editing view: the image magnified by the document's zoom factor, composed at image scale in
// the main frame's off-screen surface with the floating image, the selection frame, the rubber
// bands and the hatch outside the image, then magnified onto the screen's device pixels by pixel
// replication, each image pixel the same whole number of device pixels (zoom_level.h). Reduced, it
// is composed at device scale instead: each device pixel shows the mean colour of the n x n image
// pixels under it, taken from a reduced copy of the image, and the overlays are drawn one device
// pixel wide. A picture smaller than the client area sits in its middle, the hatch around it.
// Dragging with the middle button, or with any button while Space is held, pans the picture
// whatever the tool; Ctrl + wheel and a touchpad's pinch zoom around the pointer.
#pragma once

#include <QCursor>
#include <QPoint>

#include <map>
#include <memory>

#include "document/image_buffer.h"
#include "document/reduced_image.h"
#include "document/zoom_level.h"
#include "views/image_pane.h"
#include "views/tool.h"

class QPrinter;

// The view holds the tools' shared state (the selection, the drag, the last point) and is their
// environment (CToolHost); each tool is made the first time it is used in the view.
class COrvikView : public CImagePane, public CToolState, private CToolHost {
    Q_OBJECT

public:
    COrvikView(COrvikDoc* doc, QWidget* parent);
    ~COrvikView() override;

    void OnInitialUpdate();

    void UpdateScrollRanges() override;
    // A client point (window pixels, as the pointer reports it) as the image pixel drawn under it,
    // clamped into the image (when reduced the top-left pixel of the block under it), scrolling
    // first while a drag runs.
    QPoint ClientToImage(const QPointF& point);
    QPoint ClientToImage(int px, int py);
    void CenterOn(int x, int y);
    // The zoom tool's steps, centred on image point (x, y): one level in, or one level out (none
    // from 1:1 or 1:32). The frame is fitted to the zoomed image.
    void ZoomIn(int x, int y) override;
    void ZoomOut(int x, int y) override;
    void UpdateStatus(int x, int y);

    // The document's zoom level, and how it lies on the screen's device pixels.
    ZoomLevel Level() const;
    DeviceScale Scale() const override;
    // The surface pixels (image pixels, or blocks when reduced) of hatch left of and above the
    // picture: half of what the client area has beyond the picture, none where it has no room.
    QPoint Margin() const;
    // The window pixels the whole image takes at the current level.
    QSize ZoomedSize() const;
    // The View menu's steps: to `level` around the view's centre, the frame fitted to the image.
    void ZoomTo(ZoomLevel level);
    // The largest level at which the whole image fits the document window as it is (1:32 when none
    // does); the window keeps its size.
    void FitInWindow();
    // To `level`, keeping the image pixel under client point `client` under it as far as the
    // scroll ranges allow; the window keeps its size.
    void ZoomAround(ZoomLevel level, const QPointF& client);
    // Ctrl + wheel, `delta` in eighths of a degree (a notch is 120): one level a whole notch,
    // around client point `at`, or the middle of the view when null; the window keeps its size.
    // What is left of a notch adds up with the next turn the same way; a turn the other way or
    // any other zoom forgets it.
    void WheelZoom(int delta, const QPointF* at);
    // A picture just opened that does not fit its window at 1:1 goes to the largest level at which
    // it shows whole, the window fitted to it.
    void ShowWhole();
    // The largest level at most `upTo` at which the whole image fits a client area of `client`
    // window pixels (1:32 when none does).
    ZoomLevel LevelShowingWhole(QSize client, ZoomLevel upTo) const;
    // The document's pixels in `area` (image pixels) change: the reduced copies redo them when
    // next drawn.
    void ImageChanged(const RECT& area);

    // Composes the visible part into the off-screen surface at image scale (one pixel a block when
    // reduced), the picture itself only over the surface pixels `part` (all of them when it is
    // null); the image columns and rows drawn (the surface columns and rows when reduced) are left
    // in m_nDrawnWidth and m_nDrawnHeight.
    void Compose(QImage& surface, int cols, int rows, QRect part = QRect());

    // Prints the whole image on one page of `printer`, as large as fits, pixels replicated.
    void PrintImage(QPrinter* printer);
    // The current foreground or background palette index, always within 0..255.
    static int ColourIndex(bool fore);

    // The image changed from outside the view: the brush forgets its last point, and a line or
    // rectangle drag in progress ends without painting.
    void ForgetToolPoints();
    // A mouse button pressed in the view is still held, so the tool's step is not over.
    bool ButtonHeld() const;
    // The view no longer has the buttons pressed in it (the focus went to a dialog, a menu or
    // another window, or the release went elsewhere): the tool's gesture ends where it is, as a
    // step of its own, and an Undo or Redo that waited for the release runs.
    void LoseButtons();

    // Writing with the current colours (tool_paint.h). Points are image pixels (x from the left,
    // y from the top); whatever lies outside the image is not written.
    void PaintDot(int x, int y, bool fore);
    void PaintLine(int x0, int y0, int x1, int y1, bool fore);
    // The outline of the normalised m_rcDrag.
    void PaintRect(bool fore);
    // Strictly inside the selection: its first column and row count as outside.
    bool HitSelection(int x, int y) const override;
    // Select All and Select None: the floating image is dropped first; Select All makes the whole
    // image the selection and the selection tool the current one.
    void SelectAll();
    void SelectNone();
    // The main frame's current tool changed: the tool this view used last finishes what it held.
    void ToolChanged();
    // Copies the part of the floating image that lies over the image into it (marking the document
    // modified when that part is not empty) and releases it.
    void DropSelection() override;

    int m_nDrawnWidth = 0;
    int m_nDrawnHeight = 0;
    bool m_bPixelGrid = false;  // View > Pixel Grid, for this window

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Sets the zoom level; the actual-size pane's column, the title and the scroll ranges follow,
    // and with `fitFrame` the frame is fitted to the zoomed image.
    void SetZoomLevel(ZoomLevel level, bool fitFrame);
    // Compose when reduced, in device pixels.
    void ComposeReduced(QImage& surface, int cols, int rows, const QRect& part);
    QRect DeviceRectOfImage(const RECT& area) const override;
    void DrawOverPresented(QImage& shown, int magnify, const QRect& drawn) const override;
    // The selection's frame and the current tool's rubber band.
    void DrawOverlays(COverlay& overlay);
    // The current tool of the main frame, made when it is first used here; null for an id that is
    // no tool.
    CTool* CurrentTool();
    // Every mouse event of the view goes to its tool from here, unless it pans.
    void DispatchMouse(QMouseEvent* event);
    // A press of the middle button, or of any while Space is held, begins panning when no tool's
    // gesture runs; the moves that follow scroll the picture with the pointer until that button is
    // released. True when the event belonged to panning.
    bool Pan(QMouseEvent* event);
    void EndPan();
    // A touchpad's pinch: one level for each quarter the fingers spread or close, around `at`.
    void Pinch(double delta, const QPointF& at);
    // The tool a press with `modifiers` goes to: the current one, or with Ctrl and a painting tool
    // the colour picker.
    CTool* ToolFor(Qt::KeyboardModifiers modifiers);
    // The tool's cursor, or the hand while panning or while Space is held.
    void UpdateCursor(Qt::KeyboardModifiers modifiers);

    // The tools' environment.
    COrvikDoc* Document() const override { return m_pDocument; }
    CToolState& State() override { return *this; }
    int CurrentColour(bool fore) const override { return ColourIndex(fore); }
    void ChooseColour(bool fore, int index) override;
    void SetColourEntry(bool fore, uint8_t red, uint8_t green, uint8_t blue) override;
    const CToolSettings& Settings() const override;
    // Lifts the selected pixels into the floating image, leaving the background colour (transparent
    // pixels on an image with transparency, as Clear leaves them); false (and the image unchanged) when
    // nothing of the selection lies over the image or memory is short.
    bool LiftSelection() override;
    void Repaint() override;
    void ShowCursor(const CCursorArt& cursor) override;

    void OnFilePrint();
    void OnFilePrintPreview();

    // The tool the view's current tool command names, made when first used here.
    CTool* Tool(int id);
    // Over the device picture, magnified by `magnify` from image pixel (m_nScrollX, m_nScrollY): a
    // line one device pixel wide between the image pixels, lightening dark pixels and darkening
    // light ones, over the device pixels `picture` the image pixels shown take, within `part`.
    void DrawPixelGrid(QImage& shown, int magnify, const QRect& picture, const QRect& part) const;
    // The hatch over the surface outside `picture`, within cols x rows, only within `part`.
    static void HatchAround(const SurfaceRef& surface, const QRect& part, const QRect& picture, int cols, int rows);

    std::map<int, std::unique_ptr<CTool>> m_tools;  // by command id
    int m_nLastTool = 0;                            // the tool id the view last dispatched to
    CTool* m_pGesture = nullptr;  // the tool a press went to, until its release (Ctrl + click: the picker)
    bool m_bCapture = false;      // a press of this view is waiting for its release
    CReducedCopies m_reduced;
    int m_nWheelZoom = 0;  // Ctrl + wheel rotation not zoomed yet
    double m_dPinch = 0;   // pinch not zoomed yet
    bool m_bSpaceHeld = false;
    bool m_bPanning = false;
    Qt::MouseButton m_panButton = Qt::NoButton;
    QPoint m_ptPanFrom;  // the device pixel the picture was last moved to follow
    // The buttons held as the view's last press or release left them.
    Qt::MouseButtons m_buttonsHeld;
};

// A cursor of the artwork with its hot spot, at the size for a screen of `dpr` device pixels per
// window pixel.
QCursor ToolCursor(const CCursorArt& art, double dpr = 1);
