#include "views/select_tool.h"

#include "document/orvik_doc.h"
#include "document/pixel_routines.h"

void CSelectTool::EndDrag(const QPoint& p) {
    CToolState& state = State();
    state.m_bDragging = false;
    state.m_rcSelection.right = p.x();
    state.m_rcSelection.bottom = p.y();
    state.m_bSelection = true;
}

void CSelectTool::Press(const CToolEvent& event) {
    CToolState& state = State();
    const QPoint p = event.point;
    if (!event.Left()) {
        if (state.m_bDragging) EndDrag(p);
        state.m_bMoving = false;
        Document()->UpdateAllViews();
    } else if (state.m_bSelection && m_host.HitSelection(p.x(), p.y())) {
        state.m_ptLast = p;
        state.m_bMoving = true;
        state.m_rcDrag = state.m_rcSelection;
    } else if (state.m_bSelection) {
        // This press only drops; the next one begins a new selection.
        m_host.DropSelection();
        state.m_bSelection = false;
        m_host.Repaint();
        state.m_rcSelection = RECT{0, 0, 0, 0};
        Document()->UpdateAllViews();  // the dropped pixels reach the other pane
    } else {
        state.m_bDragging = true;
        state.m_rcSelection = RECT{p.x(), p.y(), p.x(), p.y()};
    }
}

void CSelectTool::Move(const CToolEvent& event) {
    CToolState& state = State();
    const int x = event.point.x();
    const int y = event.point.y();
    if (state.m_bDragging) {
        state.m_rcSelection.right = x;
        state.m_rcSelection.bottom = y;
        m_host.Repaint();
    } else if (!state.m_bSelection) {
        return;
    } else if (!state.m_bMoving) {
        if (m_host.HitSelection(x, y)) m_host.ShowCursor(kMoveCursor);
    } else if (!(event.buttons & Qt::LeftButton)) {
        state.m_bMoving = false;
    } else if (!Document()->HasFloat()) {
        // The first move with the button held lifts the pixels; the selection moves from the next.
        if (!m_host.LiftSelection()) state.m_bMoving = false;
        m_host.Repaint();
        m_host.ShowCursor(kMoveCursor);
    } else {
        const int dx = x - state.m_ptLast.x();
        const int dy = y - state.m_ptLast.y();
        const RECT& from = state.m_rcDrag;
        state.m_rcSelection = RECT{from.left + dx, from.top + dy, from.right + dx, from.bottom + dy};
        m_host.Repaint();
        m_host.ShowCursor(kMoveCursor);
    }
}

void CSelectTool::Release(const CToolEvent& event) {
    if (!event.Left()) return;
    if (State().m_bDragging) {
        EndDrag(event.point);
        m_host.Repaint();
    }
    State().m_bMoving = false;
}

void CSelectTool::LoseButtons() {
    CToolState& state = State();
    if (state.m_bDragging) {
        state.m_bDragging = false;
        state.m_bSelection = true;
    }
    state.m_bMoving = false;
}

const CCursorArt* CSelectTool::Cursor() const {
    // While moving, the move cursor stays.
    return State().m_bMoving ? nullptr : CTool::Cursor();
}

bool CSelectTool::StatusRect(RECT* rect) const {
    if (!State().m_bDragging && !State().m_bMoving) return false;
    *rect = NormalizeRect(State().m_rcSelection);
    return true;
}
