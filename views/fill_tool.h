// The fill tool: a click fills the area of equal pixels around it, with the foreground colour
// (left button) or the background colour (right button).
#pragma once

#include "views/tool.h"

class CFillTool : public CTool {
public:
    using CTool::CTool;
    void Press(const CToolEvent& event) override;
};
