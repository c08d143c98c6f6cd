#include "views/overlay.h"

#include <QImage>

#include <algorithm>

#include "document/zoom_level.h"

COverlay::COverlay(const SurfaceRef& surface, int scrollX, int scrollY, int shrink)
    : m_surface(surface), m_nScrollX(scrollX), m_nScrollY(scrollY), m_nShrink(shrink) {}

QPoint COverlay::Map(int x, int y) const {
    const int n = m_nShrink;
    return {FloorDiv(x, n) - m_nScrollX / n, FloorDiv(y, n) - m_nScrollY / n};
}

void COverlay::Line(int x0, int y0, int x1, int y1) {
    const QPoint a = Map(x0, y0);
    const QPoint b = Map(x1, y1);
    InvertLine(m_surface, a.x(), a.y(), b.x(), b.y());
}

void COverlay::RectOutline(const RECT& rect) {
    if (rect.right == rect.left || rect.bottom == rect.top) return;
    const QPoint a = Map(rect.left, rect.top);
    const QPoint b = Map(rect.right, rect.bottom);
    // Zoomed out a thin rectangle may come to one surface row or column: then it is that line.
    InvertBorder(m_surface, a.x(), a.y(), b.x(), b.y());
}

std::pair<int, int> COverlay::Span(int from, int to, int first) const {
    const int n = m_nShrink;
    const int start = FloorDiv(from, n) - first;
    return {start, to > from ? FloorDiv(to - 1, n) + 1 - first : start};
}

void COverlay::Frame(const RECT& selection, bool invert) {
    const auto [left, right] = Span(selection.left, selection.right, m_nScrollX / m_nShrink);
    const auto [top, bottom] = Span(selection.top, selection.bottom, m_nScrollY / m_nShrink);
    DrawDottedFrame(m_surface, left, top, right, bottom, invert);
}

void COverlay::InvertPixels(const std::vector<QPoint>& pixels) {
    std::vector<QPoint> mapped;
    mapped.reserve(pixels.size());
    for (const QPoint& p : pixels) {
        const QPoint m = Map(p.x(), p.y());
        if (m.x() >= 0 && m.y() >= 0 && m.x() < m_surface.width && m.y() < m_surface.height)
            mapped.push_back(m);
    }
    std::sort(mapped.begin(), mapped.end(), [](const QPoint& a, const QPoint& b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    mapped.erase(std::unique(mapped.begin(), mapped.end()), mapped.end());
    for (const QPoint& m : mapped)
        InvertPixel(m_surface, m.x(), m.y());
}

void COverlay::InvertSet(const CSpanSet& pixels) {
    std::vector<QPoint> points;
    pixels.ForEach([&](int y, int x0, int x1) {
        // Only what can lie on the surface.
        const QPoint first = Map(x0, y);
        if (first.y() < 0 || first.y() >= m_surface.height) return;
        for (int x = x0; x <= x1; ++x)
            points.emplace_back(x, y);
    });
    InvertPixels(points);
}

void COverlay::Cover(const QImage& mask, const QPoint& at, uint32_t rgb) {
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* cover = mask.constScanLine(y);
        for (int x = 0; x < mask.width(); ++x) {
            const int c = cover[x];
            if (c == 0) continue;
            const QPoint m = Map(at.x() + x, at.y() + y);
            if (m.x() < 0 || m.y() < 0 || m.x() >= m_surface.width || m.y() >= m_surface.height) continue;
            uint32_t& p = m_surface.pixels[m.y() * m_surface.stride + m.x()];
            uint32_t mixed = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const int under = (p >> shift) & 0xFF;
                const int over = (rgb >> shift) & 0xFF;
                mixed |= uint32_t((under * (255 - c) + over * c + 127) / 255) << shift;
            }
            p = mixed;
        }
    }
}
