#include "colour/color_palette_dlg.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "app/main_frame.h"
#include "app/messages.h"
#include "app/orvik_app.h"
#include "colour/color_edit_dlg.h"
#include "document/orvik_doc.h"
#include "res/resource.h"
#include "views/surface_raster.h"

namespace {

constexpr int kCell = 10;

}  // namespace

void FillEntryColour(QPainter& painter, const QRect& rect, const QColor& colour, int square) {
    if (colour.alpha() < 255) {
        painter.save();
        painter.setClipRect(rect);
        for (int y = rect.top(); y <= rect.bottom(); y += square)
            for (int x = rect.left(); x <= rect.right(); x += square) {
                const bool grey = ((x - rect.left()) / square + (y - rect.top()) / square) % 2 == 0;
                painter.fillRect(x, y, square, square, grey ? QColor(kCheckerGrey) : QColor(kCheckerWhite));
            }
        painter.restore();
    }
    painter.fillRect(rect, colour);
}

void DrawPlaceholder(QPainter& painter, const QRect& rect) {
    const int w = rect.width();
    const int h = rect.height();
    painter.fillRect(0, 0, w, h, QColor(128, 128, 128));
    painter.setPen(Qt::black);
    painter.drawLine(0, 0, w - 1, h - 1);
    painter.drawLine(w - 1, 0, 0, h - 1);
}

// --- Grid ----------------------------------------------------------------------------------------

CPaletteGrid::CPaletteGrid(CColorPaletteDlg* owner) : QWidget(owner), m_owner(owner) {
    setObjectName(QString::number(IDC_PALETTE_GRID));
    setFixedSize(8 * kCell, 32 * kCell);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int CPaletteGrid::IndexAt(QPoint point) {
    if (point.x() < 0 || point.y() < 0 || point.x() >= 8 * kCell || point.y() >= 32 * kCell) return -1;
    return point.x() / kCell + 8 * (point.y() / kCell);
}

void CPaletteGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const COrvikDoc* doc = g_activeDoc;
    if (!doc || !doc->m_bBrushesMade) {
        DrawPlaceholder(painter, rect());
        return;
    }
    for (int i = 0; i < 256; ++i) {
        const int left = kCell * (i % 8);
        const int top = kCell * (i / 8);
        if (i == m_owner->m_foreIndex || i == m_owner->m_backIndex) {
            // The mark: the inverse colour with green and blue exchanged, around a smaller cell.
            const QColor& c = doc->m_hBrush[i];
            painter.fillRect(left, top, kCell, kCell, QColor(255 - c.red(), 255 - c.blue(), 255 - c.green()));
            FillEntryColour(painter, QRect(left + 2, top + 2, kCell - 4, kCell - 4), c, (kCell - 4) / 2);
        } else {
            FillEntryColour(painter, QRect(left, top, kCell, kCell), doc->m_hBrush[i], kCell / 2);
        }
    }
}

void CPaletteGrid::mousePressEvent(QMouseEvent* event) {
    const int index = IndexAt(event->position().toPoint());
    if (index < 0) return;
    if (event->button() == Qt::LeftButton) {
        m_owner->m_foreIndex = index;
        repaint();
        m_owner->m_foreSwatch->repaint();
    } else if (event->button() == Qt::RightButton) {
        m_owner->m_backIndex = index;
        repaint();
        m_owner->m_backSwatch->repaint();
    }
}

void CPaletteGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int index = IndexAt(event->position().toPoint());
    // The first press of the double click already made the cell the foreground colour.
    if (index >= 0 && g_activeDoc) m_owner->EditEntry(index);
}

// --- Swatches ------------------------------------------------------------------------------------

CPaletteSwatch::CPaletteSwatch(CColorPaletteDlg* owner, bool foreground)
    : QWidget(owner), m_owner(owner), m_bForeground(foreground) {
    setObjectName(QString::number(foreground ? IDC_FORE_SWATCH : IDC_BACK_SWATCH));
    setFixedSize(30, 30);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPaletteSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const COrvikDoc* doc = g_activeDoc;
    if (!doc || !doc->m_bBrushesMade) {
        DrawPlaceholder(painter, rect());
        return;
    }
    const int index = m_bForeground ? m_owner->m_foreIndex : m_owner->m_backIndex;
    FillEntryColour(painter, QRect(0, 0, 30, 30), doc->m_hBrush[index & 0xFF], 5);
}

// --- The bar's dialog ----------------------------------------------------------------------------

CColorPaletteDlg::CColorPaletteDlg(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::number(IDD_COLOR_PALETTE));
    setFixedSize(88, 380);
    m_grid = new CPaletteGrid(this);
    m_foreSwatch = new CPaletteSwatch(this, true);
    m_backSwatch = new CPaletteSwatch(this, false);
    // The foreground swatch overlaps the background one at its top left.
    m_grid->move(4, 58);
    m_backSwatch->move(44, 22);
    m_foreSwatch->move(14, 8);
    m_foreSwatch->raise();
}

void CColorPaletteDlg::Refresh() {
    m_grid->repaint();
    m_foreSwatch->repaint();
    m_backSwatch->repaint();
}

void CColorPaletteDlg::SetEntry(int index, int red, int green, int blue, int alpha) {
    COrvikDoc* doc = g_activeDoc;
    if (!doc || !doc->HasImage() || index < 0 || index > 255) return;
    const COrvikDoc::CCommandStep step(doc);
    doc->KeepPalette();
    RGBQUAD& entry = doc->m_pPalette[index];
    entry.rgbRed = static_cast<uint8_t>(std::clamp(red, 0, 255));
    entry.rgbGreen = static_cast<uint8_t>(std::clamp(green, 0, 255));
    entry.rgbBlue = static_cast<uint8_t>(std::clamp(blue, 0, 255));
    if (alpha >= 0 && doc->BitCount() == 8 && !doc->WriteEntryAlpha(index, alpha))
        OrvikMessage(
            tr("The colour's transparency could not be changed: %1.").arg(StatusText(ImageStatus::NoMemory)));
    doc->m_hBrush[index] =
        QColor(entry.rgbRed, entry.rgbGreen, entry.rgbBlue, EntryAlpha(doc->m_pEntryAlpha, index));
    Refresh();
    // An 8-bit image is drawn through its palette, which is saved with it.
    if (doc->BitCount() == 8) {
        doc->SetModifiedFlag();
        doc->ImageReplaced();
    }
}

void CColorPaletteDlg::EditEntry(int index) {
    COrvikDoc* doc = g_activeDoc;
    if (!doc || !doc->HasImage() || index < 0 || index > 255) return;
    QWidget* owner = theApp && theApp->m_mainFrame ? static_cast<QWidget*>(theApp->m_mainFrame) : window();
    QPointer<CColorEditDlg> dialog = new CColorEditDlg(this, owner);
    dialog->m_nIndex = index;
    dialog->DoModal();  // its OK applies the colour through SetEntry
    delete dialog;
}
