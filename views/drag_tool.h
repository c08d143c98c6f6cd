// A tool that drags a rubber band from where a button went down to the pointer and writes its
// shape when the button comes up: the line and the rectangle. A press of either button starts the
// drag afresh; a move with a button held moves its end; the release commits.
#pragma once

#include "views/tool.h"

class CDragTool : public CTool {
public:
    using CTool::CTool;
    void Press(const CToolEvent& event) override;
    void Move(const CToolEvent& event) override;
    void Release(const CToolEvent& event) override;
    void LoseButtons() override;
    bool Forget() override;
    void DrawOverlay(COverlay& overlay) const override;

protected:
    // Writes the shape the drag ended with: `left` for the button released, `end` where it was.
    virtual void Commit(bool left, const QPoint& end) = 0;
    // The rubber band of the drag, whose start and end m_rcDrag holds.
    virtual void DrawBand(COverlay& overlay, const RECT& drag) const = 0;
};
