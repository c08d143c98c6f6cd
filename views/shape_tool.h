// The rectangle and the ellipse: dragged from corner to corner (with Shift a square or a circle),
// drawn inside that box when the button comes up, in the fill style of the tool-options bar: the
// outline as thick as the brush in the colour of the button dragged with, and inside it (or, without
// the outline, all of it) the other colour.
#pragma once

#include "views/drag_tool.h"

class CShapeTool : public CDragTool {
public:
    using CDragTool::CDragTool;
    void Move(const CToolEvent& event) override;

protected:
    void Commit(bool left, const QPoint& end) override;
    // The shape in the normalised box (corners included).
    virtual void AddShape(CSpanSet* outline, CSpanSet* inside, const RECT& box, int thickness) const = 0;
    // A box one row or one column high writes nothing.
    virtual bool DrawsThinBoxes() const { return true; }
};

class CRectTool : public CShapeTool {
public:
    using CShapeTool::CShapeTool;

protected:
    void AddShape(CSpanSet* outline, CSpanSet* inside, const RECT& box, int thickness) const override;
    bool DrawsThinBoxes() const override { return false; }
    void DrawBand(COverlay& overlay, const RECT& drag) const override;
};

class CEllipseTool : public CShapeTool {
public:
    using CShapeTool::CShapeTool;

protected:
    void AddShape(CSpanSet* outline, CSpanSet* inside, const RECT& box, int thickness) const override;
    void DrawBand(COverlay& overlay, const RECT& drag) const override;
};
