#include "views/orvik_view.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>

#include <cstring>
#include <map>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/orvik_app.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "document/qimage_convert.h"
#include "res/resource.h"
#include "views/overlay.h"
#include "views/surface_raster.h"

namespace {

int CeilDiv(int a, int b) {
    return (a + b - 1) / b;
}

// How far the fingers of a pinch spread or close for a level.
constexpr double kPinchStep = 0.25;

}  // namespace

QCursor ToolCursor(const CCursorArt& art, double dpr) {
    // The artwork comes in two sizes; the larger one, drawn for twice as many device pixels, where
    // the screen has at least that many.
    const bool large = qRound(dpr) >= 2;
    static std::map<std::pair<QString, bool>, QCursor> cache;
    const QString name = QLatin1String(art.name);
    const auto cached = cache.find({name, large});
    if (cached != cache.end()) return cached->second;
    QPixmap pixmap(QStringLiteral(":/cursors/%1%2.xpm").arg(name, large ? QStringLiteral("@2x") : QString()));
    pixmap.setDevicePixelRatio(large ? 2 : 1);
    // The hot spot in window pixels, as for any cursor.
    const QCursor cursor = pixmap.isNull() ? QCursor(Qt::CrossCursor) : QCursor(pixmap, art.hotX, art.hotY);
    cache.emplace(std::make_pair(name, large), cursor);
    return cursor;
}

COrvikView::COrvikView(COrvikDoc* doc, QWidget* parent) : CImagePane(doc, parent) {
    OnCommand(ID_FILE_PRINT, [this] { OnFilePrint(); });
    OnCommand(ID_FILE_PRINT_DIRECT, [this] { OnFilePrint(); });
    OnCommand(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
}

COrvikView::~COrvikView() {
    if (m_pDocument->m_pView == this) m_pDocument->m_pView = nullptr;
    // The pane follows the active document; it says "None" only when the last one goes.
    if (theApp && theApp->m_mainFrame && theApp->Documents().size() <= 1)
        theApp->m_mainFrame->SetPaneText(2, tr("Image: None"));
}

void COrvikView::OnInitialUpdate() {
    m_pDocument->m_pView = this;
}

// --- Painting ----------------------------------------------------------------------------------

QRect COrvikView::DeviceRectOfImage(const RECT& area) const {
    const DeviceScale scale = Scale();
    const int n = scale.shrink;
    const int64_t m = scale.magnify;
    const auto clamp = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -1, INT_MAX / 2)); };
    // The picture sits `margin` surface pixels from the client area's top-left.
    const QPoint margin = Margin();
    if (n > 1) {
        // The blocks the area touches, each one device pixel.
        return QRect(QPoint(clamp(FloorDiv(area.left, n) - m_nScrollX / n),
                            clamp(FloorDiv(area.top, n) - m_nScrollY / n)),
                     QPoint(clamp(FloorDiv(area.right - 1, n) - m_nScrollX / n),
                            clamp(FloorDiv(area.bottom - 1, n) - m_nScrollY / n)))
            .translated(margin);
    }
    return QRect(QPoint(clamp((area.left - m_nScrollX) * m), clamp((area.top - m_nScrollY) * m)),
                 QPoint(clamp((area.right - m_nScrollX) * m - 1), clamp((area.bottom - m_nScrollY) * m - 1)))
        .translated(margin * static_cast<int>(m));
}

void COrvikView::HatchAround(const SurfaceRef& surface, const QRect& part, const QRect& picture, int cols,
                             int rows) {
    const int right = picture.left() + picture.width();
    const int bottom = picture.top() + picture.height();
    HatchWithin(surface, part, 0, 0, cols, picture.top());
    HatchWithin(surface, part, 0, bottom, cols, rows);
    HatchWithin(surface, part, 0, picture.top(), picture.left(), bottom);
    HatchWithin(surface, part, right, picture.top(), cols, bottom);
}

void COrvikView::Compose(QImage& image, int cols, int rows, QRect part) {
    if (part.isNull()) part = QRect(0, 0, cols, rows);
    if (Scale().shrink > 1) {
        ComposeReduced(image, cols, rows, part);
        return;
    }
    const COrvikDoc* doc = m_pDocument;
    const BITMAPINFOHEADER& header = *doc->m_pHeader;
    SurfaceRef surface = SurfaceOf(image);
    const int sx = m_nScrollX;
    const int sy = m_nScrollY;
    const int m = Scale().magnify;
    // The picture's top-left pixel lands at surface pixel `margin`.
    const QPoint margin = Margin();
    surface.checker = CheckerPhase{(sx - margin.x()) * m, (sy - margin.y()) * m, m};

    m_nDrawnWidth = std::max(std::min(cols - margin.x(), header.biWidth - sx), 0);
    m_nDrawnHeight = std::max(std::min(rows - margin.y(), header.biHeight - sy), 0);
    // The picture only where it is asked for: the rest of the surface is not shown.
    const SurfaceRef within = SubSurface(surface, part.x(), part.y(), part.width(), part.height());
    const QRect picture(margin, QSize(m_nDrawnWidth, m_nDrawnHeight));
    const QRect inside = picture.intersected(part);
    if (!inside.isEmpty())
        DrawImageBlock(within, header, doc->m_pPalette, doc->m_pBits, sx + inside.x() - margin.x(),
                       sy + inside.y() - margin.y(), inside.width(), inside.height(), inside.x() - part.x(),
                       inside.y() - part.y(), doc->m_pEntryAlpha);

    const RECT sel = NormalizeRect(m_rcSelection);
    if (doc->HasFloat()) {
        const BITMAPINFOHEADER& floating = *doc->m_pFloatHeader;
        // An 8-bit floating block holds indices into the image's palette, with its opacities.
        const bool eightBit = floating.biBitCount == 8;
        DrawImageBlock(within, floating, eightBit ? doc->m_pPalette : nullptr, doc->m_pFloatBits, 0, 0,
                       floating.biWidth, floating.biHeight, sel.left - sx + margin.x() - part.x(),
                       sel.top - sy + margin.y() - part.y(), eightBit ? doc->m_pEntryAlpha : nullptr);
    }
    COverlay overlay(surface, sx - margin.x(), sy - margin.y(), 1);
    DrawOverlays(overlay);
    // The hatch covers whatever the overlays drew outside the image.
    HatchAround(surface, part, picture, cols, rows);
}

void COrvikView::ComposeReduced(QImage& image, int cols, int rows, const QRect& part) {
    const COrvikDoc* doc = m_pDocument;
    SurfaceRef surface = SurfaceOf(image);
    const int n = Scale().shrink;
    const PixelBlock picture{doc->m_pHeader, doc->m_pPalette, doc->m_pBits, doc->m_pEntryAlpha};
    // The first visible block; each block is one surface pixel.
    const int bx = m_nScrollX / n;
    const int by = m_nScrollY / n;
    // The picture's first block lands at surface pixel `margin`.
    const QPoint margin = Margin();
    uint32_t* const first = surface.pixels + margin.y() * surface.stride + margin.x();
    surface.checker = CheckerPhase{bx - margin.x(), by - margin.y(), 1};
    m_nDrawnWidth = std::max(std::min(cols - margin.x(), CeilDiv(doc->Width(), n) - bx), 0);
    m_nDrawnHeight = std::max(std::min(rows - margin.y(), CeilDiv(doc->Height(), n) - by), 0);
    // The blocks drawn: those visible within the part asked for.
    const RECT visible{bx + std::max(part.left() - margin.x(), 0), by + std::max(part.top() - margin.y(), 0),
                       bx + std::min(part.right() + 1 - margin.x(), m_nDrawnWidth),
                       by + std::min(part.bottom() + 1 - margin.y(), m_nDrawnHeight)};

    if (visible.left < visible.right && visible.top < visible.bottom)
        m_reduced.Draw(picture, n, visible,
                       first + (visible.top - by) * surface.stride + (visible.left - bx), surface.stride);

    // Image columns [from, to) as the blocks over them.
    const auto span = [n](int from, int to) {
        const int start = FloorDiv(from, n);
        return std::make_pair(start, to > from ? FloorDiv(to - 1, n) + 1 : start);
    };
    const RECT sel = NormalizeRect(m_rcSelection);
    if (doc->HasFloat()) {
        const BITMAPINFOHEADER& floating = *doc->m_pFloatHeader;
        // An 8-bit floating block holds indices into the image's palette.
        const FloatingBlock over{
            {&floating, doc->m_pPalette, doc->m_pFloatBits, doc->m_pEntryAlpha}, sel.left, sel.top};
        const auto [left, right] = span(sel.left, sel.left + floating.biWidth);
        const auto [top, bottom] = span(sel.top, sel.top + floating.biHeight);
        // The blocks it covers, the image's own pixels counting where it covers only part of one.
        const RECT blocks{std::max(left, visible.left), std::max(top, visible.top),
                          std::min(right, visible.right), std::min(bottom, visible.bottom)};
        if (blocks.left < blocks.right && blocks.top < blocks.bottom)
            ReduceBlocks(picture, &over, n, blocks,
                         first + (blocks.top - by) * surface.stride + (blocks.left - bx), surface.stride);
    }
    COverlay overlay(surface, m_nScrollX - margin.x() * n, m_nScrollY - margin.y() * n, n);
    DrawOverlays(overlay);
    HatchAround(surface, part, QRect(margin, QSize(m_nDrawnWidth, m_nDrawnHeight)), cols, rows);
}

void COrvikView::paintEvent(QPaintEvent* event) {
    if (!m_pDocument->HasImage()) return;
    QPainter painter(viewport());
    const QSize device = PaintInDevicePixels(painter);
    if (device.isEmpty()) return;
    // Only the device pixels asked for are drawn again: a brush stroke repaints what it touched.
    const QRect asked = DeviceRectOf(event->rect(), device);
    if (asked.isEmpty()) return;
    // Composed at image scale (a block a pixel when reduced), then each pixel magnified to whole
    // device pixels.
    const int magnify = Scale().magnify;
    const int cols = CeilDiv(device.width(), magnify);
    const int rows = CeilDiv(device.height(), magnify);
    const QRect part(QPoint(asked.left() / magnify, asked.top() / magnify),
                     QPoint(asked.right() / magnify, asked.bottom() / magnify));
    QImage& surface = theApp->m_mainFrame->BackBuffer(cols, rows);
    Compose(surface, cols, rows, part);
    // The checkerboard's squares count from the image's top-left device pixel.
    const DeviceScale scale = Scale();
    const QPoint margin = Margin();
    const QPoint origin = (scale.shrink > 1 ? QPoint(m_nScrollX / scale.shrink, m_nScrollY / scale.shrink)
                                            : QPoint(m_nScrollX, m_nScrollY) * magnify) -
                          margin * magnify;
    Present(painter, surface, magnify, device, part, QRect(margin, QSize(m_nDrawnWidth, m_nDrawnHeight)),
            origin);
}

void COrvikView::DrawOverPresented(QImage& shown, int magnify, const QRect& drawn) const {
    if (m_bPixelGrid && Level().zoom >= 6)
        DrawPixelGrid(shown, magnify, QRect(Margin() * magnify, QSize(m_nDrawnWidth, m_nDrawnHeight) * magnify),
                      drawn);
}

void COrvikView::DrawPixelGrid(QImage& shown, int magnify, const QRect& picture, const QRect& part) const {
    const SurfaceRef surface = SurfaceOf(shown);
    const QRect area = picture.intersected(part).intersected(QRect(0, 0, surface.width, surface.height));
    if (area.isEmpty()) return;
    // Seen on any colour: light pixels darkened by a third, dark ones lightened by as much.
    const auto mark = [](uint32_t& p) {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        const bool light = r * 299 + g * 587 + b * 114 >= 128000;
        const auto shift = [light](int c) { return light ? c * 2 / 3 : c + (255 - c) / 3; };
        p = 0xFF000000u | uint32_t(shift(r)) << 16 | uint32_t(shift(g)) << 8 | uint32_t(shift(b));
    };
    // The lines lie on the first device pixel of each image pixel, except along the image's own
    // left and top edges.
    const int x0 = picture.left();
    const int y0 = picture.top();
    const int firstColumn = x0 + (m_nScrollX > 0 ? 0 : magnify);
    const int from = std::max(firstColumn, x0 + CeilDiv(area.left() - x0, magnify) * magnify);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        uint32_t* row = surface.pixels + y * surface.stride;
        if ((y - y0) % magnify == 0 && (y > y0 || m_nScrollY > 0)) {
            for (int x = area.left(); x <= area.right(); ++x)
                mark(row[x]);
            continue;
        }
        for (int x = from; x <= area.right(); x += magnify)
            mark(row[x]);
    }
}

// --- Scrolling ---------------------------------------------------------------------------------

DeviceScale COrvikView::Scale() const {
    return DeviceScaleFor(Level(), DevicePixelRatio());
}

QPoint COrvikView::Margin() const {
    const DeviceScale scale = Scale();
    const QSize client = DeviceClientSize();
    // In device pixels halved, then in whole surface pixels.
    const auto side = [scale](int64_t picture, int room) {
        return picture < room ? static_cast<int>((room - picture) / 2 / scale.magnify) : 0;
    };
    return {side(DeviceLength(m_pDocument->Width(), scale), client.width()),
            side(DeviceLength(m_pDocument->Height(), scale), client.height())};
}

QSize COrvikView::ZoomedSize() const {
    const DeviceScale scale = Scale();
    const auto length = [&](int pixels) {
        return static_cast<int>(std::min<int64_t>(WindowLength(DeviceLength(pixels, scale)), INT_MAX / 2));
    };
    return {length(m_pDocument->Width()), length(m_pDocument->Height())};
}

void COrvikView::UpdateScrollRanges() {
    if (!m_pDocument->HasImage()) return;
    const DeviceScale scale = Scale();
    const int n = scale.shrink;
    const int64_t width = DeviceLength(m_pDocument->Width(), scale);
    const int64_t height = DeviceLength(m_pDocument->Height(), scale);
    const QSize shown = ClientSizeFor(WindowLength(width), WindowLength(height));
    const double dpr = DevicePixelRatio();
    const int64_t dx = width - static_cast<int64_t>(std::ceil(shown.width() * dpr - 1e-9));
    const int64_t dy = height - static_cast<int64_t>(std::ceil(shown.height() * dpr - 1e-9));
    // In image pixels: whole blocks when reduced, else rounded up so the last pixel can be reached.
    const int m = scale.magnify;
    const auto range = [n, m](int64_t d) {
        return d > 0 ? static_cast<int>(n > 1 ? d * n : (d + m - 1) / m) : 0;
    };
    SetScrollRanges(range(dx), range(dy), shown);
}

QPoint COrvikView::ClientToImage(int px, int py) {
    return ClientToImage(QPointF(px, py));
}

QPoint COrvikView::ClientToImage(const QPointF& point) {
    const DeviceScale scale = Scale();
    const QPoint p = DevicePoint(point);
    if (m_bDragging) {
        // A whole zoomed pixel outside scrolls one image pixel, a device pixel one block when
        // reduced; the distances are truncated, so less than that does not scroll.
        const QSize client = DeviceClientSize();
        const auto pixels = [scale](int outside) {
            return scale.shrink > 1 ? outside * scale.shrink : outside / scale.magnify;
        };
        if (p.x() < 0) ScrollBy(pixels(p.x()), 0);
        if (p.y() < 0) ScrollBy(0, pixels(p.y()));
        if (p.x() > client.width()) ScrollBy(pixels(p.x() - client.width()), 0);
        if (p.y() > client.height()) ScrollBy(0, pixels(p.y() - client.height()));
    }
    // The pixel drawn under the point; when reduced, the top-left pixel of the block under it.
    const QPoint q = p - Margin() * scale.magnify;
    const auto image = [scale](int device, int scroll) {
        return (scale.shrink > 1 ? int64_t{device} * scale.shrink
                                 : int64_t{FloorDiv(device, scale.magnify)}) +
               scroll;
    };
    return {static_cast<int>(std::clamp<int64_t>(image(q.x(), m_nScrollX), 0, m_pDocument->Width() - 1)),
            static_cast<int>(std::clamp<int64_t>(image(q.y(), m_nScrollY), 0, m_pDocument->Height() - 1))};
}

void COrvikView::scrollContentsBy(int dx, int dy) {
    CImagePane::scrollContentsBy(dx, dy);
    // When reduced the view scrolls by whole blocks.
    const int n = Scale().shrink;
    if (m_nScrollX % n != 0 || m_nScrollY % n != 0) {
        m_nScrollX -= m_nScrollX % n;
        m_nScrollY -= m_nScrollY % n;
        SetScrollPositions();
    }
}

void COrvikView::CenterOn(int x, int y) {
    // In device pixels; when reduced in blocks, each one device pixel.
    const DeviceScale scale = Scale();
    const int m = scale.magnify;
    const int n = scale.shrink;
    // One axis: the first visible image pixel that centres `p` within [0, size].
    auto first = [m](int p, int half, int64_t size) {
        int64_t low = int64_t{m} * p - half;
        int64_t high = int64_t{m} * p + half;
        if (low < 0) {
            high -= low;
            low = 0;
        }
        if (high > size) low = std::max<int64_t>(low + (size - high), 0);
        return static_cast<int>(low / m);
    };
    const QSize client = DeviceClientSize();
    m_nScrollX = first(x / n, client.width() / 2, DeviceLength(m_pDocument->Width(), scale)) * n;
    m_nScrollY = first(y / n, client.height() / 2, DeviceLength(m_pDocument->Height(), scale)) * n;
    SetScrollPositions();
}

// --- Zoom ----------------------------------------------------------------------------------------

ZoomLevel COrvikView::Level() const {
    return {m_pDocument->m_nZoom, m_pDocument->m_nShrink};
}

void COrvikView::SetZoomLevel(ZoomLevel level, bool fitFrame) {
    COrvikDoc* doc = m_pDocument;
    doc->m_nZoom = level.zoom;
    doc->m_nShrink = level.shrink;
    // What the wheel and the fingers had not zoomed yet is forgotten.
    m_wheelTravel = QPoint();
    m_nWheelZoom = 0;
    m_dPinch = 0;
    // The actual-size pane shows while the image is magnified.
    if (doc->m_pChildFrame) {
        if (level.zoom > 1)
            doc->m_pChildFrame->m_wndSplitter->ShowColumn();
        else
            doc->m_pChildFrame->m_wndSplitter->HideColumn(0);
    }
    if (fitFrame) doc->SizeFrameToImage();
    // The shown pane takes its room now (a maximised frame keeps its size and is not laid out by
    // the fitting), so the centring that follows sees the view's final width.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    doc->SetTitle(doc->GetTitle());
    UpdateScrollRanges();
}

void COrvikView::ZoomIn(int x, int y) {
    const ZoomLevel next = ZoomStep(Level(), 1);
    if (next == Level()) return;
    SetZoomLevel(next, true);
    CenterOn(x, y);
}

void COrvikView::ZoomOut(int x, int y) {
    const ZoomLevel next = ZoomStep(Level(), -1);
    if (Level() == kActualPixels || next == Level()) return;
    SetZoomLevel(next, true);
    CenterOn(x, y);
}

void COrvikView::ZoomTo(ZoomLevel level) {
    if (!m_pDocument->HasImage() || level == Level()) return;
    const QPoint centre = ClientToImage(viewport()->width() / 2, viewport()->height() / 2);
    SetZoomLevel(level, true);
    CenterOn(centre.x(), centre.y());
    m_pDocument->UpdateAllViews();
}

void COrvikView::FitInWindow() {
    COrvikDoc* doc = m_pDocument;
    if (!doc->HasImage() || !doc->m_pChildFrame) return;
    const CHideSplitterWnd* splitter = doc->m_pChildFrame->m_wndSplitter;
    ZoomLevel fit = LevelShowingWhole(splitter->size(), kActualPixels);
    // Above 1:1 the actual-size pane takes its column from the editing view.
    const QSize beside(splitter->width() - splitter->ColumnExtent(0), splitter->height());
    const ZoomLevel magnified = LevelShowingWhole(beside, kZoomLevels[kZoomLevelCount - 1]);
    if (magnified.zoom > 1) fit = magnified;
    if (fit != Level()) SetZoomLevel(fit, false);
    CenterOn(doc->Width() / 2, doc->Height() / 2);
    doc->UpdateAllViews();
}

void COrvikView::ShowWhole() {
    COrvikDoc* doc = m_pDocument;
    if (!doc->HasImage() || !doc->m_pChildFrame || Level() != kActualPixels) return;
    const ZoomLevel level = LevelShowingWhole(doc->m_pChildFrame->m_wndSplitter->size(), kActualPixels);
    if (level == Level()) return;
    SetZoomLevel(level, true);
    CenterOn(doc->Width() / 2, doc->Height() / 2);
    doc->UpdateAllViews();
}

ZoomLevel COrvikView::LevelShowingWhole(QSize client, ZoomLevel upTo) const {
    ZoomLevel fit = kZoomLevels[0];
    for (const ZoomLevel level : kZoomLevels) {
        const DeviceScale scale = DeviceScaleFor(level, DevicePixelRatio());
        if (WindowLength(DeviceLength(m_pDocument->Width(), scale)) <= client.width() &&
            WindowLength(DeviceLength(m_pDocument->Height(), scale)) <= client.height())
            fit = level;
        if (level == upTo) break;
    }
    return fit;
}

void COrvikView::ZoomAround(ZoomLevel level, const QPointF& client) {
    if (level == Level()) return;
    // The device pixel under the point, inside the client area, from the picture's top-left corner.
    const auto under = [this](const QPointF& p) {
        const QSize size = DeviceClientSize();
        const QPoint d = DevicePoint(p);
        return QPoint(std::clamp(d.x(), 0, std::max(size.width() - 1, 0)),
                      std::clamp(d.y(), 0, std::max(size.height() - 1, 0))) -
               Margin() * Scale().magnify;
    };
    // The image pixel at the middle of that device pixel, in the image.
    const DeviceScale old = Scale();
    const QPoint from = under(client);
    const auto pixel = [old](int device, int scroll, int size) {
        return std::clamp(scroll + FloorDiv((2 * device + 1) * old.shrink, 2 * old.magnify), 0, size - 1);
    };
    const int x = pixel(from.x(), m_nScrollX, m_pDocument->Width());
    const int y = pixel(from.y(), m_nScrollY, m_pDocument->Height());
    const QPointF place = viewport()->mapTo(window(), client);
    SetZoomLevel(level, false);
    // The actual-size pane may have come or gone beside the view, moving it under the pointer.
    const QPoint at = under(viewport()->mapFrom(window(), place));
    const DeviceScale now = Scale();
    const int n = now.shrink;
    m_nScrollX = std::clamp((FloorDiv(x, n) - FloorDiv(at.x(), now.magnify)) * n, 0, m_nMaxScrollX);
    m_nScrollY = std::clamp((FloorDiv(y, n) - FloorDiv(at.y(), now.magnify)) * n, 0, m_nMaxScrollY);
    SetScrollPositions();
    viewport()->update();
}

void COrvikView::WheelZoom(int delta, const QPointF* at) {
    if (delta == 0) return;
    // What is left of a turn the other way is forgotten.
    if ((delta > 0) != (m_nWheelZoom > 0)) m_nWheelZoom = 0;
    m_nWheelZoom += delta;
    const int steps = m_nWheelZoom / kWheelNotch;
    const int rest = m_nWheelZoom - steps * kWheelNotch;
    const ZoomLevel level = ZoomStep(Level(), steps);
    if (steps != 0 && level != Level()) {
        if (at) {
            ZoomAround(level, *at);
        } else {
            const QPoint centre = ClientToImage(viewport()->width() / 2, viewport()->height() / 2);
            SetZoomLevel(level, false);
            CenterOn(centre.x(), centre.y());
        }
        m_pDocument->UpdateAllViews();
    }
    m_nWheelZoom = rest;  // the zoom itself forgets remainders
}

void COrvikView::Pinch(double delta, const QPointF& at) {
    if ((delta > 0) != (m_dPinch > 0)) m_dPinch = 0;
    m_dPinch += delta;
    const int steps = static_cast<int>(m_dPinch / kPinchStep);
    const double rest = m_dPinch - steps * kPinchStep;
    const ZoomLevel level = ZoomStep(Level(), steps);
    if (steps != 0 && level != Level()) {
        ZoomAround(level, at);
        m_pDocument->UpdateAllViews();
    }
    m_dPinch = rest;
}

void COrvikView::ImageChanged(const RECT& area) {
    m_reduced.Touch(area);
}

// --- Status and cursor ---------------------------------------------------------------------------

void COrvikView::UpdateStatus(int x, int y) {
    CMainFrame* main = theApp->m_mainFrame;
    const CTool* tool = CurrentTool();
    if (RECT r; tool && tool->StatusRect(&r)) {
        main->SetPaneText(0, QString::asprintf("(%d , %d) -> (%d , %d) = (%d , %d)", r.left, r.top, r.right,
                                               r.bottom, r.right - r.left, r.bottom - r.top));
    } else {
        main->SetPaneText(0, QString::asprintf("(%d , %d)", x, y));
    }
    ShowImageInfo();
}

void COrvikView::enterEvent(QEnterEvent* event) {
    QAbstractScrollArea::enterEvent(event);
    UpdateCursor(QGuiApplication::keyboardModifiers());
}

// --- Printing ------------------------------------------------------------------------------------

void COrvikView::PrintImage(QPrinter* printer) {
    const QImage image = ImageToQImage(*m_pDocument->m_pHeader, m_pDocument->m_pPalette, m_pDocument->m_pBits,
                                       m_pDocument->m_pEntryAlpha);  // transparent parts show the paper
    QPainter painter;
    if (image.isNull() || !painter.begin(printer)) {
        const QString file = printer->outputFileName();
        const QString reason = image.isNull() ? StatusText(ImageStatus::NoMemory)
                               : !file.isEmpty()
                                   ? tr("%1 could not be written").arg(file)
                                   : tr("the printer %1 could not be started").arg(printer->printerName());
        OrvikMessage(tr("The image could not be printed: %1.").arg(reason));
        return;
    }
    const QSize page = printer->pageLayout().paintRectPixels(printer->resolution()).size();
    // The whole image, as large as the page allows with its aspect kept, pixels replicated.
    const QSize size = image.size().scaled(page, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const QRect target((page.width() - size.width()) / 2, (page.height() - size.height()) / 2, size.width(),
                       size.height());
    // The pixels go to the page as they are: replicated, never smoothed, and without the lossy
    // compression the print engine would otherwise apply.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.drawImage(target, image);
}

void COrvikView::OnFilePrint() {
    QPrinter* printer = theApp->Printer();
    QPrintDialog dialog(printer, this);
    if (dialog.exec() == QDialog::Accepted) PrintImage(printer);
}

void COrvikView::OnFilePrintPreview() {
    QPrintPreviewDialog dialog(theApp->Printer(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { PrintImage(printer); });
    dialog.exec();
}
