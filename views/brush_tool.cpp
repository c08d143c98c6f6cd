#include "views/brush_tool.h"

#include <cstdlib>

#include "document/line_steps.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "views/tool_paint.h"
#include "views/tool_table.h"

void CBrushTool::Write(const CSpanSet& pixels, bool fore) {
    PaintSet(Document(), pixels, m_host.CurrentColour(fore));
}

bool CBrushTool::PixelPerfect() const {
    const CToolSettings& settings = m_host.Settings();
    return (m_info.options & kPixelPerfect) && settings.pixelPerfect && settings.brushSize == 1;
}

void CBrushTool::Paint(const CSpanSet& pixels, bool fore) {
    m_changed = UnionRect(m_changed, pixels.Bounds());
    if ((g_bTranslucent & 1) && m_host.Settings().brushSize > 1) {
        const CSpanSet fresh = pixels.Minus(m_stroke);
        m_stroke.AddSet(fresh);
        Write(fresh, fore);
        return;
    }
    Write(pixels, fore);
}

void CBrushTool::ShowChanges() {
    Document()->UpdateAllViewsOver(ClipRect(m_changed, Document()->Width(), Document()->Height()));
    m_changed = RECT{0, 0, 0, 0};
}

void CBrushTool::Press(const CToolEvent& event) {
    CToolState& state = State();
    // After the image changed under it, a stroke starts where the button went down.
    if (event.Left() || !state.m_bHaveLast) state.m_ptLast = event.point;
    state.m_bHaveLast = true;
    m_stroke = CSpanSet();
    if (PixelPerfect()) {
        m_recent.clear();
        state.m_ptLast = event.point;
        PerfectPixel(event.point, event.Left());
    } else {
        const CToolSettings& settings = m_host.Settings();
        CSpanSet dab;
        AddDab(dab, event.point.x(), event.point.y(), Brush(settings.brushSize, settings.brushShape));
        Paint(dab, event.Left());
    }
    ShowChanges();
}

void CBrushTool::Move(const CToolEvent& event) {
    CToolState& state = State();
    if (!state.m_bHaveLast) state.m_ptLast = event.point;
    const QPoint from = state.m_ptLast;
    const QPoint to = event.point;
    const bool held = event.buttons & (Qt::LeftButton | Qt::RightButton);
    const bool fore = event.buttons & Qt::LeftButton;
    if (held && PixelPerfect()) {
        ForEachLinePoint(from.x(), from.y(), to.x(), to.y(), [&](int x, int y) {
            PerfectPixel({x, y}, fore);
        });
    } else if (held) {
        const CToolSettings& settings = m_host.Settings();
        CSpanSet stroke;
        AddStroke(stroke, from.x(), from.y(), to.x(), to.y(), Brush(settings.brushSize, settings.brushShape));
        Paint(stroke, fore);
    }
    state.m_ptLast = to;
    state.m_bHaveLast = true;
    // Only what changed is drawn again; a move without a button changes nothing.
    ShowChanges();
}

void CBrushTool::PerfectPixel(const QPoint& p, bool fore) {
    COrvikDoc* doc = Document();
    if (!m_recent.empty() && m_recent.back().point == p) return;
    if (p.x() < 0 || p.y() < 0 || p.x() >= doc->Width() || p.y() >= doc->Height()) return;
    m_recent.push_back({p, ReadPixel(CanvasOf(doc), p.x(), p.y())});
    CSpanSet pixel;
    pixel.Add(p.y(), p.x(), p.x());
    Paint(pixel, fore);
    // a, b, p: when b is beside both and a and p touch at a corner, b is the corner of an L.
    if (m_recent.size() >= 3) {
        const QPoint a = m_recent[m_recent.size() - 3].point;
        const Drawn& b = m_recent[m_recent.size() - 2];
        const auto beside = [](QPoint u, QPoint v) {
            return std::abs(u.x() - v.x()) + std::abs(u.y() - v.y()) == 1;
        };
        if (beside(a, b.point) && beside(b.point, p) && std::abs(a.x() - p.x()) == 1 &&
            std::abs(a.y() - p.y()) == 1) {
            const RECT corner{b.point.x(), b.point.y(), b.point.x() + 1, b.point.y() + 1};
            doc->Touch(corner);
            RestorePixel(CanvasOf(doc), b.point.x(), b.point.y(), b.before);
            m_changed = UnionRect(m_changed, corner);
            m_recent.erase(m_recent.end() - 2);
        }
    }
    if (m_recent.size() > 2) m_recent.erase(m_recent.begin());
}
