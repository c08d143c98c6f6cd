// The line tool: a line drawn with the brush from the press to where the button comes up, in the
// foreground colour with either button.
#pragma once

#include "views/drag_tool.h"

class CLineTool : public CDragTool {
public:
    using CDragTool::CDragTool;

protected:
    void Commit(bool left, const QPoint& end) override;
    void DrawBand(COverlay& overlay, const RECT& drag) const override;
};
