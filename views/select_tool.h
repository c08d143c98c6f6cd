// The selection tool: a drag outside a selection establishes one; a drag from inside it lifts its
// pixels into the floating image (leaving the background colour) and moves them; a press outside
// drops the floating image into the image and clears the selection. The selection itself belongs
// to the view (CToolState), so it stays on screen while other tools are used.
#pragma once

#include "views/tool.h"

class CSelectTool : public CTool {
public:
    using CTool::CTool;
    void Press(const CToolEvent& event) override;
    void Move(const CToolEvent& event) override;
    void Release(const CToolEvent& event) override;
    void LoseButtons() override;
    const CCursorArt* Cursor() const override;
    bool StatusRect(RECT* rect) const override;

    // Over the selection while it can be grabbed.
    static constexpr CCursorArt kMoveCursor{"move", 8, 8};

private:
    void EndDrag(const QPoint& p);
};
