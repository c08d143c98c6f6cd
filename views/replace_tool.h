// Replace colour: a click paints every pixel of the clicked colour, in the selection if there is
// one (the floating image, when the selection has been lifted or pasted) and in the whole image
// otherwise, with the foreground colour (left button) or the background colour (right button).
#pragma once

#include "views/tool.h"

class CReplaceTool : public CTool {
public:
    using CTool::CTool;
    void Press(const CToolEvent& event) override;
};
