#include "views/rect_tool.h"

#include "document/pixel_routines.h"
#include "views/overlay.h"
#include "views/tool_paint.h"

void CRectTool::Commit(bool left, const QPoint&) {
    PaintRectOutline(Document(), NormalizeRect(State().m_rcDrag), m_host.CurrentColour(left));
}

void CRectTool::DrawBand(COverlay& overlay, const RECT& drag) const {
    overlay.RectOutline(NormalizeRect(drag));
}
