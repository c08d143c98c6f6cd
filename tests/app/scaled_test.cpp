// The views on a scaled screen. The program runs once for each scale factor (QT_SCALE_FACTOR is set
// before the application starts): every image pixel on the same whole number of device pixels, the
// pointer on the pixel drawn under it, windows fitted inside the workspace, artwork at the
// screen's size.
#include <QAction>
#include <QMdiArea>
#include <QMouseEvent>
#include <QToolBar>
#include <QWheelEvent>

#include <cmath>
#include <vector>

#include "app/child_frame.h"
#include "colour/color_palette_dlg.h"
#include "document/reduced_image.h"
#include "image_test_helpers.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/orvik_view2.h"

namespace {

double Scale() {
    return qApp->devicePixelRatio();
}

// A 24-bit picture whose pixels tell where they are: red the column, green the row.
COrvikDoc* NamedPixels(int width, int height) {
    COrvikDoc* doc = NewImage(QString::number(width), QString::number(height), kImage24Bit);
    if (!doc) return nullptr;
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = doc->m_pBits + row * doc->Stride() + 3 * x;
            p[0] = 77;
            p[1] = uint8_t(height - 1 - row);
            p[2] = uint8_t(x);
        }
    doc->UpdateAllViews();
    return doc;
}

QPoint NameOf(QRgb colour) {
    return {qRed(colour), qGreen(colour)};
}

// The main window as the screen shows it, one pixel a device pixel, and the device pixel of it that
// a pointer at client point `p` of `widget` lies in.
QImage Screen() {
    return GuiTest::Main()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}
QPoint DevicePixelUnder(QWidget* widget, QPointF p) {
    const QPointF at = widget->mapTo(GuiTest::Main(), p) * Scale();
    return {int(std::floor(at.x() + 1e-6)), int(std::floor(at.y() + 1e-6))};
}

void SendMouse(QWidget* widget, QEvent::Type type, QPointF p, Qt::MouseButtons buttons) {
    QMouseEvent event(type, p, widget->mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The device ratio of each level, smallest first, at the scale factors tested: a block size when
// reduced (negative), the device pixels of an image pixel otherwise.
std::vector<int> DeviceRatios() {
    if (std::abs(Scale() - 1) < 0.01) return {-32, -24, -16, -12, -8, -6, -4, -3, -2, 1, 6, 8, 16, 24, 32};
    if (std::abs(Scale() - 1.25) < 0.01)
        return {-26, -19, -13, -10, -6, -5, -3, -2, -2, 1, 8, 10, 20, 30, 40};
    if (std::abs(Scale() - 1.5) < 0.01) return {-21, -16, -11, -8, -5, -4, -3, -2, 1, 2, 9, 12, 24, 36, 48};
    if (std::abs(Scale() - 2) < 0.01) return {-16, -12, -8, -6, -4, -3, -2, -2, 1, 2, 12, 16, 32, 48, 64};
    return {};
}

}  // namespace

class ScaledScreenTest : public GuiTest {};

TEST_F(ScaledScreenTest, EveryLevelShowsWholeDevicePixels) {
    const std::vector<int> ratios = DeviceRatios();
    ASSERT_EQ(ratios.size(), size_t(kZoomLevelCount)) << "no expectations for scale " << Scale();
    COrvikDoc* doc = NamedPixels(250, 200);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    for (int i = 0; i < kZoomLevelCount; ++i) {
        view->ZoomTo(kZoomLevels[i]);
        view->CenterOn(120, 100);
        ProcessEvents();
        const QImage shot = Grab(view->viewport());
        ASSERT_GE(shot.width(), 40);
        SCOPED_TRACE(i);
        // The device pixel of the picture's top-left corner: a picture smaller than the view sits
        // in its middle.
        const QPoint o = view->Margin() * (ratios[i] < 0 ? 1 : ratios[i]);
        if (ratios[i] < 0) {
            // Each device pixel the mean of the same whole block.
            const int n = -ratios[i];
            const int cols = std::min(shot.width() - o.x(), (250 - view->m_nScrollX) / n);
            const int rows = std::min(shot.height() - o.y(), (200 - view->m_nScrollY) / n);
            std::vector<uint32_t> means(size_t(cols) * rows);
            const RECT blocks{view->m_nScrollX / n, view->m_nScrollY / n, view->m_nScrollX / n + cols,
                              view->m_nScrollY / n + rows};
            ReduceBlocks({doc->m_pHeader, doc->m_pPalette, doc->m_pBits}, nullptr, n, blocks, means.data(),
                         cols);
            for (int y = 0; y < rows; ++y)
                for (int x = 0; x < cols; ++x)
                    ASSERT_EQ(shot.pixel(o.x() + x, o.y() + y), means[size_t(y) * cols + x]) << x << "," << y;
            continue;
        }
        // Runs of one image pixel, all `ratio` device pixels long, across and down.
        const int m = ratios[i];
        for (int x = 0; x < std::min(shot.width() - o.x(), (250 - view->m_nScrollX) * m); ++x)
            ASSERT_EQ(NameOf(shot.pixel(o.x() + x, o.y())),
                      QPoint(view->m_nScrollX + x / m, view->m_nScrollY))
                << x;
        for (int y = 0; y < std::min(shot.height() - o.y(), (200 - view->m_nScrollY) * m); ++y)
            ASSERT_EQ(NameOf(shot.pixel(o.x(), o.y() + y)),
                      QPoint(view->m_nScrollX, view->m_nScrollY + y / m))
                << y;
    }
}

TEST_F(ScaledScreenTest, ThePointerTakesThePixelDrawnUnderIt) {
    COrvikDoc* doc = NamedPixels(250, 200);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    QWidget* surface = view->viewport();
    for (const ZoomLevel level : {kActualPixels, ZoomLevel{6, 1}, ZoomLevel{8, 1}}) {
        view->ZoomTo(level);
        ProcessEvents();
        const QImage screen = Screen();
        for (double y = 3; y < 7; y += 0.25)
            for (double x = 10; x < 14; x += 0.25) {
                const QPointF p(x, y);
                ASSERT_EQ(view->ClientToImage(p), NameOf(screen.pixel(DevicePixelUnder(surface, p))))
                    << level.zoom << " at " << x << "," << y;
            }
    }
    // The brush paints that pixel.
    const QPointF at(11.75, 4.75);
    const QPoint under = NameOf(Screen().pixel(DevicePixelUnder(surface, at)));
    Main()->m_wndPaletteDlg->m_foreIndex = 0;
    SendMouse(surface, QEvent::MouseButtonPress, at, Qt::LeftButton);
    SendMouse(surface, QEvent::MouseButtonRelease, at, Qt::NoButton);
    const uint8_t* painted = doc->m_pBits + (199 - under.y()) * doc->Stride() + 3 * under.x();
    EXPECT_EQ(painted[0] + painted[1] + painted[2], 0);

    // Ctrl + wheel keeps the pixel under the pointer under it.
    for (const int notches : {-1, 2}) {
        const QPointF point(23.6, 17.4);
        const QPoint before = NameOf(Screen().pixel(DevicePixelUnder(surface, point)));
        QWheelEvent wheel(point, surface->mapToGlobal(point), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(surface, &wheel);
        ProcessEvents();
        EXPECT_EQ(NameOf(Screen().pixel(DevicePixelUnder(surface, point))), before) << notches;
    }

    // The actual-size pane's picture follows the pointer.
    view->ZoomTo(ZoomLevel{16, 1});
    ProcessEvents();
    COrvikView2* pane = doc->m_pView2;
    QWidget* panel = pane->viewport();
    ASSERT_GT(pane->m_nMaxScrollX, 20);
    const QPointF from(12.7, 8.3);
    const QPoint grabbed = NameOf(Screen().pixel(DevicePixelUnder(panel, from)));
    SendMouse(panel, QEvent::MouseButtonPress, from, Qt::LeftButton);
    const QPointF to(4.2, 8.3);
    SendMouse(panel, QEvent::MouseMove, to, Qt::LeftButton);
    SendMouse(panel, QEvent::MouseButtonRelease, to, Qt::NoButton);
    ProcessEvents();
    EXPECT_EQ(NameOf(Screen().pixel(DevicePixelUnder(panel, to))), grabbed);
}

TEST_F(ScaledScreenTest, FittedWindowsStayInsideTheWorkspace) {
    const auto inside = [](COrvikDoc* doc) {
        const QRect room(QPoint(0, 0), Main()->m_mdiArea->viewport()->size());
        return room.contains(doc->m_pChildFrame->geometry());
    };
    // A small picture (about 160 x 100 window pixels at 1:1): the window shows all of it, without
    // hatch or scroll bars.
    const int ratio = DeviceRatios()[9];
    const int width = int(160 * Scale() / ratio);
    const int height = int(100 * Scale() / ratio);
    COrvikDoc* small = NamedPixels(width, height);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->m_pView->m_nMaxScrollX + small->m_pView->m_nMaxScrollY, 0);
    const QImage shot = Grab(small->m_pView->viewport());
    EXPECT_EQ(NameOf(shot.pixel(shot.width() - 1, shot.height() - 1)), QPoint(width - 1, height - 1));
    EXPECT_TRUE(inside(small));
    // Large ones, opened and zoomed with the palette docked on either side.
    for (const Qt::DockWidgetArea side : {Qt::LeftDockWidgetArea, Qt::RightDockWidgetArea}) {
        Main()->addDockWidget(side, Main()->m_wndColorBar);
        ProcessEvents();
        COrvikDoc* doc = NewImage("3000", "2000", kImage8Bit);
        ASSERT_NE(doc, nullptr);
        EXPECT_TRUE(inside(doc)) << side;
        Main()->RouteCommand(ID_VIEW_ZOOM_OUT);
        Main()->RouteCommand(ID_VIEW_ZOOM_IN);
        Main()->RouteCommand(ID_VIEW_ZOOM_IN);
        EXPECT_TRUE(inside(doc)) << side;
    }
}

TEST_F(ScaledScreenTest, ButtonsAndCursorsAtTheScreensSize) {
    // Buttons: the larger drawing where the screen has twice the pixels (in between Qt chooses).
    QAction* brush = Main()->Action(ID_TOOL_BRUSH);
    const QPixmap icon = brush->icon().pixmap(QSize(16, 15), Scale());
    if (Scale() >= 2) {
        EXPECT_EQ(icon.size(), QSize(32, 30));
        // Drawn for the size, not the small one doubled.
        const QImage small = brush->icon().pixmap(QSize(16, 15), 1.0).toImage().scaled(32, 30);
        EXPECT_NE(icon.toImage().convertToFormat(small.format()), small);
    }
    // Cursors: the larger drawing from 1.5 on, its hot spot where the smaller one has it.
    const bool large = Scale() >= 1.5;
    COrvikDoc* doc = NewImage("40", "40", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    QTest::mouseMove(doc->m_pView->viewport(), QPoint(10, 10));
    const QCursor cursor = doc->m_pView->viewport()->cursor();
    EXPECT_EQ(cursor.pixmap().devicePixelRatio(), large ? 2.0 : 1.0);
    EXPECT_EQ(cursor.pixmap().deviceIndependentSize(), QSizeF(32, 32));
    EXPECT_EQ(cursor.hotSpot(), QPoint(7, 8));
}

// Transparent pixels show grey and white squares of 8 device pixels, counted from the image's
// top-left corner, at every level and in both panes; a half-transparent one shows them through its
// colour, an opaque one exactly its colour.
TEST_F(ScaledScreenTest, TransparencyOverTheCheckerboardOfDevicePixels) {
    const std::vector<int> ratios = DeviceRatios();
    ASSERT_EQ(ratios.size(), size_t(kZoomLevelCount));
    COrvikDoc* doc = NewImage("200", "120", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    GuiTest::Main()->m_wndPaletteDlg->SetEntry(200, 0, 0, 0, 0);
    GuiTest::Main()->m_wndPaletteDlg->SetEntry(201, 255, 0, 0, 128);
    for (int row = 0; row < 120; ++row)
        for (int x = 0; x < 200; ++x)
            doc->m_pBits[row * doc->Stride() + x] = x >= 40 && x < 80 ? 201 : x >= 120 && x < 160 ? 1 : 200;
    doc->ImageReplaced();
    const auto expected = [&](int x, int deviceX, int deviceY) -> QRgb {
        const uint32_t checker = CheckerColour(deviceX, deviceY);
        if (x >= 40 && x < 80) return OverOpaque(0x80FF0000, checker);
        if (x >= 120 && x < 160) return 0xFF000000u | PaletteColour(doc->m_pPalette[1]);
        return checker;
    };
    COrvikView* view = doc->m_pView;
    for (const int i : {8, 9, 10, 12}) {
        SCOPED_TRACE(i);
        view->ZoomTo(kZoomLevels[i]);
        view->CenterOn(100, 60);
        ProcessEvents();
        const QImage shot = Grab(view->viewport());
        const int r = ratios[i];
        // Device pixels per image pixel, or image pixels per device pixel when reduced.
        const auto imageX = [&](int dx) {
            return r < 0 ? view->m_nScrollX + dx * -r : view->m_nScrollX + dx / r;
        };
        const QPoint origin = r < 0 ? QPoint(view->m_nScrollX / -r, view->m_nScrollY / -r)
                                    : QPoint(view->m_nScrollX * r, view->m_nScrollY * r);
        // From the picture's top-left device pixel (it sits in the middle of a larger view).
        const QPoint o = view->Margin() * (r < 0 ? 1 : r);
        for (int y = 0; y < std::min(shot.height() - o.y(), 40); ++y)
            for (int x = 0; x < shot.width() - o.x() && imageX(x) < 200; ++x)
                ASSERT_EQ(shot.pixel(o.x() + x, o.y() + y),
                          expected(imageX(x), x + origin.x(), y + origin.y()))
                    << x << "," << y;
        if (r <= 1) continue;
        // The actual-size pane beside it, at 1:1 from its own scroll position.
        COrvikView2* pane = doc->m_pView2;
        const QImage actual = Grab(pane->viewport());
        const int m = ratios[9];
        for (int y = 0; y < std::min(actual.height(), 40); ++y)
            for (int x = 0; x < std::min(actual.width(), (200 - pane->m_nScrollX) * m); ++x)
                ASSERT_EQ(actual.pixel(x, y), expected(pane->m_nScrollX + x / m, x + pane->m_nScrollX * m,
                                                       y + pane->m_nScrollY * m))
                    << x << "," << y;
    }
}
