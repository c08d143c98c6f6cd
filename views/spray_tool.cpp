#include "views/spray_tool.h"

#include <algorithm>

#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "views/tool_paint.h"

namespace {

constexpr int kUpdatesPerSecond = 60;

}  // namespace

CSprayTool::CSprayTool(CToolHost& host, const CToolInfo& info) : CTool(host, info) {
    m_timer.setInterval(1000 / kUpdatesPerSecond);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.callOnTimeout([this] { Spray(); });
}

int CSprayTool::Rate(int area) {
    return std::max(30, 2 * area);
}

void CSprayTool::Press(const CToolEvent& event) {
    m_where = event.point;
    m_bFore = event.Left();
    m_nDone = 0;
    m_clock.start();
    m_timer.start();
    Spray();
}

void CSprayTool::Move(const CToolEvent& event) {
    if (m_timer.isActive()) m_where = event.point;
}

void CSprayTool::Release(const CToolEvent&) {
    Spray();
    Stop();
}

void CSprayTool::LoseButtons() {
    Stop();
}

void CSprayTool::Deactivate() {
    Stop();
}

void CSprayTool::Stop() {
    m_timer.stop();
}

void CSprayTool::Spray() {
    const CToolSettings& settings = m_host.Settings();
    const BrushMask& brush = Brush(settings.brushSize, settings.brushShape);
    int area = 0;
    for (const CSpanSet::Span& row : brush.rows)
        area += row.x1 - row.x0 + 1;
    // As many as the time since the press asks for, however late the timer is.
    const int64_t due = (m_clock.elapsed() + 1) * Rate(area) / 1000 - m_nDone;
    if (due <= 0) return;
    CSpanSet dots;
    AddSprayDots(dots, m_where.x(), m_where.y(), brush, static_cast<int>(std::min<int64_t>(due, 100000)),
                 &m_seed);
    m_nDone += due;
    PaintSet(Document(), dots, m_host.CurrentColour(m_bFore));
    Document()->UpdateAllViewsOver(ClipRect(dots.Bounds(), Document()->Width(), Document()->Height()));
}
