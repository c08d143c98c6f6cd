// Zooming out below 1:1, Fit in Window, the wheel, and drawing and painting while zoomed out.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "app/child_frame.h"
#include "colour/color_palette_dlg.h"
#include "document/pixel_routines.h"
#include "image_test_helpers.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/orvik_view2.h"

namespace {

// A key with Ctrl; a dialog that closed leaves no active window behind.
void Key(int key) {
    QApplication::setActiveWindow(GuiTest::Main());
    QTest::keyClick(GuiTest::Main(), Qt::Key(key), Qt::ControlModifier);
}

void Wheel(COrvikView* view, QPoint at, QPoint angle, Qt::KeyboardModifiers modifiers = {}) {
    QWheelEvent event(at, view->viewport()->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &event);
}

// The colour of top-down pixel (x, y) as the screen shows it at 1:1.
QRgb Shown(const COrvikDoc* doc, int x, int y) {
    const int row = doc->Height() - 1 - y;
    if (doc->BitCount() == 24) return 0xFF000000 | GetPixel24(doc->m_pBits, x, row, doc->Stride());
    const RGBQUAD& c = doc->m_pPalette[doc->m_pBits[row * doc->Stride() + x]];
    return qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

// The rounded mean of the n x n block at (bx, by), what the view shows for it at 1:n.
QRgb BlockMean(const COrvikDoc* doc, int n, int bx, int by) {
    int sums[3] = {0, 0, 0}, count = 0;
    for (int y = by * n; y < std::min(by * n + n, doc->Height()); ++y)
        for (int x = bx * n; x < std::min(bx * n + n, doc->Width()); ++x, ++count) {
            const QRgb c = Shown(doc, x, y);
            sums[0] += qRed(c), sums[1] += qGreen(c), sums[2] += qBlue(c);
        }
    return qRgb((sums[0] + count / 2) / count, (sums[1] + count / 2) / count, (sums[2] + count / 2) / count);
}

}  // namespace

class ZoomTest : public GuiTest {};

TEST_F(ZoomTest, MenuAndKeysStepThroughEveryLevel) {
    COrvikDoc* doc = NewPatternDocument(150, 80, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    QStringList items;
    for (QAction* action : Main()->menuBar()->actions().value(2)->menu()->actions())
        items << action->text();
    EXPECT_EQ(items.mid(5), (QStringList{"", "Zoom In\tCtrl++", "Zoom Out\tCtrl+-", "Fit in Window\tCtrl+0",
                                         "Actual Pixels\tCtrl+1"}));
    CChildFrame* frame = doc->m_pChildFrame;
    QStringList titles;
    for (int i = 0; i < 10; ++i) {
        Key(Qt::Key_Minus);
        titles << doc->GetTitle();
        EXPECT_FALSE(doc->m_pView2->isVisible());
    }
    EXPECT_EQ(titles, (QStringList{"Orvik1 [1:2]", "Orvik1 [1:3]", "Orvik1 [1:4]", "Orvik1 [1:6]",
                                   "Orvik1 [1:8]", "Orvik1 [1:12]", "Orvik1 [1:16]", "Orvik1 [1:24]",
                                   "Orvik1 [1:32]", "Orvik1 [1:32]"}));
    EXPECT_FALSE(CommandEnabled(ID_VIEW_ZOOM_OUT));
    // The frame is fitted to the reduced image, as far as a window can shrink.
    EXPECT_EQ(frame->size(), frame->minimumSize());
    Key(Qt::Key_1);
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [1:1]");
    EXPECT_EQ(doc->m_pView->viewport()->size(), QSize(150, 80));
    Key(Qt::Key_Minus);
    Key(Qt::Key_Minus);
    EXPECT_EQ(doc->m_pView->viewport()->height(), 27);
    Key(Qt::Key_Equal);
    Key(Qt::Key_Plus);
    Key(Qt::Key_Plus);
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [6:1]");
    EXPECT_TRUE(doc->m_pView2->isVisible());
    Key(Qt::Key_Plus);
    Key(Qt::Key_Plus);
    Key(Qt::Key_Plus);
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [16:1]");
    EXPECT_FALSE(CommandEnabled(ID_VIEW_ZOOM_IN));
    doc->SetTitle("scan[2].bmp");
    Key(Qt::Key_1);
    Key(Qt::Key_Minus);
    EXPECT_EQ(doc->GetTitle(), "scan[1:2]");
    EXPECT_FALSE(doc->m_pView2->isVisible());
}

TEST_F(ZoomTest, ZoomToolBelowActualPixels) {
    COrvikDoc* doc = NewPatternDocument(2000, 1500, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    Main()->RouteCommand(ID_TOOL_ZOOM);
    // A click on the view's centre; the pixel there afterwards.
    const auto click = [view](Qt::MouseButton button) {
        const QPoint centre(view->viewport()->width() / 2, view->viewport()->height() / 2);
        QTest::mouseClick(view->viewport(), button, {}, centre);
        return view->ClientToImage(view->viewport()->width() / 2, view->viewport()->height() / 2);
    };
    click(Qt::RightButton);  // at 1:1 the right button does nothing
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [1:1]");
    for (int i = 0; i < 2; ++i)
        Main()->RouteCommand(ID_VIEW_ZOOM_OUT);
    view->CenterOn(1000, 750);
    const QPoint pixel = click(Qt::RightButton);
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [1:4]");
    // Each click steps one level and centres the block clicked.
    for (const char* title : {"Orvik1 [1:3]", "Orvik1 [1:2]", "Orvik1 [1:1]", "Orvik1 [6:1]"}) {
        const QPoint centre = click(Qt::LeftButton);
        EXPECT_EQ(doc->GetTitle(), title);
        EXPECT_LE((centre - pixel).manhattanLength(), 8) << title;
    }
    EXPECT_TRUE(doc->m_pView2->isVisible());
    for (int i = 0; i < 20; ++i)
        Main()->RouteCommand(ID_VIEW_ZOOM_OUT);
    click(Qt::RightButton);  // at 1:32: nothing further
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [1:32]");
}

TEST_F(ZoomTest, FitInWindowOnWideTallTinyAndEndlessImages) {
    for (const QSize size : {QSize(3000, 100), QSize(90, 2500), QSize(3, 2), QSize(65535, 2)}) {
        COrvikDoc* doc = NewImage(QString::number(size.width()), QString::number(size.height()), kImage8Bit);
        ASSERT_NE(doc, nullptr);
        COrvikView* view = doc->m_pView;
        const QSize frame = doc->m_pChildFrame->size();
        Key(Qt::Key_0);
        EXPECT_EQ(doc->m_pChildFrame->size(), frame);
        EXPECT_EQ(doc->m_pView2->isVisible(), view->Level().zoom > 1);
        // The whole image shows, and one step further in (the window keeping its size) it would not.
        if (size.width() == 65535) {
            EXPECT_EQ(view->Level(), kZoomLevels[0]);
            EXPECT_GT(view->m_nMaxScrollX, 0);
        } else {
            EXPECT_EQ(view->m_nMaxScrollX + view->m_nMaxScrollY, 0);
            Wheel(view, {1, 1}, {0, 120}, Qt::ControlModifier);
            EXPECT_GT(view->m_nMaxScrollX + view->m_nMaxScrollY, 0) << view->Level().zoom;
        }
        CloseWithoutSaving(doc);
    }
}

TEST_F(ZoomTest, WheelScrollsAndCtrlWheelZoomsAroundThePointer) {
    COrvikDoc* doc = NewPatternDocument(3000, 2000, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    const int notch = QApplication::wheelScrollLines() * 20;
    Wheel(view, {30, 30}, {0, -120});
    EXPECT_EQ(view->m_nScrollY, notch);
    Wheel(view, {30, 30}, {0, -120}, Qt::ShiftModifier);
    Wheel(view, {30, 30}, {-60, 0});
    EXPECT_EQ(view->m_nScrollX, notch * 3 / 2);
    QApplication::setWheelScrollLines(1);
    Wheel(view, {30, 30}, {0, 120});
    EXPECT_EQ(view->m_nScrollY, notch - 20);
    Wheel(view, {30, 30}, {0, 120});

    // The pixel in the middle of the block under the pointer stays under it, to 1:3 and back
    // through 1:1 to 6:1, where the new pane moves the view under the pointer.
    const QSize frame = doc->m_pChildFrame->size();
    QPoint at(view->viewport()->width() - 40, view->viewport()->height() / 2);
    view->CenterOn(1500, 1000);
    for (const int notches : {-1, -1, 3}) {
        const int before = view->Level().shrink;
        const QPoint middle = view->ClientToImage(at.x(), at.y()) + QPoint(1, 1) * (before / 2);
        const QPoint place = view->viewport()->mapTo(Main(), at);
        Wheel(view, at, {0, 120 * notches}, Qt::ControlModifier);
        at = view->viewport()->mapFrom(Main(), place);
        const int n = view->Level().shrink;
        EXPECT_TRUE(QRect(view->ClientToImage(at.x(), at.y()), QSize(n, n)).contains(middle)) << n;
        if (n == 3) {
            // Below 1:1 a notch scrolls the desktop's lines in window pixels, the bars one and ten.
            const int y = view->m_nScrollY;
            Wheel(view, at, {0, -120});
            EXPECT_EQ(view->m_nScrollY, y + 20 * 3);
            EXPECT_EQ(view->verticalScrollBar()->singleStep(), 3);
            EXPECT_EQ(view->verticalScrollBar()->pageStep(), 30);
            view->verticalScrollBar()->setValue(y + 31);
            EXPECT_EQ(view->m_nScrollY, y + 30);
            Wheel(view, at, {0, 120});
            view->verticalScrollBar()->setValue(y);
        }
    }
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [6:1]");
    EXPECT_TRUE(doc->m_pView2->isVisible());
    EXPECT_EQ(doc->m_pChildFrame->size(), frame);
    const int y = view->m_nScrollY;
    Wheel(view, at, {0, -120});
    EXPECT_EQ(view->m_nScrollY, y + 20 / 6);
    QApplication::setWheelScrollLines(3);
}

TEST_F(ZoomTest, DrawnBlocksAreMeansAndFollowEveryEdit) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = NewPatternDocument(61, 45, type);
        ASSERT_NE(doc, nullptr);
        COrvikView* view = doc->m_pView;
        Main()->RouteCommand(ID_VIEW_ZOOM_OUT);
        const auto expectShown = [&](const char* when) {
            const QImage shot = Grab(view->viewport());
            for (int y = 0; y < 23; ++y)
                for (int x = 0; x < 31; ++x)
                    ASSERT_EQ(shot.pixel(x, y), BlockMean(doc, 2, x, y)) << when << " " << x << "," << y;
            EXPECT_EQ(shot.pixel(31, 0), qRgb(255, 255, 255));  // the hatch, one window pixel wide
            EXPECT_EQ(shot.pixel(32, 0), qRgb(100, 0, 0));
        };
        expectShown("first");
        Main()->m_wndPaletteDlg->m_foreIndex = 200;
        Main()->RouteCommand(ID_TOOL_BRUSH);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(7, 9));
        expectShown("dab");
        // Lifted, moved two blocks and dropped: drawn reduced while it floats, then in the image.
        Main()->RouteCommand(ID_TOOL_SELECT);
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseMove(view->viewport(), QPoint(9, 11));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(9, 11));
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(view->viewport(), QPoint(5, 5));
        QTest::mouseMove(view->viewport(), QPoint(7, 5));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(7, 5));
        ASSERT_TRUE(doc->HasFloat());
        const QRgb floating = Grab(view->viewport()).pixel(6, 4);
        EXPECT_EQ(Grab(view->viewport()).pixel(3, 5), BlockMean(doc, 2, 3, 5));  // left behind by the lift
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        EXPECT_FALSE(doc->HasFloat());
        expectShown("drop");
        EXPECT_EQ(BlockMean(doc, 2, 6, 4), floating);
        CloseWithoutSaving(doc);
    }
}

TEST_F(ZoomTest, ToolGesturesAtOneToFourLandOnTheirPixels) {
    COrvikDoc* doc = NewImage("2000", "1200", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    QWidget* surface = view->viewport();
    Main()->RouteCommand(ID_VIEW_ZOOM_OUT);
    Main()->RouteCommand(ID_VIEW_ZOOM_OUT);
    Main()->RouteCommand(ID_VIEW_ZOOM_OUT);
    ASSERT_EQ(doc->GetTitle(), "Orvik1 [1:4]");
    view->ScrollBy(-10000, -10000);
    Main()->m_wndPaletteDlg->m_foreIndex = 9;
    const auto painted = [doc](int x, int y) {
        return doc->m_pBits[(doc->Height() - 1 - y) * doc->Stride() + x];
    };

    Main()->RouteCommand(ID_TOOL_BRUSH);
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseMove(surface, QPoint(10, 5));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(10, 5));
    EXPECT_EQ(Main()->PaneText(0), "(40 , 20)");
    Main()->RouteCommand(ID_TOOL_RECT);
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(surface, QPoint(30, 25));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(30, 25));
    Main()->RouteCommand(ID_TOOL_LINE);
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseMove(surface, QPoint(45, 41));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(45, 41));
    // The same gestures at 1:1 on the top-left pixels of the blocks.
    COrvikDoc* same = NewImage("2000", "1200", kImage8Bit);
    ASSERT_NE(same, nullptr);
    same->m_pView->PaintLine(12, 12, 40, 20, true);
    same->m_pView->m_rcDrag = RECT{80, 80, 120, 100};
    same->m_pView->PaintRect(true);
    same->m_pView->PaintLine(160, 160, 180, 164, true);
    EXPECT_EQ(std::memcmp(doc->m_pBits, same->m_pBits, doc->Stride() * 1200), 0);
    CloseWithoutSaving(same);

    // The fill starts at the block's top-left pixel, on the rectangle's left side; the selection's
    // corners are block corners.
    Main()->m_wndPaletteDlg->m_foreIndex = 5;
    Main()->RouteCommand(ID_TOOL_FILL);
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(20, 22));
    EXPECT_EQ(painted(80, 88), 5);
    EXPECT_EQ(painted(120, 100), 5);
    EXPECT_EQ(painted(81, 88), 0);
    Main()->RouteCommand(ID_TOOL_SELECT);
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(surface, QPoint(60, 55));
    EXPECT_EQ(Main()->PaneText(0), "(200 , 200) -> (240 , 220) = (40 , 20)");
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(60, 55));
    EXPECT_EQ(view->m_rcSelection.right, 240);
    // A drag past the edge scrolls a block per window pixel outside, as a pixel at 1:1.
    ASSERT_GE(view->m_nMaxScrollX, 12);
    view->m_bDragging = true;
    view->ClientToImage(view->viewport()->width() + 3, 10);
    EXPECT_EQ(view->m_nScrollX, 12);
    view->m_bDragging = false;
}
