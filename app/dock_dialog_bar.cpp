#include "app/dock_dialog_bar.h"

#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>

#include <algorithm>

namespace {

// The bar draws its own frame, so the dock widget's style frame around a floating bar goes.
class CDockBarStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_DockWidgetFrameWidth) return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QStyle* DockBarStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new CDockBarStyle;
        style->setParent(qApp);  // outlives every bar
    }
    return style;
}

DockSide SideOf(Qt::DockWidgetArea area) {
    switch (area) {
        case Qt::LeftDockWidgetArea:
            return DockSide::Left;
        case Qt::RightDockWidgetArea:
            return DockSide::Right;
        case Qt::TopDockWidgetArea:
            return DockSide::Top;
        case Qt::BottomDockWidgetArea:
            return DockSide::Bottom;
        default:
            return DockSide::None;
    }
}

// Top and left lines in `topLeft`, bottom and right lines in `bottomRight`, one pixel wide.
void Draw3dRect(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    if (r.width() <= 0 || r.height() <= 0) return;
    painter.fillRect(r.x(), r.y(), r.width() - 1, 1, topLeft);
    painter.fillRect(r.x(), r.y(), 1, r.height() - 1, topLeft);
    painter.fillRect(r.x() + r.width() - 1, r.y(), 1, r.height(), bottomRight);
    painter.fillRect(r.x(), r.y() + r.height() - 1, r.width(), 1, bottomRight);
}

enum class CaptionGlyph { Close, Maximise };

// A small raised caption button with a close cross or a maximise box.
void DrawCaptionButton(QPainter& painter, const QRect& r, CaptionGlyph glyph, const QPalette& palette) {
    if (r.width() < 4 || r.height() < 4) return;
    painter.fillRect(r, palette.color(QPalette::Button));
    Draw3dRect(painter, r, palette.color(QPalette::Light), palette.color(QPalette::Shadow));
    Draw3dRect(painter, r.adjusted(1, 1, -1, -1), palette.color(QPalette::Light),
               palette.color(QPalette::Dark));
    const QColor ink = palette.color(QPalette::ButtonText);
    const int n = std::max(std::min(r.width(), r.height()) - 6, 2);  // glyph size
    const int x0 = r.x() + (r.width() - n) / 2;
    const int y0 = r.y() + (r.height() - n) / 2;
    if (glyph == CaptionGlyph::Close) {
        // Two diagonals, two pixels thick.
        for (int i = 0; i < n; ++i) {
            const int width = i + 1 < n ? 2 : 1;
            painter.fillRect(x0 + i, y0 + i, width, 1, ink);
            painter.fillRect(x0 + n - i - width, y0 + i, width, 1, ink);
        }
    } else {
        // A window outline with a thick top.
        painter.fillRect(x0, y0, n, 2, ink);
        painter.fillRect(x0, y0, 1, n, ink);
        painter.fillRect(x0 + n - 1, y0, 1, n, ink);
        painter.fillRect(x0, y0 + n - 1, n, 1, ink);
    }
}

Qt::CursorShape CursorFor(int hit) {
    switch (hit) {
        case kHitTopLeft:
        case kHitBottomRight:
            return Qt::SizeFDiagCursor;
        case kHitTopRight:
        case kHitBottomLeft:
            return Qt::SizeBDiagCursor;
        case kHitLeft:
        case kHitRight:
            return Qt::SizeHorCursor;
        case kHitTop:
        case kHitBottom:
            return Qt::SizeVerCursor;
        default:
            return Qt::ArrowCursor;
    }
}

}  // namespace

// --- The strips ------------------------------------------------------------------------------------

CDockBarTitle::CDockBarTitle(CDockDialogBar* bar) : QWidget(bar), m_bar(bar) {
    setMouseTracking(true);
}

QSize CDockBarTitle::sizeHint() const {
    switch (m_bar->Side()) {
        case DockSide::Floating:
            return QSize(0, kFloatFrame + m_bar->m_smallCaption);
        case DockSide::Top:
        case DockSide::Bottom:
            return QSize(kGripperWidth, 0);
        case DockSide::Left:
        case DockSide::Right:
            return QSize(0, kGripperWidth);
        case DockSide::None:
            break;
    }
    return QSize(0, 0);
}

void CDockBarTitle::mousePressEvent(QMouseEvent* event) {
    // Ignored events go on to the dock widget, which drags the bar.
    if (event->button() != Qt::LeftButton ||
        !m_bar->OnFramePress(event->position().toPoint() + pos(), event->globalPosition().toPoint()))
        event->ignore();
}

void CDockBarTitle::mouseMoveEvent(QMouseEvent* event) {
    if (!m_bar->OnFrameMove(this, event->position().toPoint() + pos(), event->globalPosition().toPoint(),
                            event->buttons() & Qt::LeftButton))
        event->ignore();
}

void CDockBarTitle::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_bar->OnFrameRelease()) event->ignore();
}

void CDockBarTitle::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_bar->OnFrameDoubleClick(event->position().toPoint() + pos(), kHitCaption);
}

CDockBarClient::CDockBarClient(CDockDialogBar* bar) : QWidget(bar), m_bar(bar), m_view(new QWidget(this)) {
    setMouseTracking(true);
}

QSize CDockBarClient::sizeHint() const {
    const QMargins m = m_bar->ClientMargins();
    const QSize dialog = m_bar->Side() == DockSide::Floating ? m_bar->m_floatSize
                         : m_bar->Dialog()                   ? m_bar->Dialog()->size()
                                                             : QSize(0, 0);
    return dialog.grownBy(m);
}

void CDockBarClient::FitDialog() {
    m_view->setGeometry(rect().marginsRemoved(m_bar->ClientMargins()));
    if (QWidget* dialog = m_bar->Dialog()) dialog->setGeometry(m_view->rect());
}

void CDockBarClient::resizeEvent(QResizeEvent*) {
    FitDialog();
}

void CDockBarClient::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_bar->OnFramePress(event->position().toPoint() + pos(), event->globalPosition().toPoint());
}

void CDockBarClient::mouseMoveEvent(QMouseEvent* event) {
    m_bar->OnFrameMove(this, event->position().toPoint() + pos(), event->globalPosition().toPoint(),
                       event->buttons() & Qt::LeftButton);
}

void CDockBarClient::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_bar->OnFrameRelease();
}

void CDockBarClient::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click on the bar's own background floats or docks it, as on the gripper.
    if (event->button() == Qt::LeftButton)
        m_bar->OnFrameDoubleClick(event->position().toPoint() + pos(), kHitNowhere);
}

// --- The bar ---------------------------------------------------------------------------------------

CDockDialogBar::CDockDialogBar(QWidget* parent) : QDockWidget(parent) {
    setStyle(DockBarStyle());
    const QPalette& colours = palette();
    m_hiliteColor = colours.color(QPalette::Light);
    m_shadowColor = colours.color(QPalette::Dark);
    m_backColor = colours.color(QPalette::Button);
    QFont captionFont = font();
    captionFont.setBold(true);
    const QFontMetrics metrics(captionFont);
    m_smallCaption = std::max(15, metrics.height() + 4);
    m_floatMinHeight = m_minSize.height();
    m_floatMinWidth = m_minSize.width();

    m_title = new CDockBarTitle(this);
    m_client = new CDockBarClient(this);
    setTitleBarWidget(m_title);
    setWidget(m_client);
    setFeatures(DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable);
    connect(this, &QDockWidget::topLevelChanged, this, [this] { UpdateFrame(); });
    connect(this, &QDockWidget::dockLocationChanged, this, [this] { UpdateFrame(); });
}

bool CDockDialogBar::Create(QMainWindow* parent, QWidget* dialog, const QString& title,
                            Qt::DockWidgetAreas areas) {
    if (!parent || !dialog) return false;
    setParent(parent);
    setWindowTitle(title);
    setAllowedAreas(areas);
    m_dialog = dialog;
    dialog->setParent(m_client->View());
    dialog->show();
    // The floating caption holds the title and the close button.
    QFont captionFont = font();
    captionFont.setBold(true);
    m_floatMinWidth =
        std::max(m_minSize.width(), QFontMetrics(captionFont).horizontalAdvance(title) + 8 + m_smallCaption);

    const QSize size = dialog->size();
    const int frame = kEdgeWidth + kBarBorder;
    m_floatSize = size;
    m_horzSize = QSize(size.width(), size.height() + frame);
    m_vertSize = QSize(size.width() + frame, size.height());
    UpdateFrame();
    return true;
}

void CDockDialogBar::ToggleDocking() {
    if (features() & DockWidgetFloatable) setFloating(!isFloating());
}

QMargins CDockDialogBar::ClientMargins() const {
    if (m_dockSide == DockSide::Floating) return QMargins(kFloatFrame, 0, kFloatFrame, kFloatFrame);
    // The strip across the top (or down the left end) holds the gripper.
    const QMargins m = BarFrameFor(m_dockSide, size()).client;
    if (m_dockSide == DockSide::Top || m_dockSide == DockSide::Bottom)
        return QMargins(m.left() - kGripperWidth, m.top(), m.right(), m.bottom());
    if (m_dockSide == DockSide::Left || m_dockSide == DockSide::Right)
        return QMargins(m.left(), m.top() - kGripperWidth, m.right(), m.bottom());
    return m;
}

FloatMetrics CDockDialogBar::Metrics() const {
    return FloatMetrics{m_floatMinWidth, m_floatMinHeight, m_smallCaption, kBarBorder, kBarBorder};
}

void CDockDialogBar::UpdateFrame() {
    const DockSide before = m_dockSide;
    if (isFloating()) {
        m_dockSide = DockSide::Floating;
    } else {
        auto* main = qobject_cast<QMainWindow*>(parentWidget());
        m_dockSide = main ? SideOf(main->dockWidgetArea(this)) : DockSide::None;
    }
    const bool across = m_dockSide == DockSide::Top || m_dockSide == DockSide::Bottom;
    setFeatures(across ? features() | DockWidgetVerticalTitleBar : features() & ~DockWidgetVerticalTitleBar);

    // Docked, the bar is as thick as its dialog and frame and spans its side; floating, its
    // client is the floating size, which the corners change.
    const QSize unlimited(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    switch (m_dockSide) {
        case DockSide::Left:
        case DockSide::Right:
            m_client->setMinimumSize(m_vertSize.width(), 0);
            m_client->setMaximumSize(m_vertSize.width(), QWIDGETSIZE_MAX);
            break;
        case DockSide::Top:
        case DockSide::Bottom:
            m_client->setMinimumSize(0, m_horzSize.height());
            m_client->setMaximumSize(QWIDGETSIZE_MAX, m_horzSize.height());
            break;
        case DockSide::Floating:
        case DockSide::None:
            m_client->setMinimumSize(0, 0);
            m_client->setMaximumSize(unlimited);
            break;
    }
    m_title->updateGeometry();
    m_client->updateGeometry();
    if (layout()) layout()->activate();  // the bar's own limits follow the client's now
    if (m_dockSide == DockSide::Floating && before != DockSide::Floating)
        resize(FloatWindowSize(m_floatSize, m_smallCaption));
    UpdateLayoutRects();
    m_client->FitDialog();
    update();
}

void CDockDialogBar::UpdateLayoutRects() {
    const BarFrame frame = BarFrameFor(m_dockSide, size());
    m_edgeRect = frame.edge;
    m_borders = frame.borders;
    const GripperLayout gripper = GripperLayoutFor(m_dockSide, size());
    m_gripperRect = gripper.gripper;
    m_closeRect = gripper.close;
    m_undockRect = gripper.undock;
    m_gripLines[0] = gripper.lines[0];
    m_gripLines[1] = gripper.lines[1];
}

void CDockDialogBar::resizeEvent(QResizeEvent* event) {
    QDockWidget::resizeEvent(event);
    UpdateLayoutRects();
    // The floating size stays: only the bar's own corners change it (the main window also
    // resizes a floating bar while it animates it into a dock).
}

void CDockDialogBar::changeEvent(QEvent* event) {
    QDockWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        m_hiliteColor = palette().color(QPalette::Light);
        m_shadowColor = palette().color(QPalette::Dark);
        m_backColor = palette().color(QPalette::Button);
    }
}

int CDockDialogBar::HitTest(QPoint point) const {
    if (m_dockSide == DockSide::Floating) return FloatHitTest(size(), point, m_smallCaption);
    return DockedHitTest(GripperLayout{m_gripperRect, m_closeRect, m_undockRect, {}}, point);
}

bool CDockDialogBar::OnFramePress(QPoint point, QPoint globalPoint) {
    const int hit = HitTest(point);
    m_nPressHit = hit;
    switch (hit) {
        case kHitSysMenu:
        case kHitClose:
            HideBar();
            return true;
        case kHitMinButton:
            ToggleDocking();
            return true;
        case kHitCaption:
            m_bPassedOn = true;
            return false;  // the dock widget drags the bar
        case kHitNowhere:
            return true;
        default:
            break;
    }
    // A corner or an edge of the floating window.
    m_resizeHit = hit;
    m_resizeStart = geometry();
    m_resizeOffset = FloatGrabPoint(hit, m_resizeStart) - globalPoint;
    return true;
}

bool CDockDialogBar::OnFrameDoubleClick(QPoint point, int toggleHit) {
    // A button did its work with the double click's first press; so did a corner.
    if (IsResizing() || HitTest(point) != toggleHit || m_nPressHit != toggleHit) return false;
    ToggleDocking();
    return true;
}

bool CDockDialogBar::OnFrameMove(QWidget* part, QPoint point, QPoint globalPoint, bool leftDown) {
    if (IsResizing()) {
        if (!leftDown) {
            m_resizeHit = kHitNowhere;
            return true;
        }
        const FloatResize next =
            ResizeFloating(m_resizeHit, globalPoint + m_resizeOffset, m_resizeStart, m_floatSize, Metrics());
        m_floatSize = next.client;
        setGeometry(next.window);
        return true;
    }
    // A drag on the gripper or the caption belongs to the dock widget.
    if (m_bPassedOn) {
        if (leftDown) return false;
        m_bPassedOn = false;
    }
    part->setCursor(CursorFor(HitTest(point)));
    return true;
}

bool CDockDialogBar::OnFrameRelease() {
    if (m_bPassedOn) {
        m_bPassedOn = false;
        return false;
    }
    m_resizeHit = kHitNowhere;
    return true;
}

// --- Painting --------------------------------------------------------------------------------------

void CDockDialogBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_backColor);
    if (m_dockSide == DockSide::Floating)
        PaintFloating(painter);
    else if (m_dockSide != DockSide::None)
        PaintDocked(painter);
}

void CDockDialogBar::PaintDocked(QPainter& painter) {
    const int w = width();
    const int h = height();
    if (m_borders & kBorderLeft) painter.fillRect(0, 0, 1, h, m_shadowColor);
    if (m_borders & kBorderTop) painter.fillRect(0, 0, w, 1, m_shadowColor);
    if (m_borders & kBorderRight) painter.fillRect(w - 1, 0, 1, h, m_shadowColor);
    if (m_borders & kBorderBottom) painter.fillRect(0, h - 1, w, 1, m_shadowColor);
    Draw3dRect(painter, m_edgeRect, m_hiliteColor, m_shadowColor);
    for (const QRect& line : m_gripLines)
        Draw3dRect(painter, line, m_hiliteColor, m_shadowColor);
    DrawCaptionButton(painter, m_closeRect, CaptionGlyph::Close, palette());
    DrawCaptionButton(painter, m_undockRect, CaptionGlyph::Maximise, palette());
}

void CDockDialogBar::PaintFloating(QPainter& painter) {
    const QPalette& colours = palette();
    Draw3dRect(painter, rect(), colours.color(QPalette::Light), colours.color(QPalette::Shadow));
    Draw3dRect(painter, rect().adjusted(1, 1, -1, -1), m_hiliteColor, m_shadowColor);
    const QRect caption = FloatCaptionRect(size(), m_smallCaption);
    painter.fillRect(caption, colours.color(QPalette::Active, QPalette::Highlight));
    QFont captionFont = font();
    captionFont.setBold(true);
    painter.setFont(captionFont);
    painter.setPen(colours.color(QPalette::Active, QPalette::HighlightedText));
    const QRect close = FloatCloseRect(size(), m_smallCaption);
    const QRect text = caption.adjusted(4, 0, -(caption.right() - close.left() + 4), 0);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, windowTitle());
    DrawCaptionButton(painter, close, CaptionGlyph::Close, colours);
}
