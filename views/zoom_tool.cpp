#include "views/zoom_tool.h"

#include "document/orvik_doc.h"

void CZoomTool::Press(const CToolEvent& event) {
    if (event.Left())
        m_host.ZoomIn(event.point.x(), event.point.y());
    else
        m_host.ZoomOut(event.point.x(), event.point.y());
    // Always, also when the level could not change.
    Document()->UpdateAllViews();
}
