#include "views/orvik_view2.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <climits>

#include <cmath>

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

DeviceScale COrvikView2::Scale() const {
    return DeviceScaleFor(kActualPixels, DevicePixelRatio());
}

QPoint COrvikView2::ClientPixel(const QPointF& p) const {
    const int m = Scale().magnify;
    const QPoint device = DevicePoint(p);
    return {FloorDiv(device.x(), m), FloorDiv(device.y(), m)};
}

QRect COrvikView2::DeviceRectOfImage(const RECT& area) const {
    const int64_t m = Scale().magnify;
    const auto clamp = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -1, INT_MAX / 2)); };
    return QRect(QPoint(clamp((area.left - m_nScrollX) * m), clamp((area.top - m_nScrollY) * m)),
                 QPoint(clamp((area.right - m_nScrollX) * m - 1), clamp((area.bottom - m_nScrollY) * m - 1)));
}

void COrvikView2::paintEvent(QPaintEvent* event) {
    if (!m_pDocument->HasImage()) return;
    QPainter painter(viewport());
    const QSize device = PaintInDevicePixels(painter);
    if (device.isEmpty()) return;
    const QRect asked = DeviceRectOf(event->rect(), device);
    if (asked.isEmpty()) return;
    // At image scale first, then each pixel onto the same whole number of device pixels, as the
    // editing view shows 1:1; only the part asked for.
    const int m = Scale().magnify;
    const int cw = (device.width() + m - 1) / m;
    const int ch = (device.height() + m - 1) / m;
    const QRect part(QPoint(asked.left() / m, asked.top() / m),
                     QPoint(asked.right() / m, asked.bottom() / m));
    CMainFrame* main = theApp->m_mainFrame;
    QImage& image = main->BackBuffer(cw, ch);
    const SurfaceRef surface = SurfaceOf(image);
    const int w = m_pDocument->Width();
    const int h = m_pDocument->Height();
    const int dw = std::max(std::min(cw, w - m_nScrollX), 0);
    const int dh = std::max(std::min(ch, h - m_nScrollY), 0);
    const SurfaceRef within = SubSurface(surface, part.x(), part.y(), part.width(), part.height());
    DrawImageBlock(within, *m_pDocument->m_pHeader, m_pDocument->m_pPalette, m_pDocument->m_pBits,
                   m_nScrollX + part.x(), m_nScrollY + part.y(), std::min(part.width(), dw - part.x()),
                   std::min(part.height(), dh - part.y()), 0, 0, m_pDocument->m_pEntryAlpha);
    // Right of and below the image: the hatch.
    if (cw > dw) HatchWithin(surface, part, dw, 0, cw, ch);
    if (ch > dh) HatchWithin(surface, part, 0, dh, dw, ch);
    Present(painter, image, m, device, part, QRect(0, 0, dw, dh), QPoint(m_nScrollX * m, m_nScrollY * m));
}

void COrvikView2::UpdateScrollRanges() {
    if (!m_pDocument->HasImage()) return;
    const DeviceScale scale = Scale();
    const int64_t width = DeviceLength(m_pDocument->Width(), scale);
    const int64_t height = DeviceLength(m_pDocument->Height(), scale);
    const QSize client = ClientSizeFor(WindowLength(width), WindowLength(height));
    // In image pixels, rounded up so the last one can be reached.
    const double dpr = DevicePixelRatio();
    const int m = scale.magnify;
    const auto range = [m](int64_t d) { return d > 0 ? static_cast<int>((d + m - 1) / m) : 0; };
    SetScrollRanges(range(width - static_cast<int64_t>(std::ceil(client.width() * dpr - 1e-9))),
                    range(height - static_cast<int64_t>(std::ceil(client.height() * dpr - 1e-9))), client);
}

void COrvikView2::UpdateStatus(int x, int y) {
    theApp->m_mainFrame->SetPaneText(0, QString::asprintf("(%d , %d)", x + m_nScrollX, y + m_nScrollY));
    ShowImageInfo();
}

void COrvikView2::mousePressEvent(QMouseEvent* event) {
    if (m_bPanning || (event->button() != Qt::LeftButton && event->button() != Qt::MiddleButton)) return;
    m_ptAnchor = ClientPixel(event->position());
    m_bPanning = true;
    m_panButton = event->button();
}

void COrvikView2::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = ClientPixel(event->position());
    if (m_pDocument->HasImage() && p.x() < m_pDocument->Width() && p.y() < m_pDocument->Height())
        UpdateStatus(p.x(), p.y());
    // The picture follows the pointer while the button is held.
    if (m_bPanning && (event->buttons() & m_panButton)) {
        m_nScrollX = std::clamp(m_nScrollX + m_ptAnchor.x() - p.x(), 0, m_nMaxScrollX);
        m_nScrollY = std::clamp(m_nScrollY + m_ptAnchor.y() - p.y(), 0, m_nMaxScrollY);
        SetScrollPositions();
        m_ptAnchor = p;
        viewport()->update();
    }
}

void COrvikView2::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == m_panButton) m_bPanning = false;
}
