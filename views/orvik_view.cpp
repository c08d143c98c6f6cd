#include "views/orvik_view.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>

#include <map>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "document/qimage_convert.h"
#include "res/resource.h"
#include "views/surface_raster.h"

namespace {

int CeilDiv(int a, int b) {
    return (a + b - 1) / b;
}

}  // namespace

QCursor ToolCursor(int id) {
    struct CursorFile {
        const char* path;
        int hotX, hotY;
    };
    static const std::map<int, CursorFile> kFiles{
        {IDC_ZOOM, {":/cursors/zoom.xpm", 7, 6}},     {IDC_BRUSH, {":/cursors/brush.xpm", 7, 8}},
        {IDC_SELECT, {":/cursors/select.xpm", 7, 8}}, {IDC_LINE, {":/cursors/line.xpm", 7, 8}},
        {IDC_RECT, {":/cursors/rect.xpm", 7, 8}},     {IDC_FILL, {":/cursors/fill.xpm", 2, 12}},
        {IDC_MOVE, {":/cursors/move.xpm", 8, 8}},
    };
    static std::map<int, QCursor> cache;
    const auto cached = cache.find(id);
    if (cached != cache.end()) return cached->second;
    const auto file = kFiles.find(id);
    QCursor cursor(id == IDC_MOVE ? Qt::SizeAllCursor : Qt::CrossCursor);
    if (file != kFiles.end()) {
        const QPixmap pixmap(QLatin1String(file->second.path));
        if (!pixmap.isNull()) cursor = QCursor(pixmap, file->second.hotX, file->second.hotY);
    }
    cache.emplace(id, cursor);
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

void COrvikView::Compose(QImage& image, int cols, int rows) {
    const COrvikDoc* doc = m_pDocument;
    const BITMAPINFOHEADER& header = *doc->m_pHeader;
    const SurfaceRef surface{reinterpret_cast<uint32_t*>(image.bits()), image.width(), image.height(),
                             image.bytesPerLine() / 4};
    const int sx = m_nScrollX;
    const int sy = m_nScrollY;

    m_nDrawnWidth = std::max(std::min(cols, header.biWidth - sx), 0);
    m_nDrawnHeight = std::max(std::min(rows, header.biHeight - sy), 0);
    DrawImageBlock(surface, header, doc->m_pPalette, doc->m_pBits, sx, sy, m_nDrawnWidth, m_nDrawnHeight, 0,
                   0);

    const RECT sel = NormalizeRect(m_rcSelection);
    if (doc->HasFloat()) {
        const BITMAPINFOHEADER& floating = *doc->m_pFloatHeader;
        // An 8-bit floating block holds indices into the image's palette.
        DrawImageBlock(surface, floating, floating.biBitCount == 8 ? doc->m_pPalette : nullptr,
                       doc->m_pFloatBits, 0, 0, floating.biWidth, floating.biHeight, sel.left - sx,
                       sel.top - sy);
    }
    if (m_bDragging || m_bSelection)
        DrawDottedFrame(surface, sel.left - sx, sel.top - sy, sel.right - sx, sel.bottom - sy, !m_bSelection);
    if (m_bDragging) {
        const int tool = theApp->m_mainFrame->m_currentTool;
        if (tool == ID_TOOL_LINE) {
            InvertLine(surface, m_rcDrag.left - sx, m_rcDrag.top - sy, m_rcDrag.right - sx,
                       m_rcDrag.bottom - sy);
        } else if (tool == ID_TOOL_RECT) {
            const RECT r = NormalizeRect(m_rcDrag);
            InvertRectOutline(surface, r.left - sx, r.top - sy, r.right - sx, r.bottom - sy);
        }
    }
    // The hatch covers whatever the overlays drew outside the image.
    if (cols > m_nDrawnWidth) FillHatch(surface, m_nDrawnWidth, 0, cols, rows);
    if (rows > m_nDrawnHeight) FillHatch(surface, 0, m_nDrawnHeight, m_nDrawnWidth, rows);
}

void COrvikView::paintEvent(QPaintEvent*) {
    if (!m_pDocument->HasImage()) return;
    const int zoom = m_pDocument->m_nZoom;
    const int cols = CeilDiv(viewport()->width(), zoom);
    const int rows = CeilDiv(viewport()->height(), zoom);
    if (cols <= 0 || rows <= 0) return;
    QImage& surface = theApp->m_mainFrame->BackBuffer(cols, rows);
    Compose(surface, cols, rows);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (zoom == 1)
        painter.drawImage(QPoint(0, 0), surface, QRect(0, 0, cols, rows));
    else
        painter.drawImage(QRect(0, 0, cols * zoom, rows * zoom), surface, QRect(0, 0, cols, rows));
}

// --- Scrolling ---------------------------------------------------------------------------------

void COrvikView::UpdateScrollRanges() {
    if (!m_pDocument->HasImage()) return;
    const int zoom = m_pDocument->m_nZoom;
    const int64_t width = int64_t{zoom} * m_pDocument->Width();
    const int64_t height = int64_t{zoom} * m_pDocument->Height();
    const QSize client = ClientSizeFor(width, height);
    const int64_t dx = width - client.width();
    const int64_t dy = height - client.height();
    // In image pixels, rounded up so the last zoomed pixel can be reached.
    SetScrollRanges(dx > 0 ? static_cast<int>((dx + zoom - 1) / zoom) : 0,
                    dy > 0 ? static_cast<int>((dy + zoom - 1) / zoom) : 0);
}

QPoint COrvikView::ClientToImage(int px, int py) {
    const int zoom = m_pDocument->m_nZoom;
    const int cw = viewport()->width();
    const int ch = viewport()->height();
    if (m_bDragging) {
        if (px < 0) ScrollBy(px / zoom, 0);
        if (py < 0) ScrollBy(0, py / zoom);
        if (px > cw) ScrollBy((px - cw) / zoom, 0);
        if (py > ch) ScrollBy(0, (py - ch) / zoom);
    }
    const int x = std::clamp(px / zoom + m_nScrollX, 0, m_pDocument->Width() - 1);
    const int y = std::clamp(py / zoom + m_nScrollY, 0, m_pDocument->Height() - 1);
    return {x, y};
}

void COrvikView::ScrollBy(int dx, int dy) {
    m_nScrollX = std::clamp(m_nScrollX + dx, 0, m_nMaxScrollX);
    m_nScrollY = std::clamp(m_nScrollY + dy, 0, m_nMaxScrollY);
    SetScrollPositions();
    if (dx != 0 || dy != 0) viewport()->update();
}

void COrvikView::CenterOn(int x, int y) {
    const int zoom = m_pDocument->m_nZoom;
    // One axis, in zoomed pixels: the first visible zoomed pixel that centres `p` within [0, size].
    auto first = [zoom](int p, int half, int64_t size) {
        int64_t low = int64_t{zoom} * p - half;
        int64_t high = int64_t{zoom} * p + half;
        if (low < 0) {
            high -= low;
            low = 0;
        }
        if (high > size) low = std::max<int64_t>(low + (size - high), 0);
        return static_cast<int>(low / zoom);
    };
    m_nScrollX = first(x, viewport()->width() / 2, int64_t{zoom} * m_pDocument->Width());
    m_nScrollY = first(y, viewport()->height() / 2, int64_t{zoom} * m_pDocument->Height());
    SetScrollPositions();
}

// --- Zoom ----------------------------------------------------------------------------------------

void COrvikView::ZoomIn(int x, int y) {
    COrvikDoc* doc = m_pDocument;
    const int before = doc->m_nZoom;
    switch (before) {
        case 1:
            doc->m_nZoom = 6;
            break;
        case 6:
            doc->m_nZoom = 8;
            break;
        case 8:
            doc->m_nZoom = 16;
            break;
        default:
            return;
    }
    if (before == 1 && doc->m_pChildFrame) doc->m_pChildFrame->m_wndSplitter->ShowColumn();
    doc->SizeFrameToImage();
    // The shown pane takes its room now (a maximised frame keeps its size and is not laid out by
    // the fitting), so the centring below sees the view's final width.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    doc->SetTitle(doc->GetTitle());
    UpdateScrollRanges();
    CenterOn(x, y);
}

void COrvikView::ZoomOut(int x, int y) {
    COrvikDoc* doc = m_pDocument;
    switch (doc->m_nZoom) {
        case 16:
            doc->m_nZoom = 8;
            break;
        case 8:
            doc->m_nZoom = 6;
            break;
        case 6:
            doc->m_nZoom = 1;
            break;
        default:
            return;
    }
    if (doc->m_nZoom == 1 && doc->m_pChildFrame) doc->m_pChildFrame->m_wndSplitter->HideColumn(0);
    doc->SizeFrameToImage();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    doc->SetTitle(doc->GetTitle());
    UpdateScrollRanges();
    CenterOn(x, y);
}

// --- Status and cursor ---------------------------------------------------------------------------

void COrvikView::UpdateStatus(int x, int y) {
    CMainFrame* main = theApp->m_mainFrame;
    if (m_bDragging || m_bMoving) {
        const RECT r = NormalizeRect(main->m_currentTool == ID_TOOL_SELECT ? m_rcSelection : m_rcDrag);
        main->SetPaneText(0, QString::asprintf("(%d , %d) -> (%d , %d) = (%d , %d)", r.left, r.top, r.right,
                                               r.bottom, r.right - r.left, r.bottom - r.top));
    } else {
        main->SetPaneText(0, QString::asprintf("(%d , %d)", x, y));
    }
    ShowImageInfo();
}

void COrvikView::UpdateCursor() {
    int cursor = 0;
    switch (theApp->m_mainFrame->m_currentTool) {
        case ID_TOOL_ZOOM:
            cursor = IDC_ZOOM;
            break;
        case ID_TOOL_BRUSH:
            cursor = IDC_BRUSH;
            break;
        case ID_TOOL_SELECT:
            cursor = m_bMoving ? 0 : IDC_SELECT;
            break;
        case ID_TOOL_LINE:
            cursor = IDC_LINE;
            break;
        case ID_TOOL_RECT:
            cursor = IDC_RECT;
            break;
        case ID_TOOL_FILL:
            cursor = IDC_FILL;
            break;
        default:
            break;
    }
    if (cursor) viewport()->setCursor(ToolCursor(cursor));
}

void COrvikView::enterEvent(QEnterEvent* event) {
    QAbstractScrollArea::enterEvent(event);
    UpdateCursor();
}

// --- Printing ------------------------------------------------------------------------------------

void COrvikView::PrintImage(QPrinter* printer) {
    const QImage image =
        ImageToQImage(*m_pDocument->m_pHeader, m_pDocument->m_pPalette, m_pDocument->m_pBits);
    QPainter painter;
    if (image.isNull() || !painter.begin(printer)) return;
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
