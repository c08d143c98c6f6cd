// The colour picker (also Ctrl + click with a painting tool): the left button makes the colour under
// the pointer the foreground colour, the right one the background colour. On an 8-bit image that is
// the pixel's index; on a 24-bit one the first palette entry of exactly that colour, or, when no
// entry has it, the current entry takes the colour (as the palette bar's editing does); a fully
// transparent pixel of a 32-bit image picks nothing. Over a floating image it picks what is shown
// there.
#pragma once

#include "views/tool.h"

class CPickerTool : public CTool {
public:
    using CTool::CTool;
    void Press(const CToolEvent& event) override;
};
