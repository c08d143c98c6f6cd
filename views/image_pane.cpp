#include "views/image_pane.h"

#include <QScrollBar>
#include <QStyle>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "document/orvik_doc.h"

CImagePane::CImagePane(COrvikDoc* doc, QWidget* parent) : QAbstractScrollArea(parent), m_pDocument(doc) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Every repaint covers the whole client area, so nothing is erased first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    viewport()->setMouseTracking(true);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setSingleStep(1);
        bar->setPageStep(10);
        bar->setRange(0, 0);
    }
}

void CImagePane::OnUpdate() {
    // The image's size or depth may have changed: keep the status line of the active one true.
    if (m_pDocument->HasImage() && m_pDocument == theApp->GetActiveChildDocument()) ShowImageInfo();
    viewport()->update();
}

void CImagePane::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

void CImagePane::scrollContentsBy(int, int) {
    if (m_bSettingScroll) return;
    const int x = horizontalScrollBar()->value();
    const int y = verticalScrollBar()->value();
    if (x == m_nScrollX && y == m_nScrollY) return;
    m_nScrollX = x;
    m_nScrollY = y;
    viewport()->update();
}

QSize CImagePane::ClientSizeFor(int64_t contentWidth, int64_t contentHeight) const {
    const QMargins frame = contentsMargins();
    const int width = this->width() - frame.left() - frame.right();
    const int height = this->height() - frame.top() - frame.bottom();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    bool horizontal = false;
    bool vertical = false;
    // A bar takes room from the other direction, so decide twice.
    for (int pass = 0; pass < 2; ++pass) {
        horizontal = contentWidth > width - (vertical ? bar : 0);
        vertical = contentHeight > height - (horizontal ? bar : 0);
    }
    return {std::max(width - (vertical ? bar : 0), 0), std::max(height - (horizontal ? bar : 0), 0)};
}

void CImagePane::SetScrollRanges(int maxX, int maxY) {
    m_nMaxScrollX = maxX;
    m_nMaxScrollY = maxY;
    m_nScrollX = std::min(m_nScrollX, m_nMaxScrollX);
    m_nScrollY = std::min(m_nScrollY, m_nMaxScrollY);
    m_bSettingScroll = true;
    horizontalScrollBar()->setRange(0, m_nMaxScrollX);
    verticalScrollBar()->setRange(0, m_nMaxScrollY);
    m_bSettingScroll = false;
    SetScrollPositions();
}

void CImagePane::SetScrollPositions() {
    m_bSettingScroll = true;
    horizontalScrollBar()->setValue(m_nScrollX);
    verticalScrollBar()->setValue(m_nScrollY);
    m_bSettingScroll = false;
}

void CImagePane::ShowImageInfo() const {
    QString text = tr("Image: %1 x %2 x ").arg(m_pDocument->Width()).arg(m_pDocument->Height());
    if (m_pDocument->BitCount() == 8)
        text += QStringLiteral("256");
    else  // 24 bits, with or without an alpha channel (32)
        text += tr("16 Million");
    theApp->m_mainFrame->SetImagePaneText(text);
}
