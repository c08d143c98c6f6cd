#include "views/shape_tool.h"

#include <cstdlib>

#include "dialogs/setup_dlg.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "views/overlay.h"
#include "views/tool_paint.h"

void CShapeTool::Move(const CToolEvent& event) {
    CDragTool::Move(event);
    if (!(event.buttons & (Qt::LeftButton | Qt::RightButton)) || !(event.modifiers & Qt::ShiftModifier))
        return;
    // A square: the shorter side, in the direction dragged.
    RECT& drag = State().m_rcDrag;
    const int dx = drag.right - drag.left;
    const int dy = drag.bottom - drag.top;
    const int side = std::min(std::abs(dx), std::abs(dy));
    drag.right = drag.left + (dx < 0 ? -side : side);
    drag.bottom = drag.top + (dy < 0 ? -side : side);
}

void CShapeTool::Commit(bool left, const QPoint&) {
    COrvikDoc* doc = Document();
    const RECT box = NormalizeRect(State().m_rcDrag);
    if (!DrawsThinBoxes() && (box.right == box.left || box.bottom == box.top)) {
        doc->SetModifiedFlag();
        return;
    }
    const int line = m_host.CurrentColour(left);
    const int other = m_host.CurrentColour(!left);
    CSpanSet outline;
    CSpanSet inside;
    const bool filled = g_fillStyle == kFilled || g_fillStyle == kFilledWithoutOutline;
    AddShape(&outline, filled ? &inside : nullptr, box, m_host.Settings().brushSize);
    if (g_fillStyle == kFilledWithoutOutline) {
        inside.AddSet(outline);
        PaintSet(doc, inside, other);
        return;
    }
    PaintSet(doc, outline, line);
    if (filled) PaintSet(doc, inside, other);
}

void CRectTool::AddShape(CSpanSet* outline, CSpanSet* inside, const RECT& box, int thickness) const {
    AddRectangle(outline, inside, box, thickness);
}

void CRectTool::DrawBand(COverlay& overlay, const RECT& drag) const {
    overlay.RectOutline(NormalizeRect(drag));
}

void CEllipseTool::AddShape(CSpanSet* outline, CSpanSet* inside, const RECT& box, int thickness) const {
    AddEllipse(outline, inside, box, thickness);
}

void CEllipseTool::DrawBand(COverlay& overlay, const RECT& drag) const {
    CSpanSet outline;
    AddEllipse(&outline, nullptr, NormalizeRect(drag), 1);
    overlay.InvertSet(outline);
}
