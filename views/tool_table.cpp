#include "views/tool_table.h"

#include <QtGlobal>

#include <algorithm>

#include "res/resource.h"
#include "views/brush_tool.h"
#include "views/fill_tool.h"
#include "views/line_tool.h"
#include "views/rect_tool.h"
#include "views/select_tool.h"
#include "views/zoom_tool.h"

namespace {

const CToolInfo kTools[] = {
    {ID_TOOL_ZOOM,
     QT_TRANSLATE_NOOP("CMainFrame", "Zoom In/Out"),
     QT_TRANSLATE_NOOP("CMainFrame", "Zoom In/Out"),
     ":/tools/zoom.xpm",
     {"zoom", 7, 6},
     "",
     &MakeTool<CZoomTool>},
    {ID_TOOL_BRUSH,
     QT_TRANSLATE_NOOP("CMainFrame", "Paint Brush"),
     QT_TRANSLATE_NOOP("CMainFrame", "Paint Brush"),
     ":/tools/brush.xpm",
     {"brush", 7, 8},
     "",
     &MakeTool<CBrushTool>},
    {ID_TOOL_SELECT,
     QT_TRANSLATE_NOOP("CMainFrame", "Select"),
     "",
     ":/tools/select.xpm",
     {"select", 7, 8},
     "",
     &MakeTool<CSelectTool>},
    {ID_TOOL_LINE,
     QT_TRANSLATE_NOOP("CMainFrame", "Draw Line"),
     QT_TRANSLATE_NOOP("CMainFrame", "Draw Line"),
     ":/tools/line.xpm",
     {"line", 7, 8},
     "",
     &MakeTool<CLineTool>},
    {ID_TOOL_RECT,
     QT_TRANSLATE_NOOP("CMainFrame", "Draw Rectangle."),
     QT_TRANSLATE_NOOP("CMainFrame", "Draw Rectangle."),
     ":/tools/rect.xpm",
     {"rect", 7, 8},
     "",
     &MakeTool<CRectTool>},
    {ID_TOOL_FILL,
     QT_TRANSLATE_NOOP("CMainFrame", "Fill an area with current color"),
     QT_TRANSLATE_NOOP("CMainFrame", "Fill an area with current color"),
     ":/tools/fill.xpm",
     {"fill", 2, 12},
     "",
     &MakeTool<CFillTool>},
};

}  // namespace

std::span<const CToolInfo> ToolTable() {
    return kTools;
}

const CToolInfo* FindTool(int id) {
    const auto found =
        std::find_if(std::begin(kTools), std::end(kTools), [id](const CToolInfo& t) { return t.id == id; });
    return found == std::end(kTools) ? nullptr : found;
}
