#include "views/replace_tool.h"

#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "views/tool_paint.h"

void CReplaceTool::Press(const CToolEvent& event) {
    COrvikDoc* doc = Document();
    // The colour clicked, as shown (on the floating image where it lies).
    const uint32_t from = ShownPixel(doc, State(), event.point);
    if (ReplaceColourInSelection(doc, State(), from, m_host.CurrentColour(event.Left())))
        doc->UpdateAllViews();
}
