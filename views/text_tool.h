// The text tool: a click places a text box there; what is typed shows in it in the font of the
// tool-options bar, and Enter (or a click anywhere, or choosing another tool) puts it down in the
// foreground colour as one step; Escape drops it. The glyphs are antialiased on a 24-bit image
// while smoothing is on; otherwise (and always on an 8-bit image) every pixel written is exactly
// the foreground colour.
#pragma once

#include <QImage>
#include <QString>

#include "views/tool.h"

class CTextTool : public CTool {
public:
    using CTool::CTool;
    void Press(const CToolEvent& event) override;
    bool KeyPress(QKeyEvent* event) override;
    bool WantsKey(const QKeyEvent* event) const override;
    bool Forget() override;
    void Deactivate() override;
    void DrawOverlay(COverlay& overlay) const override;

    // The coverage of `text` in `font` (one byte a pixel, 255 full), with or without antialiasing;
    // the box's top-left is the mask's.
    static QImage Render(const QString& text, QFont font, bool smooth);

private:
    bool Smooth() const;
    void PutDown();
    void Drop();

    bool m_bOpen = false;
    QPoint m_origin;
    QString m_text;
};
