#include "views/line_tool.h"

#include "views/overlay.h"
#include "views/tool_paint.h"

void CLineTool::Commit(bool, const QPoint& end) {
    const RECT& drag = State().m_rcDrag;
    const CToolSettings& settings = m_host.Settings();
    CSpanSet line;
    AddStroke(line, drag.left, drag.top, end.x(), end.y(), Brush(settings.brushSize, settings.brushShape));
    PaintSet(Document(), line, m_host.CurrentColour(true));
}

void CLineTool::DrawBand(COverlay& overlay, const RECT& drag) const {
    overlay.Line(drag.left, drag.top, drag.right, drag.bottom);
}
