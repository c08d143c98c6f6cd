// The paint brush: a press paints a dab, each move a line from the last point the pointer passed,
// in the foreground colour while the left button is held and the background colour while only the
// right one is. The last point follows the pointer also with no button held, so a stroke started
// with the right button goes on from where the pointer was before the press.
#pragma once

#include "views/tool.h"

class CBrushTool : public CTool {
public:
    using CTool::CTool;
    void Press(const CToolEvent& event) override;
    void Move(const CToolEvent& event) override;
};
