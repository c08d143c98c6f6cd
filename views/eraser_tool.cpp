#include "views/eraser_tool.h"

#include "views/tool_paint.h"

void CEraserTool::Write(const CSpanSet& pixels, bool) {
    EraseSet(Document(), pixels, m_host.CurrentColour(false));
}
