// Zooming out below 1:1, Fit in Window, the wheel, and drawing and painting while zoomed out.
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QWheelEvent>

#include <string>
#include <vector>

#include "app/child_frame.h"
#include "colour/color_palette_dlg.h"
#include "image_test_helpers.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/orvik_view2.h"

namespace {

// A key with Ctrl ('-' is Qt::Key_Minus); a dialog that closed leaves no active window behind.
void Key(int key) {
    QApplication::setActiveWindow(GuiTest::Main());
    QTest::keyClick(GuiTest::Main(), Qt::Key(key), Qt::ControlModifier);
}

void Wheel(COrvikView* view, QPoint at, int notches, Qt::KeyboardModifiers modifiers = {},
           bool across = false) {
    const QPoint angle = across ? QPoint(120 * notches, 0) : QPoint(0, 120 * notches);
    QWheelEvent event(at, view->viewport()->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &event);
}

void Drag(QWidget* surface, QPoint from, QPoint to) {
    QTest::mousePress(surface, Qt::LeftButton, {}, from);
    QTest::mouseMove(surface, to);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
}

}  // namespace

class ZoomTest : public GuiTest {};

TEST_F(ZoomTest, TitlesStepsAndLimitsOfTheMenuKeysAndZoomTool) {
    COrvikDoc* doc = NewPatternDocument(2000, 1500, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    QStringList items;
    for (QAction* action : Main()->menuBar()->actions().value(2)->menu()->actions())
        items << action->text();
    EXPECT_EQ(items.mid(5, 5), (QStringList{"", "Zoom In\tCtrl++", "Zoom Out\tCtrl+-",
                                            "Fit in Window\tCtrl+0", "Actual Pixels\tCtrl+1"}));
    QStringList titles;
    for (const char key : std::string(10, '-') + "1=+++++") {
        Key(key);
        titles << doc->GetTitle().mid(7);
        EXPECT_EQ(doc->m_pView2->isVisible(), view->Level().zoom > 1);
        if (view->Level() == ZoomLevel{1, 8}) {
            EXPECT_EQ(view->viewport()->height(), 188);  // the frame fitted to the zoomed image
        }
    }
    EXPECT_EQ(titles.join(' '),
              "[1:2] [1:3] [1:4] [1:6] [1:8] [1:12] [1:16] [1:24] [1:32] [1:32] [1:1] [6:1] "
              "[8:1] [16:1] [24:1] [32:1] [32:1]");
    EXPECT_FALSE(CommandEnabled(ID_VIEW_ZOOM_IN));
    Key('1');
    Key('-');

    // The zoom tool: at 1:1 its right click does nothing; below, one level a click, centred on it.
    Main()->RouteCommand(ID_TOOL_ZOOM);
    view->CenterOn(1000, 750);
    const QPoint middle(view->viewport()->width() / 2, view->viewport()->height() / 2);
    const QPoint pixel = view->ClientToImage(middle.x(), middle.y());
    for (const char* step : {"R[1:3]", "L[1:2]", "L[1:1]", "R[1:1]", "L[6:1]"}) {
        QTest::mouseClick(view->viewport(), step[0] == 'L' ? Qt::LeftButton : Qt::RightButton, {}, middle);
        EXPECT_EQ(doc->GetTitle().mid(7), step + 1);
        const QPoint centre(view->viewport()->width() / 2, view->viewport()->height() / 2);
        EXPECT_LE((view->ClientToImage(centre.x(), centre.y()) - pixel).manhattanLength(), 6) << step;
    }
    doc->SetTitle("scan[2].bmp");
    for (int i = 0; i < 13; ++i)
        Main()->RouteCommand(ID_VIEW_ZOOM_OUT);
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, middle);
    EXPECT_EQ(doc->GetTitle(), "scan[1:32]");
}

TEST_F(ZoomTest, FitInWindowOnWideTallTinyAndEndlessImages) {
    for (const QSize size : {QSize(3000, 100), QSize(90, 2500), QSize(3, 2), QSize(65535, 2)}) {
        COrvikDoc* doc = NewImage(QString::number(size.width()), QString::number(size.height()), kImage8Bit);
        ASSERT_NE(doc, nullptr);
        COrvikView* view = doc->m_pView;
        const QSize frame = doc->m_pChildFrame->size();
        Key('0');
        EXPECT_EQ(doc->m_pChildFrame->size(), frame);
        EXPECT_EQ(doc->m_pView2->isVisible(), view->Level().zoom > 1);
        // The whole image shows, and one step further in (the window keeping its size) it would not.
        if (size.width() == 65535) {
            EXPECT_EQ(view->Level(), kZoomLevels[0]);
        } else {
            EXPECT_EQ(view->m_nMaxScrollX + view->m_nMaxScrollY, 0);
            Wheel(view, {1, 1}, 1, Qt::ControlModifier);
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
    Wheel(view, {30, 30}, -1);
    Wheel(view, {30, 30}, -1, Qt::ShiftModifier);
    Wheel(view, {30, 30}, -2, {}, true);
    EXPECT_EQ(view->m_nScrollY, notch);
    EXPECT_EQ(view->m_nScrollX, notch * 3);
    QApplication::setWheelScrollLines(1);

    // The pixel in the middle of the block under the pointer stays under it, to 1:3 and back
    // through 1:1 to 6:1, where the new pane moves the view under the pointer.
    const QSize frame = doc->m_pChildFrame->size();
    QPoint at(view->viewport()->width() - 40, view->viewport()->height() / 2);
    view->CenterOn(1500, 1000);
    for (const int notches : {-1, -1, 3}) {
        const int before = view->Level().shrink;
        const QPoint middle = view->ClientToImage(at.x(), at.y()) + QPoint(1, 1) * (before / 2);
        const QPoint place = view->viewport()->mapTo(Main(), at);
        Wheel(view, at, notches, Qt::ControlModifier);
        at = view->viewport()->mapFrom(Main(), place);
        const int n = view->Level().shrink;
        EXPECT_TRUE(QRect(view->ClientToImage(at.x(), at.y()), QSize(n, n)).contains(middle)) << n;
        if (n == 3) {
            // A notch scrolls the desktop's lines in window pixels; the bars step a block, and a
            // page a screenful less a little.
            const int y = view->m_nScrollY;
            Wheel(view, at, -1);
            EXPECT_EQ(view->m_nScrollY, y + 20 * 3);
            view->ScrollBy(-view->m_nScrollX, 0);
            const int screen = view->viewport()->width() * 3;
            view->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
            const int page = view->m_nScrollX;
            EXPECT_TRUE(page % 3 == 0 && page >= screen * 8 / 10 && page < screen) << page << " " << screen;
            view->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
            EXPECT_EQ(view->m_nScrollX, page - 3);
            view->verticalScrollBar()->setValue(y + 1);  // a thumb drag stops at whole blocks
            EXPECT_EQ(view->m_nScrollY, y);
        }
    }
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [6:1]");
    EXPECT_EQ(doc->m_pChildFrame->size(), frame);
    const int y = view->m_nScrollY;
    Wheel(view, at, -1);
    EXPECT_EQ(view->m_nScrollY, y + 20 / 6);
    QApplication::setWheelScrollLines(3);
}

TEST_F(ZoomTest, DrawnBlocksAreMeansAndFollowEveryEdit) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = NewPatternDocument(61, 45, type);
        ASSERT_NE(doc, nullptr);
        QWidget* surface = doc->m_pView->viewport();
        Main()->m_currentTool = ID_TOOL_BRUSH;
        Main()->RouteCommand(ID_VIEW_ZOOM_OUT);
        // Client points from the picture's top-left corner, which sits in the middle of the view.
        const QPoint o = ViewPoint(doc, {0, 0});
        // The means as the core computes them (tested there against plain averaging).
        const auto expectShown = [&](const char* when) {
            std::vector<uint32_t> means(31 * 23);
            ReduceBlocks({doc->m_pHeader, doc->m_pPalette, doc->m_pBits}, nullptr, 2, RECT{0, 0, 31, 23},
                         means.data(), 31);
            const QImage shot = Grab(surface);
            for (int y = 0; y < 23; ++y)
                for (int x = 0; x < 31; ++x)
                    ASSERT_EQ(shot.pixel(o + QPoint(x, y)), means[y * 31 + x])
                        << when << " " << x << "," << y;
            // The hatch right after the picture, one window pixel a block.
            for (const QPoint p :
                 {o + QPoint(31, 0), o + QPoint(31, 22), o + QPoint(-1, 0), o + QPoint(0, -1)})
                if (shot.rect().contains(p))
                    EXPECT_TRUE(shot.pixel(p) == qRgb(255, 255, 255) || shot.pixel(p) == qRgb(100, 0, 0))
                        << when;
        };
        expectShown("first");
        Main()->m_wndPaletteDlg->m_foreIndex = 200;
        QTest::mouseClick(surface, Qt::LeftButton, {}, o + QPoint(7, 9));
        expectShown("dab");
        // Lifted, moved two blocks and dropped: drawn reduced while it floats, then in the image.
        Main()->RouteCommand(ID_TOOL_SELECT);
        Drag(surface, o + QPoint(3, 3), o + QPoint(9, 11));
        QTest::mousePress(surface, Qt::LeftButton, {}, o + QPoint(5, 5));
        QTest::mouseMove(surface, o + QPoint(5, 5));
        QTest::mouseMove(surface, o + QPoint(7, 5));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, o + QPoint(7, 5));
        ASSERT_TRUE(doc->HasFloat());
        const QImage floating = Grab(surface);
        QTest::mouseClick(surface, Qt::LeftButton, {}, o + QPoint(20, 20));
        EXPECT_FALSE(doc->HasFloat());
        expectShown("drop");
        EXPECT_EQ(Grab(surface).pixel(o + QPoint(6, 4)), floating.pixel(o + QPoint(6, 4)));
        EXPECT_EQ(Grab(surface).pixel(o + QPoint(3, 5)),
                  floating.pixel(o + QPoint(3, 5)));  // left behind by the lift
        // Undo and redo reach the reduced copies too: the float comes back, then the lift goes.
        Main()->RouteCommand(ID_EDIT_UNDO);
        ASSERT_TRUE(doc->HasFloat());
        EXPECT_EQ(Grab(surface), floating);
        Main()->RouteCommand(ID_EDIT_UNDO);
        Main()->RouteCommand(ID_EDIT_UNDO);
        QTest::mouseClick(surface, Qt::LeftButton, {}, o + QPoint(20, 20));  // the selection's frame goes
        expectShown("undone to before the dab");
        Main()->RouteCommand(ID_EDIT_REDO);
        expectShown("dab redone");
        CloseWithoutSaving(doc);
    }
}

TEST_F(ZoomTest, ToolGesturesAtOneToFourLandOnTheirPixels) {
    COrvikDoc* doc = NewImage("2000", "1200", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    QWidget* surface = view->viewport();
    for (int i = 0; i < 3; ++i)
        Main()->RouteCommand(ID_VIEW_ZOOM_OUT);
    ASSERT_EQ(view->Level(), (ZoomLevel{1, 4}));
    view->ScrollBy(-10000, -10000);
    Main()->m_wndPaletteDlg->m_foreIndex = 9;
    Drag(surface, QPoint(3, 3), QPoint(10, 5));
    EXPECT_EQ(Main()->PaneText(0), "(40 , 20)");
    Main()->RouteCommand(ID_TOOL_RECT);
    Drag(surface, QPoint(20, 20), QPoint(30, 25));
    Main()->RouteCommand(ID_TOOL_LINE);
    Drag(surface, QPoint(40, 40), QPoint(45, 41));
    // The same gestures at 1:1 on the top-left pixels of the blocks.
    COrvikDoc* same = NewImage("2000", "1200", kImage8Bit);
    ASSERT_NE(same, nullptr);
    same->m_pView->PaintLine(12, 12, 40, 20, true);
    same->m_pView->m_rcDrag = RECT{80, 80, 120, 100};
    same->m_pView->PaintRect(true);
    same->m_pView->PaintLine(160, 160, 180, 164, true);
    EXPECT_EQ(std::memcmp(doc->m_pBits, same->m_pBits, doc->Stride() * 1200), 0);
    CloseWithoutSaving(same);

    // The fill starts at the block's top-left pixel, on the rectangle's left side.
    const auto pixel = [doc](int x, int y) { return doc->m_pBits[(1199 - y) * doc->Stride() + x]; };
    Main()->m_wndPaletteDlg->m_foreIndex = 5;
    Main()->RouteCommand(ID_TOOL_FILL);
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(20, 22));
    EXPECT_EQ(pixel(120, 100), 5);
    EXPECT_EQ(pixel(81, 88), 0);
    Main()->RouteCommand(ID_TOOL_SELECT);
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(surface, QPoint(60, 55));
    EXPECT_EQ(Main()->PaneText(0), "(200 , 200) -> (240 , 220) = (40 , 20)");
    // A drag past the edge scrolls a block per window pixel outside, as a pixel at 1:1.
    ASSERT_GE(view->m_nMaxScrollX, 12);
    QTest::mouseMove(surface, QPoint(surface->width() + 3, 55));
    EXPECT_EQ(view->m_nScrollX, 12);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(surface->width() + 3, 55));
}
