// The polygon: each click adds a corner (the first one starts it, in the colour of its button), a
// double click or Enter closes it and draws it in the fill style of the tool-options bar, filled by
// the even-odd rule; Escape drops it. While it is open its sides and the side to the pointer show.
#pragma once

#include <vector>

#include "views/tool.h"

class CPolygonTool : public CTool {
public:
    using CTool::CTool;
    void Press(const CToolEvent& event) override;
    void Move(const CToolEvent& event) override;
    void DoubleClick(const CToolEvent& event) override;
    bool KeyPress(QKeyEvent* event) override;
    bool WantsKey(const QKeyEvent* event) const override;
    bool Forget() override;
    void Deactivate() override;
    void DrawOverlay(COverlay& overlay) const override;

private:
    // Draws the polygon and ends it as one step.
    void Close();

    std::vector<PixelPoint> m_corners;
    QPoint m_pointer;
    bool m_bLeft = true;
};
