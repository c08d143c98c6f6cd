// The editing tools: what each mouse press, move and release does with the current tool, what is
// written into the image, and the selection with its floating image.
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScopeGuard>

#include <cstdlib>
#include <cstring>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "colour/color_palette_dlg.h"
#include "document/line_steps.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

int CurrentTool() {
    return theApp->m_mainFrame->m_currentTool;
}

}  // namespace

int COrvikView::ColourIndex(bool fore) {
    const CColorPaletteDlg* palette = theApp->m_mainFrame->m_wndPaletteDlg;
    return (fore ? palette->m_foreIndex : palette->m_backIndex) & 0xFF;
}

QPoint COrvikView::EventPoint(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return ClientToImage(p.x(), p.y());
}

// --- Writing pixels ------------------------------------------------------------------------------

void COrvikView::PaintDot(int x, int y, bool fore) {
    COrvikDoc* doc = m_pDocument;
    doc->SetModifiedFlag();
    if (x < 0 || y < 0 || x >= doc->Width() || y >= doc->Height()) return;
    doc->Touch(RECT{x, y, x + 1, y + 1});
    PaintPixel(doc->Target(), x, doc->Height() - 1 - y, ColourIndex(fore));
}

void COrvikView::PaintLine(int x0, int y0, int x1, int y1, bool fore) {
    ForEachLinePoint(x0, y0, x1, y1, [&](int x, int y) { PaintDot(x, y, fore); });
}

void COrvikView::PaintRect(bool fore) {
    m_pDocument->SetModifiedFlag();
    const RECT r = NormalizeRect(m_rcDrag);
    if (r.right == r.left || r.bottom == r.top) return;
    // Each outline pixel once, which matters when painting is translucent.
    PaintLine(r.left, r.top, r.right, r.top, fore);
    PaintLine(r.left, r.bottom, r.right, r.bottom, fore);
    if (r.bottom - r.top > 1) {
        PaintLine(r.left, r.top + 1, r.left, r.bottom - 1, fore);
        PaintLine(r.right, r.top + 1, r.right, r.bottom - 1, fore);
    }
}

void COrvikView::FillAt(int x, int y, bool fore) {
    COrvikDoc* doc = m_pDocument;
    if (x < 0 || y < 0 || x >= doc->Width() || y >= doc->Height()) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    doc->SetModifiedFlag();
    doc->Touch(RECT{0, 0, doc->Width(), doc->Height()});
    PaintFill(doc->Target(), x, doc->Height() - 1 - y, ColourIndex(fore));
    QGuiApplication::restoreOverrideCursor();
}

// --- Selection -----------------------------------------------------------------------------------

bool COrvikView::HitSelection(int x, int y) const {
    const RECT r = NormalizeRect(m_rcSelection);
    return RectsOverlap(x, y, x, y, r.left, r.top, r.right, r.bottom);
}

bool COrvikView::LiftSelection() {
    COrvikDoc* doc = m_pDocument;
    const int bytes = doc->BitCount() / 8;
    // Only the part over the image is lifted; the selection shrinks to it.
    const RECT r = ClipRect(NormalizeRect(m_rcSelection), doc->Width(), doc->Height());
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
    if (AllocateImage(w, h, doc->BitCount(), &header, &bits) != ImageStatus::Ok) return false;
    // An 8-bit block holds indices into the image's palette.
    if (doc->BitCount() == 8) std::memcpy(HeaderPalette(header), doc->m_pPalette, kPaletteBytes);
    doc->Touch(r);
    const int row = doc->Height() - r.bottom;
    CopyBlock(doc->m_pBits, r.left, row, doc->Stride(), w, h, bytes, bits, header->biXPelsPerMeter);
    // What is left is the background colour, or transparent on an image that can be.
    FillBlock(doc->m_pBits, r.left, row, doc->Stride(), w, h, bytes,
              ErasedValue(doc->Target(), ColourIndex(false)));
    doc->KeepFloat();  // undo brings back the selection as it was, without a floating block
    doc->m_pFloatHeader = header;
    doc->m_pFloatBits = bits;
    doc->SetModifiedFlag();
    m_rcSelection = r;
    m_rcDrag = r;
    return true;
}

void COrvikView::DropSelection() {
    COrvikDoc* doc = m_pDocument;
    if (!doc->HasFloat()) return;
    const BITMAPINFOHEADER& floating = *doc->m_pFloatHeader;
    // Only the part of the floating image that lies over the image is copied, opaque.
    if (floating.biBitCount == doc->BitCount() && doc->HasImage()) {
        const RECT sel = NormalizeRect(m_rcSelection);
        const int64_t left = sel.left;
        const int64_t top = sel.top;
        const int64_t right = left + floating.biWidth;
        const int64_t bottom = top + floating.biHeight;
        const RECT over{static_cast<int32_t>(std::clamp<int64_t>(left, 0, doc->Width())),
                        static_cast<int32_t>(std::clamp<int64_t>(top, 0, doc->Height())),
                        static_cast<int32_t>(std::clamp<int64_t>(right, 0, doc->Width())),
                        static_cast<int32_t>(std::clamp<int64_t>(bottom, 0, doc->Height()))};
        const int w = over.right - over.left;
        const int k = over.bottom - over.top;
        if (w > 0 && k > 0) {
            const int bytes = doc->BitCount() / 8;
            const int srcColumn = static_cast<int>(over.left - left);
            const int srcRow = static_cast<int>(bottom - over.bottom);  // rows are stored bottom-up
            const int dstRow = doc->Height() - over.bottom;
            doc->Touch(over);
            CopyBlock(doc->m_pFloatBits, srcColumn, srcRow, floating.biXPelsPerMeter, w, k, bytes,
                      doc->m_pBits + static_cast<ptrdiff_t>(dstRow) * doc->Stride() +
                          static_cast<ptrdiff_t>(over.left) * bytes,
                      doc->Stride());
            doc->SetModifiedFlag();  // a pasted block changes the image only now
        }
    }
    doc->KeepFloat();  // undo brings it back where it was dropped
}

void COrvikView::MoveSelection(Qt::MouseButtons buttons, int x, int y) {
    if (m_bDragging) {
        m_rcSelection.right = x;
        m_rcSelection.bottom = y;
        viewport()->update();
    } else if (!m_bSelection) {
        return;
    } else if (!m_bMoving) {
        if (HitSelection(x, y)) viewport()->setCursor(ToolCursor(IDC_MOVE));
    } else if (!(buttons & Qt::LeftButton)) {
        m_bMoving = false;
    } else if (!m_pDocument->HasFloat()) {
        if (!LiftSelection()) m_bMoving = false;
        viewport()->update();
        viewport()->setCursor(ToolCursor(IDC_MOVE));
    } else {
        const int dx = x - m_ptLast.x();
        const int dy = y - m_ptLast.y();
        m_rcSelection =
            RECT{m_rcDrag.left + dx, m_rcDrag.top + dy, m_rcDrag.right + dx, m_rcDrag.bottom + dy};
        viewport()->update();
        viewport()->setCursor(ToolCursor(IDC_MOVE));
    }
}

void COrvikView::SelectionPress(const QPoint& p) {
    if (m_bSelection && HitSelection(p.x(), p.y())) {
        m_ptLast = p;
        m_bMoving = true;
        m_rcDrag = m_rcSelection;
    } else if (m_bSelection) {
        DropSelection();
        m_bSelection = false;
        viewport()->update();
        m_rcSelection = RECT{0, 0, 0, 0};
        m_pDocument->UpdateAllViews(this);  // the dropped pixels reach the other pane
    } else {
        m_bDragging = true;
        m_rcSelection = RECT{p.x(), p.y(), p.x(), p.y()};
    }
}

void COrvikView::EndSelectionDrag(const QPoint& p) {
    m_bDragging = false;
    m_rcSelection.right = p.x();
    m_rcSelection.bottom = p.y();
    m_bSelection = true;
}

bool COrvikView::ButtonHeld() const {
    // The platform's state too, in case a release never reached the view.
    return m_buttonsHeld != Qt::NoButton && QGuiApplication::mouseButtons() != Qt::NoButton;
}

void COrvikView::ForgetToolPoints() {
    m_bHaveLast = false;
    const int tool = CurrentTool();
    if (m_bDragging && (tool == ID_TOOL_LINE || tool == ID_TOOL_RECT)) {
        m_bDragging = false;
        m_bCapture = false;  // the release paints nothing
    }
}

// --- Mouse ---------------------------------------------------------------------------------------

void COrvikView::mousePressEvent(QMouseEvent* event) {
    m_buttonsHeld = event->buttons();
    if (!m_pDocument->HasImage()) return;
    const bool left = event->button() == Qt::LeftButton;
    if (!left && event->button() != Qt::RightButton) return;
    const QPoint p = EventPoint(event);
    COrvikDoc* doc = m_pDocument;
    switch (CurrentTool()) {
        case ID_TOOL_ZOOM:
            if (left)
                ZoomIn(p.x(), p.y());
            else
                ZoomOut(p.x(), p.y());
            doc->UpdateAllViews();
            break;
        case ID_TOOL_BRUSH:
            // A stroke goes on from the last point the pointer passed; after the image changed
            // it starts here.
            if (left || !m_bHaveLast) m_ptLast = p;
            m_bHaveLast = true;
            PaintDot(p.x(), p.y(), left);
            doc->UpdateAllViews();
            break;
        case ID_TOOL_SELECT:
            if (left) {
                SelectionPress(p);
            } else {
                if (m_bDragging) EndSelectionDrag(p);
                m_bMoving = false;
                doc->UpdateAllViews();
            }
            break;
        case ID_TOOL_LINE:
        case ID_TOOL_RECT:
            m_bDragging = true;
            m_rcDrag = RECT{p.x(), p.y(), p.x(), p.y()};
            if (!left) doc->UpdateAllViews();
            break;
        case ID_TOOL_FILL:
            FillAt(p.x(), p.y(), left);
            doc->UpdateAllViews();
            break;
        default:
            if (!left) doc->UpdateAllViews();
            break;
    }
    m_bCapture = true;
}

// The second press of a double click does nothing, and its release finds no capture.
void COrvikView::mouseDoubleClickEvent(QMouseEvent* event) {
    m_buttonsHeld = event->buttons();
    m_bCapture = false;
}

void COrvikView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pDocument->HasImage()) return;
    // The tool's cursor first; the selection tool may then show the move cursor instead.
    UpdateCursor();
    const QPoint p = EventPoint(event);
    const Qt::MouseButtons buttons = event->buttons();
    switch (CurrentTool()) {
        case ID_TOOL_BRUSH:
            if (!m_bHaveLast) m_ptLast = p;
            if (buttons & Qt::LeftButton)
                PaintLine(m_ptLast.x(), m_ptLast.y(), p.x(), p.y(), true);
            else if (buttons & Qt::RightButton)
                PaintLine(m_ptLast.x(), m_ptLast.y(), p.x(), p.y(), false);
            m_ptLast = p;
            m_bHaveLast = true;
            m_pDocument->UpdateAllViews();
            break;
        case ID_TOOL_SELECT:
            MoveSelection(buttons, p.x(), p.y());
            break;
        case ID_TOOL_LINE:
        case ID_TOOL_RECT:
            if (buttons & (Qt::LeftButton | Qt::RightButton)) {
                m_rcDrag.right = p.x();
                m_rcDrag.bottom = p.y();
                viewport()->update();
            }
            break;
        default:
            break;
    }
    UpdateStatus(p.x(), p.y());
}

void COrvikView::mouseReleaseEvent(QMouseEvent* event) {
    m_buttonsHeld = event->buttons();
    // Once every button is up the tool's step is over, whatever this release does.
    const auto endStep = qScopeGuard([this] {
        if (m_buttonsHeld == Qt::NoButton) m_pDocument->EndToolStep();
    });
    if (!m_bCapture || !m_pDocument->HasImage()) return;
    const bool left = event->button() == Qt::LeftButton;
    if (!left && event->button() != Qt::RightButton) return;
    const QPoint p = EventPoint(event);
    COrvikDoc* doc = m_pDocument;
    switch (CurrentTool()) {
        case ID_TOOL_SELECT:
            if (left) {
                if (m_bDragging) {
                    EndSelectionDrag(p);
                    viewport()->update();
                }
                m_bMoving = false;
            }
            break;
        case ID_TOOL_LINE:
            // The line ends where the button is released, in the foreground colour either way.
            PaintLine(m_rcDrag.left, m_rcDrag.top, p.x(), p.y(), true);
            m_bDragging = false;
            doc->UpdateAllViews();
            break;
        case ID_TOOL_RECT:
            PaintRect(left);
            m_bDragging = false;
            doc->UpdateAllViews();
            break;
        default:
            break;
    }
    m_bCapture = false;
}
