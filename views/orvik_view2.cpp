#include "views/orvik_view2.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "document/orvik_doc.h"
#include "views/scroll_client.h"
#include "views/surface_raster.h"

COrvikView2::COrvikView2(COrvikDoc* doc, QWidget* parent) : QAbstractScrollArea(parent), m_pDocument(doc) {
    setFrameShape(QFrame::NoFrame);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setSingleStep(1);
        bar->setPageStep(10);
        bar->setRange(0, 0);
    }
}

COrvikView2::~COrvikView2() {
    if (m_pDocument->m_pView2 == this) m_pDocument->m_pView2 = nullptr;
}

void COrvikView2::OnInitialUpdate() { m_pDocument->m_pView2 = this; }

void COrvikView2::OnUpdate() { viewport()->update(); }

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
    DrawImageBlock(surface, *m_pDocument->m_pHeader, m_pDocument->m_pPalette, m_pDocument->m_pBits, m_nScrollX,
                   m_nScrollY, dw, dh, 0, 0);
    // Right of and below the image: the hatch.
    if (cw > dw) FillHatch(surface, dw, 0, cw, ch);
    if (ch > dh) FillHatch(surface, 0, dh, dw, ch);
    QPainter painter(viewport());
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), image, QRect(0, 0, cw, ch));
}

void COrvikView2::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

void COrvikView2::SetScrollPositions() {
    m_bSettingScroll = true;
    horizontalScrollBar()->setValue(m_nScrollX);
    verticalScrollBar()->setValue(m_nScrollY);
    m_bSettingScroll = false;
}

void COrvikView2::scrollContentsBy(int, int) {
    if (m_bSettingScroll) return;
    m_nScrollX = horizontalScrollBar()->value();
    m_nScrollY = verticalScrollBar()->value();
    viewport()->update();
}

void COrvikView2::UpdateScrollRanges() {
    if (!m_pDocument->HasImage()) return;
    const QSize client = ClientSizeFor(this, m_pDocument->Width(), m_pDocument->Height());
    m_nMaxScrollX = std::max(m_pDocument->Width() - client.width(), 0);
    m_nMaxScrollY = std::max(m_pDocument->Height() - client.height(), 0);
    m_nScrollX = std::min(m_nScrollX, m_nMaxScrollX);
    m_nScrollY = std::min(m_nScrollY, m_nMaxScrollY);
    m_bSettingScroll = true;
    horizontalScrollBar()->setRange(0, m_nMaxScrollX);
    verticalScrollBar()->setRange(0, m_nMaxScrollY);
    m_bSettingScroll = false;
    SetScrollPositions();
}

void COrvikView2::UpdateStatus(int x, int y) {
    CMainFrame* main = theApp->m_mainFrame;
    main->SetPaneText(0, QString::asprintf("(%d , %d)", x + m_nScrollX, y + m_nScrollY));
    QString text = QString::asprintf("Image: %d x %d x ", m_pDocument->Width(), m_pDocument->Height());
    if (m_pDocument->BitCount() == 8)
        text += QStringLiteral("256");
    else if (m_pDocument->BitCount() == 24)
        text += QStringLiteral("16 Million");
    main->SetImagePaneText(text);
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
