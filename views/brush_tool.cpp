#include "views/brush_tool.h"

#include "document/orvik_doc.h"
#include "views/tool_paint.h"

void CBrushTool::Press(const CToolEvent& event) {
    CToolState& state = State();
    // After the image changed under it, a stroke starts where the button went down.
    if (event.Left() || !state.m_bHaveLast) state.m_ptLast = event.point;
    state.m_bHaveLast = true;
    PaintDot(Document(), event.point.x(), event.point.y(), m_host.CurrentColour(event.Left()));
    Document()->UpdateAllViews();
}

void CBrushTool::Move(const CToolEvent& event) {
    CToolState& state = State();
    if (!state.m_bHaveLast) state.m_ptLast = event.point;
    const QPoint from = state.m_ptLast;
    const QPoint to = event.point;
    if (event.buttons & Qt::LeftButton)
        PaintLine(Document(), from.x(), from.y(), to.x(), to.y(), m_host.CurrentColour(true));
    else if (event.buttons & Qt::RightButton)
        PaintLine(Document(), from.x(), from.y(), to.x(), to.y(), m_host.CurrentColour(false));
    state.m_ptLast = to;
    state.m_bHaveLast = true;
    Document()->UpdateAllViews();
}
