#include "views/text_tool.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "views/overlay.h"
#include "views/tool_paint.h"

QImage CTextTool::Render(const QString& text, QFont font, bool smooth) {
    font.setStyleStrategy(smooth ? QFont::PreferAntialias : QFont::NoAntialias);
    // Sizes in points are image pixels: the mask is drawn at 72 dots an inch.
    QImage probe(1, 1, QImage::Format_Grayscale8);
    probe.setDotsPerMeterX(2835);
    probe.setDotsPerMeterY(2835);
    const QFontMetrics metrics(font, &probe);
    const QRect bounds = metrics.boundingRect(text);
    const int width = std::max(metrics.horizontalAdvance(text), bounds.right() + 1) + 1;
    QImage mask(std::max(width, 1), std::max(metrics.height(), 1), QImage::Format_Grayscale8);
    mask.setDotsPerMeterX(2835);
    mask.setDotsPerMeterY(2835);
    mask.fill(0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::TextAntialiasing, smooth);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QPoint(0, metrics.ascent()), text);
    painter.end();
    if (!smooth) {
        // Every pixel fully written or not at all.
        for (int y = 0; y < mask.height(); ++y) {
            uchar* row = mask.scanLine(y);
            for (int x = 0; x < mask.width(); ++x)
                row[x] = row[x] >= 128 ? 255 : 0;
        }
    }
    return mask;
}

bool CTextTool::Smooth() const {
    return m_host.Settings().smooth && Document()->BitCount() != 8;
}

void CTextTool::Press(const CToolEvent& event) {
    if (m_bOpen) {
        PutDown();
        return;
    }
    m_bOpen = true;
    m_origin = event.point;
    m_text.clear();
    m_host.Repaint();
}

bool CTextTool::WantsKey(const QKeyEvent* event) const {
    if (!m_bOpen) return false;
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Backspace)
        return true;
    // Typed text, but not the keys the menus take with Ctrl or Alt.
    return !event->text().isEmpty() && event->text().at(0).isPrint() &&
           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

bool CTextTool::KeyPress(QKeyEvent* event) {
    if (!WantsKey(event)) return false;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            PutDown();
            return true;
        case Qt::Key_Escape:
            Drop();
            return true;
        case Qt::Key_Backspace:
            m_text.chop(1);
            break;
        default:
            m_text += event->text();
            break;
    }
    m_host.Repaint();
    return true;
}

bool CTextTool::Forget() {
    Drop();
    return false;
}

void CTextTool::Deactivate() {
    PutDown();
}

void CTextTool::Drop() {
    m_bOpen = false;
    m_text.clear();
    m_host.Repaint();
}

void CTextTool::PutDown() {
    if (!m_bOpen) return;
    COrvikDoc* doc = Document();
    if (!m_text.isEmpty()) {
        const COrvikDoc::CCommandStep step(doc);
        const QImage mask = Render(m_text, m_host.Settings().font, Smooth());
        const RECT area = ClipRect(
            RECT{m_origin.x(), m_origin.y(), m_origin.x() + mask.width(), m_origin.y() + mask.height()},
            doc->Width(), doc->Height());
        if (!IsEmptyRect(area)) {
            doc->Touch(area);
            doc->SetModifiedFlag();
            const PaintCanvas target = CanvasOf(doc);
            PaintCoverage(target, mask.constBits(), mask.width(), mask.height(), mask.bytesPerLine(),
                          m_origin.x(), m_origin.y(), InkOf(target, m_host.CurrentColour(true)));
        }
    }
    m_bOpen = false;
    m_text.clear();
    doc->UpdateAllViews();
}

void CTextTool::DrawOverlay(COverlay& overlay) const {
    if (!m_bOpen) return;
    const QImage mask =
        Render(m_text.isEmpty() ? QStringLiteral(" ") : m_text, m_host.Settings().font, Smooth());
    const RGBQUAD& ink = Document()->m_pPalette[m_host.CurrentColour(true)];
    overlay.Cover(mask, m_origin, PaletteColour(ink));
    // The box around it, and the caret at its end.
    const int advance = m_text.isEmpty() ? 0 : mask.width() - 1;
    overlay.Frame(RECT{m_origin.x() - 1, m_origin.y() - 1, m_origin.x() + mask.width() + 1,
                       m_origin.y() + mask.height() + 1},
                  true);
    overlay.Line(m_origin.x() + advance, m_origin.y(), m_origin.x() + advance,
                 m_origin.y() + mask.height() - 1);
}
