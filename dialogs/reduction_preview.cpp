#include "dialogs/reduction_preview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

#include "views/surface_raster.h"

namespace {

constexpr int kZooms[] = {0, 1, 2, 4, 8};

int CeilDiv(int a, int b) {
    return (a + b - 1) / b;
}

}  // namespace

void CPreviewPlace::SetZoom(int zoom) {
    if (zoom == m_zoom) return;
    m_zoom = zoom;
    emit Changed();
}

void CPreviewPlace::SetCentre(QPoint centre) {
    centre = QPoint(std::clamp(centre.x(), 0, m_width - 1), std::clamp(centre.y(), 0, m_height - 1));
    if (centre == m_centre) return;
    m_centre = centre;
    emit Changed();
}

QRect CPreviewPlace::Visible(QSize size) const {
    if (m_zoom == 0 || size.isEmpty()) return QRect(0, 0, m_width, m_height);
    const int width = std::min(m_width, CeilDiv(size.width(), m_zoom));
    const int height = std::min(m_height, CeilDiv(size.height(), m_zoom));
    const int left = std::clamp(m_centre.x() - width / 2, 0, m_width - width);
    const int top = std::clamp(m_centre.y() - height / 2, 0, m_height - height);
    return QRect(left, top, width, height);
}

CPreviewView::CPreviewView(CPreviewPlace* place, const ReductionImage& original, QWidget* parent)
    : QFrame(parent), m_place(place), m_original(original) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setCursor(Qt::OpenHandCursor);
    connect(place, &CPreviewPlace::Changed, this, qOverload<>(&QWidget::update));
}

void CPreviewView::Show(const CReducedImage* reduced, const QString& text) {
    m_reduced = reduced;
    m_text = text;
    m_dirty = true;
    update();
}

void CPreviewView::SetCaption(const QString& caption) {
    m_caption = caption;
    update();
}

void CPreviewView::SetChosen(bool chosen) {
    m_chosen = chosen;
    setLineWidth(chosen ? 3 : 1);
    update();
}

QRgb CPreviewView::Pixel(int x, int y) const {
    const BITMAPINFOHEADER* header = m_reduced ? m_reduced->Header() : m_original.header;
    const uint8_t* row = (m_reduced ? m_reduced->Bits() : m_original.bits) +
                         int64_t{header->biHeight - 1 - y} * header->biXPelsPerMeter;
    const int bytes = header->biBitCount / 8;
    if (bytes == 1) {
        const RGBQUAD& e = HeaderPalette(header)[row[x]];
        const uint8_t* alpha = m_reduced ? m_reduced->EntryAlpha() : m_original.entryAlpha;
        return qRgba(e.rgbRed, e.rgbGreen, e.rgbBlue, EntryAlpha(alpha, row[x]));
    }
    const uint8_t* p = row + int64_t{x} * bytes;
    return qRgba(p[2], p[1], p[0], bytes == 4 ? p[3] : 255);
}

void CPreviewView::Render() {
    const QSize area = contentsRect().size();
    const QRect rect = m_place->Visible(area);
    if (!m_dirty && rect == m_shownRect && m_place->Zoom() == m_shownZoom) return;
    m_dirty = false;
    m_shownZoom = m_place->Zoom();
    m_shown = QImage();
    m_shownRect = QRect();
    if (!m_reduced && !m_text.isEmpty()) return;
    if (m_place->Zoom() > 0) {
        m_shown = QImage(rect.size(), QImage::Format_ARGB32);
        for (int y = 0; y < rect.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_shown.scanLine(y));
            for (int x = 0; x < rect.width(); ++x)
                line[x] = Pixel(rect.left() + x, rect.top() + y);
        }
    } else {
        // Each shown pixel the mean of a block of the image, as the eye mixes a dither; of a large
        // block, the mean of a grid of at most 8 x 8 of its pixels. Colours are weighed by their
        // alphas, so transparent pixels add none.
        const int step = std::max({1, CeilDiv(rect.width(), std::max(1, area.width())),
                                   CeilDiv(rect.height(), std::max(1, area.height()))});
        const int sample = std::max(1, step / 8);
        m_shown = QImage(CeilDiv(rect.width(), step), CeilDiv(rect.height(), step), QImage::Format_ARGB32);
        for (int by = 0; by < m_shown.height(); ++by) {
            auto* line = reinterpret_cast<QRgb*>(m_shown.scanLine(by));
            for (int bx = 0; bx < m_shown.width(); ++bx) {
                int64_t red = 0, green = 0, blue = 0, alpha = 0, n = 0;
                for (int y = by * step; y < std::min(rect.height(), (by + 1) * step); y += sample) {
                    for (int x = bx * step; x < std::min(rect.width(), (bx + 1) * step); x += sample, ++n) {
                        const QRgb c = Pixel(x, y);
                        const int a = qAlpha(c);
                        red += qRed(c) * a, green += qGreen(c) * a, blue += qBlue(c) * a, alpha += a;
                    }
                }
                line[bx] = alpha == 0 ? 0
                                      : qRgba(int(red / alpha), int(green / alpha), int(blue / alpha),
                                              int(alpha / n));
            }
        }
    }
    m_shownRect = rect;
}

void CPreviewView::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    Render();
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setClipRect(area);
    painter.fillRect(area, palette().color(QPalette::Mid));
    if (!m_shown.isNull()) {
        const int zoom = std::max(1, m_place->Zoom());
        QRect target(QPoint(0, 0), m_shown.size() * zoom);
        target.moveCenter(area.center());
        const BITMAPINFOHEADER* original = m_original.header;
        if (original->biBitCount == 32 ||
            (original->biBitCount == 8 && !EntriesOpaque(m_original.entryAlpha))) {
            // Transparent pixels show the editing view's grey and white squares.
            QImage squares(2 * kCheckerSquare, 2 * kCheckerSquare, QImage::Format_RGB32);
            for (int y = 0; y < squares.height(); ++y)
                for (int x = 0; x < squares.width(); ++x)
                    squares.setPixel(x, y, CheckerColour(x, y));
            QBrush brush(squares);
            brush.setTransform(QTransform::fromTranslate(target.left(), target.top()));
            painter.fillRect(target, brush);
        }
        painter.drawImage(target, m_shown);
    } else {
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(area.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap, m_text);
    }
    if (!m_caption.isEmpty()) {
        QFont font = painter.font();
        font.setBold(m_chosen);
        painter.setFont(font);
        const QRect box =
            painter.boundingRect(area.adjusted(2, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop, m_caption)
                .adjusted(-2, 0, 2, 0);
        painter.fillRect(box, QColor(255, 255, 255, 210));
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignCenter, m_caption);
    }
}

void CPreviewView::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    emit Resized();
}

void CPreviewView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_pressAt = event->position().toPoint();
    m_pressCentre = m_place->Centre();
    m_dragged = false;
    setCursor(Qt::ClosedHandCursor);
}

void CPreviewView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || m_place->Zoom() == 0) return;
    const QPoint moved = event->position().toPoint() - m_pressAt;
    if (moved.manhattanLength() > 3) m_dragged = true;
    if (m_dragged) m_place->SetCentre(m_pressCentre - moved / m_place->Zoom());
}

void CPreviewView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setCursor(Qt::OpenHandCursor);
    if (!m_dragged) emit Clicked();
}

void CPreviewView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0) return;
    const auto at = std::find(std::begin(kZooms), std::end(kZooms), m_place->Zoom()) - std::begin(kZooms);
    const auto next = std::clamp<ptrdiff_t>(at + steps, 0, std::size(kZooms) - 1);
    m_place->SetZoom(kZooms[next]);
    event->accept();
}
