// The spray: while a button is held, dots at random within the brush around the pointer, at a
// steady rate per second whether the pointer moves or not, in the foreground colour (left button)
// or the background colour (right button). One press is one step.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include "views/tool.h"

class CSprayTool : public CTool {
public:
    CSprayTool(CToolHost& host, const CToolInfo& info);
    void Press(const CToolEvent& event) override;
    void Move(const CToolEvent& event) override;
    void Release(const CToolEvent& event) override;
    void LoseButtons() override;
    void Deactivate() override;

    // Dots a second for a brush of `area` pixels.
    static int Rate(int area);

private:
    // The dots due since the press, painted now.
    void Spray();
    void Stop();

    QTimer m_timer;
    QElapsedTimer m_clock;
    QPoint m_where;
    bool m_bFore = true;
    int64_t m_nDone = 0;  // dots painted since the press
    uint32_t m_seed = 1;
};
