#include "views/tool_table.h"

#include <QtGlobal>

#include <algorithm>

#include "res/resource.h"
#include "views/brush_tool.h"
#include "views/eraser_tool.h"
#include "views/fill_tool.h"
#include "views/line_tool.h"
#include "views/picker_tool.h"
#include "views/polygon_tool.h"
#include "views/replace_tool.h"
#include "views/select_tool.h"
#include "views/shape_tool.h"
#include "views/spray_tool.h"
#include "views/text_tool.h"
#include "views/zoom_tool.h"

namespace {

constexpr unsigned kPainting = kPicksWithCtrl;
constexpr unsigned kShape = kBrushOptions | kFillOptions | kPicksWithCtrl;

// The described tools first, in their order on the tool palette; then the others.
const CToolInfo kTools[] = {
    {ID_TOOL_ZOOM,
     QT_TRANSLATE_NOOP("CMainFrame", "Zoom In/Out"),
     QT_TRANSLATE_NOOP("CMainFrame", "Zoom In/Out"),
     ":/tools/zoom.xpm",
     {"zoom", 7, 6},
     "Z",
     kNoOptions,
     &MakeTool<CZoomTool>},
    {ID_TOOL_BRUSH,
     QT_TRANSLATE_NOOP("CMainFrame", "Paint Brush"),
     QT_TRANSLATE_NOOP("CMainFrame", "Paint Brush"),
     ":/tools/brush.xpm",
     {"brush", 7, 8},
     "B",
     kBrushOptions | kPixelPerfect | kPainting,
     &MakeTool<CBrushTool>},
    {ID_TOOL_SELECT,
     QT_TRANSLATE_NOOP("CMainFrame", "Select"),
     "",
     ":/tools/select.xpm",
     {"select", 7, 8},
     "S",
     kNoOptions,
     &MakeTool<CSelectTool>},
    {ID_TOOL_LINE,
     QT_TRANSLATE_NOOP("CMainFrame", "Draw Line"),
     QT_TRANSLATE_NOOP("CMainFrame", "Draw Line"),
     ":/tools/line.xpm",
     {"line", 7, 8},
     "L",
     kBrushOptions | kPainting,
     &MakeTool<CLineTool>},
    {ID_TOOL_RECT,
     QT_TRANSLATE_NOOP("CMainFrame", "Draw Rectangle."),
     QT_TRANSLATE_NOOP("CMainFrame", "Draw Rectangle."),
     ":/tools/rect.xpm",
     {"rect", 7, 8},
     "R",
     kShape,
     &MakeTool<CRectTool>},
    {ID_TOOL_FILL,
     QT_TRANSLATE_NOOP("CMainFrame", "Fill an area with current color"),
     QT_TRANSLATE_NOOP("CMainFrame", "Fill an area with current color"),
     ":/tools/fill.xpm",
     {"fill", 2, 12},
     "F",
     kPainting,
     &MakeTool<CFillTool>},
    {ID_TOOL_ERASER,
     QT_TRANSLATE_NOOP("CMainFrame", "Eraser"),
     QT_TRANSLATE_NOOP("CMainFrame", "Erase with the background color\nEraser"),
     ":/tools/eraser.xpm",
     {"eraser", 7, 8},
     "E",
     kBrushOptions | kPainting,
     &MakeTool<CEraserTool>},
    {ID_TOOL_PICKER,
     QT_TRANSLATE_NOOP("CMainFrame", "Color Picker"),
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Pick the foreground or background color from the image (also Ctrl + click)"
                       "\nColor Picker"),
     ":/tools/picker.xpm",
     {"picker", 1, 14},
     "K",
     kNoOptions,
     &MakeTool<CPickerTool>},
    {ID_TOOL_ELLIPSE,
     QT_TRANSLATE_NOOP("CMainFrame", "Draw Ellipse"),
     QT_TRANSLATE_NOOP("CMainFrame", "Draw an ellipse, with Shift a circle\nDraw Ellipse"),
     ":/tools/ellipse.xpm",
     {"ellipse", 7, 8},
     "O",
     kShape,
     &MakeTool<CEllipseTool>},
    {ID_TOOL_POLYGON,
     QT_TRANSLATE_NOOP("CMainFrame", "Draw Polygon"),
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Click the corners; a double click or Enter closes the polygon\nDraw Polygon"),
     ":/tools/polygon.xpm",
     {"polygon", 7, 8},
     "P",
     kShape,
     &MakeTool<CPolygonTool>},
    {ID_TOOL_SPRAY,
     QT_TRANSLATE_NOOP("CMainFrame", "Spray"),
     QT_TRANSLATE_NOOP("CMainFrame", "Spray dots while the button is held\nSpray"),
     ":/tools/spray.xpm",
     {"spray", 7, 8},
     "A",
     kBrushOptions | kPainting,
     &MakeTool<CSprayTool>},
    {ID_TOOL_TEXT,
     QT_TRANSLATE_NOOP("CMainFrame", "Text"),
     QT_TRANSLATE_NOOP("CMainFrame", "Click and type; Enter puts the text down\nText"),
     ":/tools/text.xpm",
     {"text", 7, 8},
     "T",
     kTextOptions | kPainting,
     &MakeTool<CTextTool>},
    {ID_TOOL_REPLACE,
     QT_TRANSLATE_NOOP("CMainFrame", "Replace Color"),
     QT_TRANSLATE_NOOP("CMainFrame",
                       "Paint every pixel of the clicked color with the current color\nReplace Color"),
     ":/tools/replace.xpm",
     {"replace", 7, 8},
     "",
     kPainting,
     &MakeTool<CReplaceTool>},
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
