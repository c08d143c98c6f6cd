// The editing view's side of the tools: the one place every mouse event goes to the current tool
// (or pans the picture), the environment the tools work in, and the selection with its floating
// image.
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QScopeGuard>

#include <cstring>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "colour/color_palette_dlg.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/overlay.h"
#include "views/tool_options_bar.h"
#include "views/tool_paint.h"
#include "views/tool_table.h"

int COrvikView::ColourIndex(bool fore) {
    const CColorPaletteDlg* palette = theApp->m_mainFrame->m_wndPaletteDlg;
    return (fore ? palette->m_foreIndex : palette->m_backIndex) & 0xFF;
}

CTool* COrvikView::CurrentTool() {
    const int id = theApp->m_mainFrame->m_currentTool;
    if (id != m_nLastTool) ToolChanged();
    return Tool(id);
}

void COrvikView::ToolChanged() {
    const int id = theApp->m_mainFrame->m_currentTool;
    if (id == m_nLastTool) return;
    const auto old = m_tools.find(m_nLastTool);
    m_nLastTool = id;
    if (old != m_tools.end()) old->second->Deactivate();
    viewport()->update();
}

CTool* COrvikView::Tool(int id) {
    auto found = m_tools.find(id);
    if (found == m_tools.end()) {
        const CToolInfo* info = FindTool(id);
        if (!info) return nullptr;
        found = m_tools.emplace(id, info->make(*this, *info)).first;
    }
    return found->second.get();
}

// --- Writing pixels ------------------------------------------------------------------------------

void COrvikView::PaintDot(int x, int y, bool fore) {
    ::PaintDot(m_pDocument, x, y, ColourIndex(fore));
}

void COrvikView::PaintLine(int x0, int y0, int x1, int y1, bool fore) {
    ::PaintLine(m_pDocument, x0, y0, x1, y1, ColourIndex(fore));
}

void COrvikView::PaintRect(bool fore) {
    PaintRectOutline(m_pDocument, NormalizeRect(m_rcDrag), ColourIndex(fore));
}

// --- The environment -----------------------------------------------------------------------------

void COrvikView::ChooseColour(bool fore, int index) {
    CColorPaletteDlg* palette = theApp->m_mainFrame->m_wndPaletteDlg;
    (fore ? palette->m_foreIndex : palette->m_backIndex) = index & 0xFF;
    palette->Refresh();
}

void COrvikView::SetColourEntry(bool fore, uint8_t red, uint8_t green, uint8_t blue) {
    theApp->m_mainFrame->m_wndPaletteDlg->SetEntry(ColourIndex(fore), red, green, blue);
}

const CToolSettings& COrvikView::Settings() const {
    return theApp->m_mainFrame->m_wndToolOptions->Settings();
}

void COrvikView::Repaint() {
    viewport()->update();
}

void COrvikView::ShowCursor(const CCursorArt& cursor) {
    viewport()->setCursor(ToolCursor(cursor, DevicePixelRatio()));
}

CTool* COrvikView::ToolFor(Qt::KeyboardModifiers modifiers) {
    CTool* tool = CurrentTool();
    // Ctrl with a painting tool picks the colour under the pointer.
    if (tool && (modifiers & Qt::ControlModifier) && (tool->Info().options & kPicksWithCtrl))
        return Tool(ID_TOOL_PICKER);
    return tool;
}

void COrvikView::UpdateCursor(Qt::KeyboardModifiers modifiers) {
    if (m_bPanning || m_bSpaceHeld) {
        viewport()->setCursor(m_bPanning ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
        return;
    }
    const CTool* tool = m_pGesture ? m_pGesture : ToolFor(modifiers);
    if (const CCursorArt* cursor = tool ? tool->Cursor() : nullptr) ShowCursor(*cursor);
}

void COrvikView::DrawOverlays(COverlay& overlay) {
    if (m_bDragging || m_bSelection) overlay.Frame(NormalizeRect(m_rcSelection), !m_bSelection);
    if (const CTool* tool = CurrentTool()) tool->DrawOverlay(overlay);
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

// --- Buttons -------------------------------------------------------------------------------------

bool COrvikView::ButtonHeld() const {
    // The platform's state too, in case a release never reached the view.
    return m_buttonsHeld != Qt::NoButton && QGuiApplication::mouseButtons() != Qt::NoButton;
}

void COrvikView::LoseButtons() {
    EndPan();
    if (m_buttonsHeld == Qt::NoButton && !m_bCapture) return;
    // What the release would have finished ends where it is; a line or rectangle is not drawn.
    if (CTool* tool = m_pGesture ? m_pGesture : CurrentTool()) tool->LoseButtons();
    m_buttonsHeld = Qt::NoButton;
    m_bCapture = false;
    m_pGesture = nullptr;
    viewport()->update();
    m_pDocument->EndToolStep();
}

void COrvikView::ForgetToolPoints() {
    m_bHaveLast = false;
    for (auto& [id, tool] : m_tools) {
        if (tool->Forget()) m_bCapture = false;  // the release writes nothing
    }
}

void COrvikView::focusOutEvent(QFocusEvent* event) {
    CImagePane::focusOutEvent(event);
    // Space's release goes to whatever has the focus now.
    m_bSpaceHeld = false;
    LoseButtons();
    UpdateCursor(QGuiApplication::keyboardModifiers());
}

bool COrvikView::event(QEvent* event) {
    // A dialog blocks the window, or another window becomes the active one.
    if (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowDeactivate) LoseButtons();
    // A text being typed takes its keys before the menus' single-key shortcuts.
    if (event->type() == QEvent::ShortcutOverride) {
        CTool* tool = CurrentTool();
        if (tool && tool->WantsKey(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
    }
    return CImagePane::event(event);
}

bool COrvikView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::NativeGesture) {
        const auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture && m_pDocument->HasImage())
            Pinch(gesture->value(), gesture->position());
        else if (gesture->gestureType() == Qt::BeginNativeGesture)
            m_dPinch = 0;
        event->accept();
        return true;
    }
    return CImagePane::viewportEvent(event);
}

// A tool that takes keys (text, polygon) has them first; otherwise Space held makes every button
// pan, and its own press and release do nothing else.
void COrvikView::keyPressEvent(QKeyEvent* event) {
    CTool* tool = m_pDocument->HasImage() ? CurrentTool() : nullptr;
    if (tool && tool->KeyPress(event)) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            m_bSpaceHeld = true;
            UpdateCursor(event->modifiers());
        }
        return;
    }
    // Ctrl shows the picker's cursor over the picture while it picks.
    if (event->key() == Qt::Key_Control && m_pDocument->HasImage()) UpdateCursor(event->modifiers());
    CImagePane::keyPressEvent(event);
}

void COrvikView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat() && m_bSpaceHeld) {
            m_bSpaceHeld = false;
            UpdateCursor(event->modifiers());
        }
        return;
    }
    if (event->key() == Qt::Key_Control && m_pDocument->HasImage()) UpdateCursor(event->modifiers());
    CImagePane::keyReleaseEvent(event);
}

// --- Selecting -------------------------------------------------------------------------------------

void COrvikView::SelectAll() {
    if (!m_pDocument->HasImage()) return;
    DropSelection();
    m_bDragging = false;
    m_bMoving = false;
    m_bSelection = true;
    m_rcSelection = RECT{0, 0, m_pDocument->Width(), m_pDocument->Height()};
    theApp->m_mainFrame->m_currentTool = ID_TOOL_SELECT;
    ToolChanged();
    m_pDocument->UpdateAllViews();
}

void COrvikView::SelectNone() {
    DropSelection();
    m_bDragging = false;
    m_bMoving = false;
    m_bSelection = false;
    m_rcSelection = RECT{0, 0, 0, 0};
    m_pDocument->UpdateAllViews();
}

// --- Mouse ---------------------------------------------------------------------------------------

void COrvikView::mousePressEvent(QMouseEvent* event) {
    DispatchMouse(event);
}

// The second press of a double click does nothing, and its release finds no capture.
void COrvikView::mouseDoubleClickEvent(QMouseEvent* event) {
    DispatchMouse(event);
}

void COrvikView::mouseMoveEvent(QMouseEvent* event) {
    DispatchMouse(event);
}

void COrvikView::mouseReleaseEvent(QMouseEvent* event) {
    DispatchMouse(event);
}

void COrvikView::DispatchMouse(QMouseEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove) m_buttonsHeld = event->buttons();
    // Once every button is up the tool's step is over, whatever this release does.
    const auto endStep = qScopeGuard([this, type] {
        if (type == QEvent::MouseButtonRelease && m_buttonsHeld == Qt::NoButton) m_pDocument->EndToolStep();
    });
    if (Pan(event)) return;
    if (!m_pDocument->HasImage()) return;
    if (type == QEvent::MouseButtonDblClick) {
        // Its release finds no capture.
        m_bCapture = false;
        m_pGesture = nullptr;
        CTool* tool = ToolFor(event->modifiers());
        if (tool && tool == CurrentTool())
            tool->DoubleClick(
                {ClientToImage(event->position()), event->button(), event->buttons(), event->modifiers()});
        return;
    }
    const Qt::MouseButton button = event->button();
    if (type != QEvent::MouseMove && button != Qt::LeftButton && button != Qt::RightButton) return;
    if (type == QEvent::MouseButtonRelease && !m_bCapture) return;

    if (type == QEvent::MouseMove) {
        // The buttons came up where the view did not see it.
        if (m_buttonsHeld != Qt::NoButton && event->buttons() == Qt::NoButton) LoseButtons();
        // The tool's cursor first; the tool may then show another one.
        UpdateCursor(event->modifiers());
        // While Space is held the pointer only moves over the picture, ready to pan.
        if (m_bSpaceHeld && !m_bCapture) {
            const QPoint point = ClientToImage(event->position());
            UpdateStatus(point.x(), point.y());
            return;
        }
    }
    const CToolEvent toolEvent{ClientToImage(event->position()), button, event->buttons(),
                               event->modifiers()};
    // A press that picks a colour (Ctrl + click) goes on with the picker until its release.
    if (type == QEvent::MouseButtonPress && !m_bCapture) {
        CTool* picked = ToolFor(event->modifiers());
        m_pGesture = picked != CurrentTool() ? picked : nullptr;
    }
    CTool* tool = m_pGesture ? m_pGesture : CurrentTool();
    switch (type) {
        case QEvent::MouseButtonPress:
            if (tool)
                tool->Press(toolEvent);
            else if (button == Qt::RightButton)
                m_pDocument->UpdateAllViews();
            m_bCapture = true;
            break;
        case QEvent::MouseMove:
            if (tool) tool->Move(toolEvent);
            UpdateStatus(toolEvent.point.x(), toolEvent.point.y());
            break;
        case QEvent::MouseButtonRelease:
            if (tool) tool->Release(toolEvent);
            m_bCapture = false;
            m_pGesture = nullptr;
            break;
        default:
            break;
    }
}

bool COrvikView::Pan(QMouseEvent* event) {
    const QEvent::Type type = event->type();
    if (!m_bPanning) {
        const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
        const Qt::MouseButton button = event->button();
        const bool pans = button == Qt::MiddleButton ||
                          (m_bSpaceHeld && (button == Qt::LeftButton || button == Qt::RightButton));
        if (!press || !pans || m_bCapture || !m_pDocument->HasImage()) return false;
        m_bPanning = true;
        m_panButton = button;
        m_ptPanFrom = DevicePoint(event->position());
        UpdateCursor(QGuiApplication::keyboardModifiers());
        return true;
    }
    if (type == QEvent::MouseMove && !(event->buttons() & m_panButton)) {
        EndPan();  // its release went elsewhere
        return false;
    }
    if (type == QEvent::MouseMove) {
        // The picture follows the pointer in whole steps: an image pixel (`magnify` device pixels),
        // or when reduced a block (a device pixel).
        const DeviceScale scale = Scale();
        const QPoint moved = DevicePoint(event->position()) - m_ptPanFrom;
        const QPoint steps(moved.x() / scale.magnify, moved.y() / scale.magnify);
        m_ptPanFrom += steps * scale.magnify;
        ScrollBy(-steps.x() * scale.shrink, -steps.y() * scale.shrink);
    } else if (type == QEvent::MouseButtonRelease && event->button() == m_panButton) {
        EndPan();
    }
    return true;
}

void COrvikView::EndPan() {
    if (!m_bPanning) return;
    m_bPanning = false;
    m_panButton = Qt::NoButton;
    UpdateCursor(QGuiApplication::keyboardModifiers());
}
