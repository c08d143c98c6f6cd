// The zoom tool: the left button zooms in one level, the right one out, around the pixel clicked.
#pragma once

#include "views/tool.h"

class CZoomTool : public CTool {
public:
    using CTool::CTool;
    void Press(const CToolEvent& event) override;
};
