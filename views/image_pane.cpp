#include "views/image_pane.h"

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <cmath>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "document/orvik_doc.h"
#include "document/zoom_level.h"

namespace {

// Where the client area's top-left corner lies in device pixels of its window; the window system
// gives the area the device pixels from this rounded to the nearest.
QPointF DeviceOrigin(const QWidget* client) {
    return client->mapTo(client->window(), QPointF(0, 0)) * client->devicePixelRatioF();
}

}  // namespace

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

SurfaceRef SurfaceOf(QImage& image) {
    return {reinterpret_cast<uint32_t*>(image.bits()), image.width(), image.height(),
            image.bytesPerLine() / 4};
}

double CImagePane::DevicePixelRatio() const {
    return viewport()->devicePixelRatioF();
}

QSize CImagePane::DeviceClientSize() const {
    const QPointF origin = DeviceOrigin(viewport());
    const double dpr = DevicePixelRatio();
    return {qRound(origin.x() + viewport()->width() * dpr) - qRound(origin.x()),
            qRound(origin.y() + viewport()->height() * dpr) - qRound(origin.y())};
}

QPoint CImagePane::DevicePoint(const QPointF& p) const {
    const QPointF origin = DeviceOrigin(viewport());
    const double dpr = DevicePixelRatio();
    return {FloorPixel(p.x() * dpr + origin.x()) - qRound(origin.x()),
            FloorPixel(p.y() * dpr + origin.y()) - qRound(origin.y())};
}

int64_t CImagePane::WindowLength(int64_t device) const {
    return static_cast<int64_t>(std::ceil(static_cast<double>(device) / DevicePixelRatio() - 1e-9));
}

QSize CImagePane::PaintInDevicePixels(QPainter& painter) const {
    const QTransform device = painter.deviceTransform();
    const QPointF origin = device.map(QPointF(0, 0));
    const QPointF end = device.map(QPointF(viewport()->width(), viewport()->height()));
    const QPoint first(qRound(origin.x()), qRound(origin.y()));
    // What is drawn from now on goes to the device through a whole-pixel translation only.
    painter.setWorldTransform(QTransform::fromTranslate(first.x(), first.y()) * device.inverted(), true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    return {qRound(end.x()) - first.x(), qRound(end.y()) - first.y()};
}

void CImagePane::OnUpdate() {
    // The image's size or depth may have changed: keep the status line of the active one true.
    if (m_pDocument->HasImage() && m_pDocument == theApp->GetActiveChildDocument()) ShowImageInfo();
    viewport()->update();
}

void CImagePane::OnUpdatePixels(const RECT& area) {
    if (!m_pDocument->HasImage() || !isVisible()) return;
    const QRect device = DeviceRectOfImage(area).intersected(QRect(QPoint(0, 0), DeviceClientSize()));
    if (device.isEmpty()) return;
    // Window pixels covering those device pixels, a pixel more on each side for the rounding of
    // the client area's origin.
    const double dpr = DevicePixelRatio();
    const int left = static_cast<int>(std::floor(device.left() / dpr)) - 1;
    const int top = static_cast<int>(std::floor(device.top() / dpr)) - 1;
    const int right = static_cast<int>(std::ceil((device.right() + 1) / dpr)) + 1;
    const int bottom = static_cast<int>(std::ceil((device.bottom() + 1) / dpr)) + 1;
    viewport()->update(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

QRect CImagePane::DeviceRectOf(const QRect& window, const QSize& device) const {
    const double dpr = DevicePixelRatio();
    const int left = static_cast<int>(std::floor(window.left() * dpr)) - 1;
    const int top = static_cast<int>(std::floor(window.top() * dpr)) - 1;
    const int right = static_cast<int>(std::ceil((window.right() + 1) * dpr)) + 1;
    const int bottom = static_cast<int>(std::ceil((window.bottom() + 1) * dpr)) + 1;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(QRect(QPoint(0, 0), device));
}

void CImagePane::HatchWithin(const SurfaceRef& surface, const QRect& part, int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, part.left());
    y0 = std::max(y0, part.top());
    x1 = std::min(x1, part.right() + 1);
    y1 = std::min(y1, part.bottom() + 1);
    if (x0 < x1 && y0 < y1) FillHatch(surface, x0, y0, x1, y1);
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

void CImagePane::Present(QPainter& painter, QImage& surface, int magnify, const QSize& device,
                         const QRect& part, const QRect& picture, const QPoint& origin) const {
    QImage* shown = &surface;
    QRect drawn = part;
    if (magnify > 1) {
        shown = &theApp->m_mainFrame->PresentBuffer(device.width(), device.height());
        drawn =
            QRect(part.topLeft() * magnify, part.size() * magnify).intersected(QRect(QPoint(0, 0), device));
        const SurfaceRef from =
            SubSurface(SurfaceOf(surface), part.x(), part.y(), part.width(), part.height());
        MagnifyPixels(from, part.width(), part.height(), magnify,
                      SubSurface(SurfaceOf(*shown), drawn.x(), drawn.y(), drawn.width(), drawn.height()));
    }
    if (m_pDocument->HasAlpha()) {
        SurfaceRef pixels = SurfaceOf(*shown);
        pixels.checker = CheckerPhase{origin.x(), origin.y(), 1};
        const QRect over = QRect(picture.topLeft() * magnify, picture.size() * magnify).intersected(drawn);
        if (!over.isEmpty())
            CompositeOverChecker(pixels, over.left(), over.top(), over.right() + 1, over.bottom() + 1);
    }
    DrawOverPresented(*shown, magnify, drawn);
    painter.drawImage(drawn.topLeft(), *shown, drawn);
}

void CImagePane::ShowImageInfo() const {
    QString text = tr("Image: %1 x %2 x ").arg(m_pDocument->Width()).arg(m_pDocument->Height());
    if (m_pDocument->BitCount() == 8)
        text += QStringLiteral("256");
    else  // 24 bits, with or without an alpha channel (32)
        text += tr("16 Million");
    theApp->m_mainFrame->SetImagePaneText(text);
}
