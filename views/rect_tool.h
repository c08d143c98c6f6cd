// The rectangle tool: the outline of the rectangle between the press and the last point a move
// reached, in the foreground colour (left button) or the background colour (right button).
#pragma once

#include "views/drag_tool.h"

class CRectTool : public CDragTool {
public:
    using CDragTool::CDragTool;

protected:
    void Commit(bool left, const QPoint& end) override;
    void DrawBand(COverlay& overlay, const RECT& drag) const override;
};
