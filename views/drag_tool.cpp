#include "views/drag_tool.h"

#include "document/orvik_doc.h"

void CDragTool::Press(const CToolEvent& event) {
    CToolState& state = State();
    state.m_bDragging = true;
    state.m_rcDrag = RECT{event.point.x(), event.point.y(), event.point.x(), event.point.y()};
    if (!event.Left()) Document()->UpdateAllViews();
}

void CDragTool::Move(const CToolEvent& event) {
    if (!(event.buttons & (Qt::LeftButton | Qt::RightButton))) return;
    State().m_rcDrag.right = event.point.x();
    State().m_rcDrag.bottom = event.point.y();
    m_host.Repaint();
}

void CDragTool::Release(const CToolEvent& event) {
    Commit(event.Left(), event.point);
    State().m_bDragging = false;
    Document()->UpdateAllViews();
}

void CDragTool::LoseButtons() {
    State().m_bDragging = false;
}

bool CDragTool::Forget() {
    const bool dragging = State().m_bDragging;
    State().m_bDragging = false;
    return dragging;
}

void CDragTool::DrawOverlay(COverlay& overlay) const {
    if (State().m_bDragging) DrawBand(overlay, State().m_rcDrag);
}
