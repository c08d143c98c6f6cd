// The eraser: strokes as the brush makes them, with either button, writing what erasing writes: the
// background colour (document/paint_routines.h, EraseSpans).
#pragma once

#include "views/brush_tool.h"

class CEraserTool : public CBrushTool {
public:
    using CBrushTool::CBrushTool;

protected:
    void Write(const CSpanSet& pixels, bool fore) override;
};
