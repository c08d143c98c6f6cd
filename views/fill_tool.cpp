#include "views/fill_tool.h"

#include "document/orvik_doc.h"
#include "views/tool_paint.h"

void CFillTool::Press(const CToolEvent& event) {
    FillAt(Document(), event.point.x(), event.point.y(), m_host.CurrentColour(event.Left()));
    Document()->UpdateAllViews();
}
