// The paint brush: a press paints a dab, each move a stroke from the last point the pointer passed,
// with the brush of the tool-options bar, in the foreground colour while the left button is held
// and the background colour while only the right one is. The last point follows the pointer also
// with no button held, so a stroke started with the right button goes on from where the pointer was
// before the press. While painting is translucent a brush larger than one pixel lays each pixel
// once a stroke, however often the stroke passes over it (the one-pixel brush blends each joint of
// its segments twice, as it always has). With pixel-perfect strokes (one-pixel brush) the corner
// pixel of every L-shaped turn the stroke makes is taken back as the stroke goes on.
#pragma once

#include <vector>

#include "views/tool.h"

class CBrushTool : public CTool {
public:
    using CTool::CTool;
    void Press(const CToolEvent& event) override;
    void Move(const CToolEvent& event) override;

protected:
    // Writes what the brush covered; `fore` for the foreground colour.
    virtual void Write(const CSpanSet& pixels, bool fore);

private:
    bool PixelPerfect() const;
    // Paints what the brush covers of `pixels` this stroke has not painted yet, where that matters.
    void Paint(const CSpanSet& pixels, bool fore);
    // One pixel of a pixel-perfect stroke.
    void PerfectPixel(const QPoint& p, bool fore);
    // The pixels changed since the last repaint, repainted.
    void ShowChanges();

    struct Drawn {
        QPoint point;
        uint32_t before;  // what the pixel held before the stroke drew it
    };
    std::vector<Drawn> m_recent;  // the stroke's last pixels, while pixel-perfect
    CSpanSet m_stroke;            // what a translucent stroke of a larger brush has painted
    RECT m_changed{0, 0, 0, 0};   // what this event changed
};
