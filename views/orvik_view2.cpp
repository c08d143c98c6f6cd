#include "views/orvik_view2.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "document/orvik_doc.h"
#include "views/surface_raster.h"

COrvikView2::COrvikView2(COrvikDoc* doc, QWidget* parent) : CImagePane(doc, parent) {}

COrvikView2::~COrvikView2() {
    if (m_pDocument->m_pView2 == this) m_pDocument->m_pView2 = nullptr;
}

void COrvikView2::OnInitialUpdate() {
    m_pDocument->m_pView2 = this;
}

void COrvikView2::paintEvent(QPaintEvent*) {
    if (!m_pDocument->HasImage()) return;
    const int cw = viewport()->width();
    const int ch = viewport()->height();
    if (cw <= 0 || ch <= 0) return;
    QImage& image = theApp->m_mainFrame->BackBuffer(cw, ch);
    const SurfaceRef surface{reinterpret_cast<uint32_t*>(image.bits()), image.width(), image.height(),
                             image.bytesPerLine() / 4};
    const int w = m_pDocument->Width();
    const int h = m_pDocument->Height();
    const int dw = std::max(std::min(cw, w - m_nScrollX), 0);
    const int dh = std::max(std::min(ch, h - m_nScrollY), 0);
    DrawImageBlock(surface, *m_pDocument->m_pHeader, m_pDocument->m_pPalette, m_pDocument->m_pBits,
                   m_nScrollX, m_nScrollY, dw, dh, 0, 0);
    // Right of and below the image: the hatch.
    if (cw > dw) FillHatch(surface, dw, 0, cw, ch);
    if (ch > dh) FillHatch(surface, 0, dh, dw, ch);
    QPainter painter(viewport());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), image, QRect(0, 0, cw, ch));
}

void COrvikView2::UpdateScrollRanges() {
    if (!m_pDocument->HasImage()) return;
    const QSize client = ClientSizeFor(m_pDocument->Width(), m_pDocument->Height());
    SetScrollRanges(std::max(m_pDocument->Width() - client.width(), 0),
                    std::max(m_pDocument->Height() - client.height(), 0));
}

void COrvikView2::UpdateStatus(int x, int y) {
    theApp->m_mainFrame->SetPaneText(0, QString::asprintf("(%d , %d)", x + m_nScrollX, y + m_nScrollY));
    ShowImageInfo();
}

void COrvikView2::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_ptAnchor = event->position().toPoint();
    m_bPanning = true;
}

void COrvikView2::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (m_pDocument->HasImage() && p.x() < m_pDocument->Width() && p.y() < m_pDocument->Height())
        UpdateStatus(p.x(), p.y());
    // The picture follows the pointer while the left button is held.
    if (m_bPanning && (event->buttons() & Qt::LeftButton)) {
        m_nScrollX = std::clamp(m_nScrollX + m_ptAnchor.x() - p.x(), 0, m_nMaxScrollX);
        m_nScrollY = std::clamp(m_nScrollY + m_ptAnchor.y() - p.y(), 0, m_nMaxScrollY);
        SetScrollPositions();
        m_ptAnchor = p;
        viewport()->update();
    }
}

void COrvikView2::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_bPanning = false;
}
