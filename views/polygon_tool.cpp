#include "views/polygon_tool.h"

#include <QKeyEvent>

#include "dialogs/setup_dlg.h"
#include "document/orvik_doc.h"
#include "views/overlay.h"
#include "views/tool_paint.h"

void CPolygonTool::Press(const CToolEvent& event) {
    if (m_corners.empty()) m_bLeft = event.Left();
    const PixelPoint corner{event.point.x(), event.point.y()};
    if (m_corners.empty() || !(m_corners.back() == corner)) m_corners.push_back(corner);
    m_pointer = event.point;
    m_host.Repaint();
}

void CPolygonTool::Move(const CToolEvent& event) {
    m_pointer = event.point;
    if (!m_corners.empty()) m_host.Repaint();
}

void CPolygonTool::DoubleClick(const CToolEvent&) {
    Close();
}

bool CPolygonTool::WantsKey(const QKeyEvent* event) const {
    const int key = event->key();
    return !m_corners.empty() && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape);
}

bool CPolygonTool::KeyPress(QKeyEvent* event) {
    if (!WantsKey(event)) return false;
    if (event->key() == Qt::Key_Escape) {
        m_corners.clear();
        m_host.Repaint();
    } else {
        Close();
    }
    return true;
}

bool CPolygonTool::Forget() {
    m_corners.clear();
    return false;
}

void CPolygonTool::Deactivate() {
    m_corners.clear();
}

void CPolygonTool::Close() {
    if (m_corners.empty()) return;
    COrvikDoc* doc = Document();
    const COrvikDoc::CCommandStep step(doc);
    const CToolSettings& settings = m_host.Settings();
    const int line = m_host.CurrentColour(m_bLeft);
    const int other = m_host.CurrentColour(!m_bLeft);
    CSpanSet outline;
    AddPolygonOutline(outline, m_corners, Brush(settings.brushSize, settings.brushShape));
    CSpanSet inside;
    if (g_fillStyle != kOutlined) AddPolygon(inside, m_corners);
    if (g_fillStyle == kFilledWithoutOutline) {
        // Its edge too, in the one colour.
        CSpanSet edge;
        AddPolygonOutline(edge, m_corners, Brush(1, BrushShape::Round));
        inside.AddSet(edge);
        PaintSet(doc, inside, other);
    } else {
        PaintSet(doc, outline, line);
        if (g_fillStyle == kFilled) PaintSet(doc, inside.Minus(outline), other);
    }
    m_corners.clear();
    doc->UpdateAllViews();
}

void CPolygonTool::DrawOverlay(COverlay& overlay) const {
    if (m_corners.empty()) return;
    CSpanSet sides;
    const BrushMask& thin = Brush(1, BrushShape::Round);
    for (size_t i = 1; i < m_corners.size(); ++i)
        AddStroke(sides, m_corners[i - 1].x, m_corners[i - 1].y, m_corners[i].x, m_corners[i].y, thin);
    AddStroke(sides, m_corners.back().x, m_corners.back().y, m_pointer.x(), m_pointer.y(), thin);
    overlay.InvertSet(sides);
}
