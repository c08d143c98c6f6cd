#include "views/image_pane.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <cmath>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "document/orvik_doc.h"
#include "document/zoom_level.h"
#include "views/orvik_view.h"

namespace {

// How far one line of the desktop's wheel setting scrolls.
constexpr int kWheelLinePixels = 20;

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
        bar->setRange(0, 0);
        bar->installEventFilter(this);
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

void CImagePane::SetScrollRanges(int maxX, int maxY, QSize client) {
    // A step is one image pixel, or one block when reduced; a page the image pixels a screenful
    // shows, less a tenth so that some of what was seen stays in sight, in whole steps.
    const DeviceScale scale = Scale();
    const int n = scale.shrink;
    const double dpr = DevicePixelRatio();
    const auto page = [&](int window) {
        const int64_t device = qRound(window * dpr);
        const int64_t shown = n > 1 ? device * n : device / scale.magnify;
        return static_cast<int>(std::clamp<int64_t>((shown - shown / 10) / n * n, n, INT_MAX / 2));
    };
    horizontalScrollBar()->setSingleStep(n);
    verticalScrollBar()->setSingleStep(n);
    horizontalScrollBar()->setPageStep(page(client.width()));
    verticalScrollBar()->setPageStep(page(client.height()));
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

void CImagePane::ScrollBy(int dx, int dy) {
    const int x = std::clamp(m_nScrollX + dx, 0, m_nMaxScrollX);
    const int y = std::clamp(m_nScrollY + dy, 0, m_nMaxScrollY);
    if (x == m_nScrollX && y == m_nScrollY) return;
    m_nScrollX = x;
    m_nScrollY = y;
    SetScrollPositions();
    viewport()->update();
}

void CImagePane::wheelEvent(QWheelEvent* event) {
    const QPointF at = event->position();
    Wheel(event, false, m_pDocument->m_pView == this ? &at : nullptr);
}

bool CImagePane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel &&
        (watched == horizontalScrollBar() || watched == verticalScrollBar())) {
        Wheel(static_cast<QWheelEvent*>(event), watched == horizontalScrollBar(), nullptr);
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void CImagePane::Wheel(QWheelEvent* event, bool across, const QPointF* at) {
    event->accept();
    if (!m_pDocument->HasImage()) return;
    const QPoint angle = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        if (COrvikView* view = m_pDocument->m_pView)
            view->WheelZoom(angle.y() != 0 ? angle.y() : angle.x(), at);
        return;
    }
    // In 1/120 window pixels: the desktop's lines a notch, or the distance a touchpad reports.
    QPoint travel = event->pixelDelta().isNull() ? angle * QApplication::wheelScrollLines() * kWheelLinePixels
                                                 : event->pixelDelta() * kWheelNotch;
    if ((across || (event->modifiers() & Qt::ShiftModifier)) && travel.x() == 0)
        travel = QPoint(travel.y(), 0);
    m_wheelTravel += travel;
    // A scroll step is one image pixel (`magnify` device pixels), or when reduced one block (one
    // device pixel).
    const DeviceScale scale = Scale();
    const double unit = kWheelNotch * scale.magnify / DevicePixelRatio();
    const QPoint steps(static_cast<int>(m_wheelTravel.x() / unit),
                       static_cast<int>(m_wheelTravel.y() / unit));
    m_wheelTravel -= QPointF(steps) * unit;
    ScrollBy(-steps.x() * scale.shrink, -steps.y() * scale.shrink);
}

void CImagePane::keyPressEvent(QKeyEvent* event) {
    // Home and End go to the picture's top-left and bottom-right edges; the arrows and the page
    // keys step as the bars do.
    if (event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_Home || event->key() == Qt::Key_End)) {
        const bool end = event->key() == Qt::Key_End;
        ScrollBy((end ? m_nMaxScrollX : 0) - m_nScrollX, (end ? m_nMaxScrollY : 0) - m_nScrollY);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
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
