// The "Colors" docking bar: its sizes and frame docked on either side and floating, its buttons,
// the gripper's drag and double click, corner resizing, and the View command's toggle.
#include <QAction>
#include <QMdiArea>
#include <QMouseEvent>
#include <QTest>

#include "app/dock_dialog_bar.h"
#include "colour/color_palette_dlg.h"
#include "gui_test.h"
#include "res/resource.h"

namespace {

CDockDialogBar* Bar() {
    return GuiTest::Main()->m_wndColorBar;
}

bool Checked() {
    GuiTest::Main()->UpdateCommandUI();
    return GuiTest::Main()->Action(ID_VIEW_COLOR_PALETTE)->isChecked();
}

// A left click at a point of the bar's frame (bar coordinates), on the strip that holds it.
void ClickFrame(QPoint point) {
    QWidget* part =
        Bar()->Title()->geometry().contains(point) ? static_cast<QWidget*>(Bar()->Title()) : Bar()->Client();
    QTest::mouseClick(part, Qt::LeftButton, {}, point - part->pos());
    ProcessEvents();
}

// A double click as the window system sends it: press, release, double click, release, all on
// the strip under the point when the first press came.
void DoubleClickFrame(QPoint point) {
    QWidget* part =
        Bar()->Title()->geometry().contains(point) ? static_cast<QWidget*>(Bar()->Title()) : Bar()->Client();
    const QPoint at = point - part->pos();
    QTest::mousePress(part, Qt::LeftButton, {}, at);
    QTest::mouseRelease(part, Qt::LeftButton, {}, at);
    QTest::mouseDClick(part, Qt::LeftButton, {}, at);
    QTest::mouseRelease(part, Qt::LeftButton, {}, at);
    ProcessEvents();
}

QPoint DialogPos() {
    return Bar()->Dialog()->mapTo(Bar(), QPoint(0, 0));
}

// A left-button event with both of its points given.
void SendMouse(QWidget* widget, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, global, button, buttons, {});
    QApplication::sendEvent(widget, &event);
}

}  // namespace

class DockBarTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Main()->resize(800, 600);
        ProcessEvents();
    }
};

TEST_F(DockBarTest, StartsDockedLeftAsThickAsItsDialog) {
    CDockDialogBar* bar = Bar();
    EXPECT_EQ(bar->windowTitle(), "Colors");
    EXPECT_EQ(Main()->dockWidgetArea(bar), Qt::LeftDockWidgetArea);
    EXPECT_EQ(bar->Side(), DockSide::Left);
    EXPECT_FALSE(bar->isFloating());
    EXPECT_EQ(bar->Dialog(), Main()->m_wndPaletteDlg);
    const QSize dialog = bar->Dialog()->size();
    EXPECT_EQ(dialog, QSize(88, 380));
    EXPECT_EQ(bar->m_floatSize, dialog);
    EXPECT_EQ(bar->m_vertSize, QSize(97, 380));
    EXPECT_EQ(bar->m_horzSize, QSize(88, 389));
    // It spans its side, beside the document area, and is its dialog's width plus 9.
    const int w = bar->width();
    const int h = bar->height();
    EXPECT_EQ(w, 88 + 9);
    EXPECT_EQ(bar->geometry().top(), Main()->m_mdiArea->geometry().top());
    EXPECT_EQ(h, Main()->m_mdiArea->height());
    EXPECT_LT(bar->geometry().right(), Main()->m_mdiArea->geometry().left());
    // Gripper strip 20 high across the top with the buttons at its right end; the dialog 3 in
    // from the left under it; the raised edge on the right.
    EXPECT_EQ(bar->Title()->geometry(), QRect(0, 0, w, 20));
    EXPECT_EQ(DialogPos(), QPoint(3, 20));
    EXPECT_EQ(bar->m_gripperRect, RectLTRB(0, 0, w - 40, 20));
    EXPECT_EQ(bar->m_closeRect, RectLTRB(w - 21, 7, w - 10, 18));
    EXPECT_EQ(bar->m_undockRect, RectLTRB(w - 34, 7, w - 23, 18));
    EXPECT_EQ(bar->m_edgeRect, RectLTRB(w - 6, 0, w, h));

    const QImage shot = Grab(bar);
    EXPECT_EQ(shot.pixel(w - 6, 100), bar->m_hiliteColor.rgb());  // the edge's lit side
    EXPECT_EQ(shot.pixel(w - 1, 100), bar->m_shadowColor.rgb());
    EXPECT_EQ(shot.pixel(w - 3, 100), bar->m_backColor.rgb());
    EXPECT_EQ(shot.pixel(20, 10), bar->m_hiliteColor.rgb());  // the grip lines
    EXPECT_EQ(shot.pixel(20, 12), bar->m_shadowColor.rgb());
    EXPECT_EQ(shot.pixel(20, 14), bar->m_hiliteColor.rgb());
    EXPECT_EQ(shot.pixel(20, 16), bar->m_shadowColor.rgb());
    EXPECT_EQ(shot.pixel(0, 100), bar->m_shadowColor.rgb());  // the thin border
    EXPECT_EQ(shot.pixel(1, 100), bar->m_backColor.rgb());
    // Both buttons are drawn with a dark glyph inside.
    for (const QRect& button : {bar->m_closeRect, bar->m_undockRect}) {
        int dark = 0;
        for (int y = button.top(); y <= button.bottom(); ++y)
            for (int x = button.left(); x <= button.right(); ++x)
                dark += qGray(shot.pixel(x, y)) < 60;
        EXPECT_GT(dark, 3);
    }
}

TEST_F(DockBarTest, DockedRightTheEdgeFacesLeft) {
    CDockDialogBar* bar = Bar();
    Main()->addDockWidget(Qt::RightDockWidgetArea, bar);
    ProcessEvents();
    EXPECT_EQ(Main()->dockWidgetArea(bar), Qt::RightDockWidgetArea);
    EXPECT_EQ(bar->Side(), DockSide::Right);
    const int w = bar->width();
    const int h = bar->height();
    EXPECT_EQ(w, 97);
    EXPECT_EQ(h, Main()->m_mdiArea->height());
    EXPECT_GT(bar->geometry().left(), Main()->m_mdiArea->geometry().right());
    EXPECT_EQ(DialogPos(), QPoint(6, 20));
    EXPECT_EQ(bar->m_edgeRect, RectLTRB(0, 0, 6, h));
    EXPECT_EQ(bar->m_closeRect, RectLTRB(w - 21, 7, w - 10, 18));
    const QImage shot = Grab(bar);
    EXPECT_EQ(shot.pixel(0, 100), bar->m_hiliteColor.rgb());
    EXPECT_EQ(shot.pixel(5, 100), bar->m_shadowColor.rgb());
    EXPECT_EQ(shot.pixel(w - 1, 100), bar->m_shadowColor.rgb());  // thin border on the outside
}

TEST_F(DockBarTest, FloatButtonFloatsAtTheDialogsSizeAndTheCaptionDocksAgain) {
    CDockDialogBar* bar = Bar();
    ClickFrame(bar->m_undockRect.center());
    ASSERT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->Side(), DockSide::Floating);
    const int cap = bar->m_smallCaption;
    // The client is the dialog's size, inside a 2-pixel frame under the small caption.
    EXPECT_EQ(bar->Dialog()->size(), QSize(88, 380));
    EXPECT_EQ(bar->Client()->size().shrunkBy(bar->ClientMargins()), QSize(88, 380));
    EXPECT_EQ(bar->size(), FloatWindowSize(QSize(88, 380), cap));
    EXPECT_EQ(DialogPos(), QPoint(kFloatFrame, kFloatFrame + cap));
    // No gripper, buttons or edge while floating.
    EXPECT_TRUE(bar->m_edgeRect.isEmpty());
    EXPECT_TRUE(bar->m_closeRect.isEmpty() && bar->m_undockRect.isEmpty() && bar->m_gripperRect.isEmpty());
    const QImage shot = Grab(bar);
    const QRect caption = FloatCaptionRect(bar->size(), cap);
    EXPECT_EQ(shot.pixel(caption.left() + 1, caption.bottom()),
              bar->palette().color(QPalette::Active, QPalette::Highlight).rgb());
    EXPECT_TRUE(Checked());

    // A double click on the caption docks it where it was.
    DoubleClickFrame(caption.center() - QPoint(20, 0));
    EXPECT_FALSE(bar->isFloating());
    EXPECT_EQ(Main()->dockWidgetArea(bar), Qt::LeftDockWidgetArea);
    EXPECT_EQ(bar->Side(), DockSide::Left);
    EXPECT_EQ(bar->width(), 97);
    EXPECT_EQ(DialogPos(), QPoint(3, 20));

    // Floating again keeps the floating size.
    DoubleClickFrame(QPoint(10, 10));  // on the gripper
    ASSERT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->size(), FloatWindowSize(QSize(88, 380), cap));
    DoubleClickFrame(QPoint(1, 1));  // on the floating frame's corner: nothing
    EXPECT_TRUE(bar->isFloating());
}

TEST_F(DockBarTest, DoubleClicksOffTheGripperDoNothingMore) {
    CDockDialogBar* bar = Bar();
    DoubleClickFrame(QPoint(bar->width() - 38, 5));  // between the gripper and the buttons
    EXPECT_FALSE(bar->isFloating());
    EXPECT_TRUE(bar->isVisible());
    // The float button floats at the first press; the second leaves it floating.
    DoubleClickFrame(bar->m_undockRect.center());
    EXPECT_TRUE(bar->isFloating());
    bar->ToggleDocking();
    ProcessEvents();
    // The close button hides at the first press; the second does not float it.
    DoubleClickFrame(bar->m_closeRect.center());
    EXPECT_FALSE(bar->isFloating());
    EXPECT_FALSE(bar->isVisible());
    bar->ShowBar();
    ProcessEvents();
    // Below the dialog the bar's own background floats it, as the gripper does.
    ASSERT_GT(bar->height(), 20 + 380 + 10);
    DoubleClickFrame(QPoint(40, 20 + 380 + 5));
    EXPECT_TRUE(bar->isFloating());
}

TEST_F(DockBarTest, DockedAlongTheTopTheGripperRunsDownTheLeftEnd) {
    CDockDialogBar* bar = Bar();
    bar->setAllowedAreas(Qt::AllDockWidgetAreas);
    Main()->addDockWidget(Qt::TopDockWidgetArea, bar);
    ProcessEvents();
    EXPECT_EQ(bar->Side(), DockSide::Top);
    const int h = bar->height();
    EXPECT_EQ(h, 380 + 9);
    EXPECT_EQ(bar->width(), Main()->m_mdiArea->width());
    EXPECT_EQ(bar->Title()->geometry(), QRect(0, 0, 20, h));
    EXPECT_EQ(DialogPos(), QPoint(20, 3));
    EXPECT_EQ(bar->m_edgeRect, RectLTRB(0, h - 6, bar->width(), h));
    EXPECT_EQ(bar->m_closeRect, RectLTRB(7, 10, 19, 22));
    EXPECT_EQ(bar->m_undockRect, RectLTRB(7, 23, 19, 35));
    EXPECT_EQ(bar->m_gripperRect, RectLTRB(0, 40, 20, h));
    ClickFrame(bar->m_undockRect.center());
    EXPECT_TRUE(bar->isFloating());
}

TEST_F(DockBarTest, CloseButtonsHideAndTheViewCommandShowsItWhereItWas) {
    CDockDialogBar* bar = Bar();
    EXPECT_TRUE(Checked());
    ClickFrame(bar->m_closeRect.center());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(Checked());
    Main()->RouteCommand(ID_VIEW_COLOR_PALETTE);
    ProcessEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(Checked());
    EXPECT_EQ(Main()->dockWidgetArea(bar), Qt::LeftDockWidgetArea);
    EXPECT_EQ(bar->width(), 97);

    // Floating, the caption's close button hides it and the command brings it back floating.
    bar->ToggleDocking();
    ProcessEvents();
    ASSERT_TRUE(bar->isFloating());
    const QPoint place = bar->pos();
    ClickFrame(FloatCloseRect(bar->size(), bar->m_smallCaption).center());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(Checked());
    Main()->RouteCommand(ID_VIEW_COLOR_PALETTE);
    ProcessEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->pos(), place);
    EXPECT_TRUE(Checked());
    // The command hides it again; showing it another way brings the check mark back.
    Main()->RouteCommand(ID_VIEW_COLOR_PALETTE);
    EXPECT_FALSE(Checked());
    bar->ShowBar();
    EXPECT_TRUE(Checked());
}

TEST_F(DockBarTest, DraggingTheGripperFloatsOrMovesItToTheOtherSide) {
    CDockDialogBar* bar = Bar();
    QWidget* title = bar->Title();
    const QPoint press(10, 8);
    QTest::mousePress(title, Qt::LeftButton, {}, press);
    // Far into the document area: it floats and follows the mouse.
    const QPoint target = Main()->m_mdiArea->mapToGlobal(QPoint(200, 150));
    QTest::mouseMove(title, title->mapFromGlobal(target));
    QTest::mouseMove(title, title->mapFromGlobal(target + QPoint(5, 5)));
    EXPECT_TRUE(bar->isFloating());
    QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->mapFromGlobal(target + QPoint(5, 5)));
    ProcessEvents();
    EXPECT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->Side(), DockSide::Floating);
    EXPECT_EQ(bar->size(), FloatWindowSize(QSize(88, 380), bar->m_smallCaption));

    // Dragging its caption to the main window's right edge docks it there.
    const QPoint grip = FloatCaptionRect(bar->size(), bar->m_smallCaption).center() - QPoint(20, 0);
    QTest::mousePress(title, Qt::LeftButton, {}, grip - title->pos());
    const QRect area = Main()->m_mdiArea->geometry();
    const QPoint rightEdge = Main()->mapToGlobal(QPoint(area.right() - 5, area.center().y()));
    for (int step = 1; step <= 4; ++step) {
        const QPoint at = bar->mapToGlobal(grip) + (rightEdge - bar->mapToGlobal(grip)) * step / 4;
        QTest::mouseMove(bar, bar->mapFromGlobal(at));
    }
    QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->mapFromGlobal(rightEdge));
    // The main window animates the bar into its place.
    EXPECT_TRUE(
        QTest::qWaitFor([bar] { return !bar->isFloating() && bar->Side() == DockSide::Right; }, 3000));
    ProcessEvents();
    EXPECT_EQ(Main()->dockWidgetArea(bar), Qt::RightDockWidgetArea);
    EXPECT_EQ(bar->width(), 97);
    EXPECT_EQ(DialogPos(), QPoint(6, 20));
    // Floated again, it still has its dialog's size: the animation's sizes are not kept.
    bar->ToggleDocking();
    ProcessEvents();
    EXPECT_EQ(bar->m_floatSize, QSize(88, 380));
    EXPECT_EQ(bar->size(), FloatWindowSize(QSize(88, 380), bar->m_smallCaption));
}

TEST_F(DockBarTest, FloatingCornersResizeWithinTheLeastSize) {
    CDockDialogBar* bar = Bar();
    bar->ToggleDocking();
    ProcessEvents();
    ASSERT_TRUE(bar->isFloating());
    bar->move(300, 200);
    ProcessEvents();
    const FloatMetrics m = bar->Metrics();
    EXPECT_GE(m.minWidth, 32);
    EXPECT_GE(m.minHeight, 32);
    // Presses `from` (bar coordinates) and drags to `to` (screen). The events carry their screen
    // points from the bar's geometry, which is what the window moves by.
    auto drag = [bar](QPoint from, QPoint to) {
        QWidget* part =
            bar->Title()->geometry().contains(from) ? static_cast<QWidget*>(bar->Title()) : bar->Client();
        const QPoint origin = bar->geometry().topLeft() + part->pos();  // the part's screen position
        const QPoint globalFrom = origin + from - part->pos();
        SendMouse(part, QEvent::MouseButtonPress, globalFrom - origin, globalFrom, Qt::LeftButton);
        for (const QPoint& at : {globalFrom + (to - globalFrom) / 2, to})
            SendMouse(part, QEvent::MouseMove, at - origin, at, Qt::LeftButton);
        SendMouse(part, QEvent::MouseButtonRelease, to - origin, to, Qt::NoButton);
        ProcessEvents();
    };
    // Bottom-right corner up and left past the top-left corner: the least size exactly.
    QRect start = bar->geometry();
    drag(QPoint(bar->width() - 1, bar->height() - 1), start.topLeft() - QPoint(50, 50));
    EXPECT_EQ(bar->m_floatSize, QSize(m.minWidth, m.minHeight));
    EXPECT_EQ(bar->geometry().topLeft(), start.topLeft());
    EXPECT_EQ(bar->size(), FloatWindowSize(bar->m_floatSize, m.caption));
    // The dialog, larger than the client now, is cut off there: the frame stays visible.
    EXPECT_EQ(bar->Client()->View()->size(), bar->m_floatSize);
    const QImage shot = Grab(bar);
    const QRgb outer = bar->palette().color(QPalette::Shadow).rgb();
    EXPECT_EQ(shot.pixel(bar->width() - 1, bar->height() / 2), outer);
    EXPECT_EQ(shot.pixel(bar->width() / 2, bar->height() - 1), outer);
    EXPECT_EQ(shot.pixel(bar->width() - 2, bar->height() / 2), bar->m_shadowColor.rgb());

    // Bottom-right out again: the corner follows the cursor.
    start = bar->geometry();
    drag(QPoint(bar->width() - 1, bar->height() - 1), start.topLeft() + QPoint(150, 300));
    EXPECT_EQ(bar->geometry().topLeft(), start.topLeft());
    EXPECT_NEAR(bar->geometry().right(), start.left() + 150, 4);
    EXPECT_NEAR(bar->geometry().bottom(), start.top() + 300, 4);

    // Top-left corner down and right past the bottom-right one: 3 and 1 under the least size,
    // the right and bottom edges staying.
    start = bar->geometry();
    drag(QPoint(0, 0), start.bottomRight() + QPoint(40, 40));
    EXPECT_EQ(bar->m_floatSize, QSize(m.minWidth - 3, m.minHeight - 1));
    EXPECT_EQ(bar->geometry().right(), start.right());
    EXPECT_EQ(bar->geometry().bottom(), start.bottom());

    // Top-left out again: the left and top edges follow the cursor, the others stay.
    start = bar->geometry();
    drag(QPoint(1, 1), start.topLeft() - QPoint(60, 70));
    EXPECT_NEAR(bar->geometry().left(), start.left() - 60, 2);
    EXPECT_NEAR(bar->geometry().top(), start.top() - 70, 2);
    EXPECT_EQ(bar->geometry().right(), start.right());
    EXPECT_EQ(bar->geometry().bottom(), start.bottom());
    EXPECT_EQ(bar->size(), FloatWindowSize(bar->m_floatSize, m.caption));

    // Docked and floated again, it comes back at the last floating size.
    const QSize last = bar->m_floatSize;
    bar->ToggleDocking();
    ProcessEvents();
    EXPECT_EQ(bar->width(), 97);
    bar->ToggleDocking();
    ProcessEvents();
    EXPECT_EQ(bar->m_floatSize, last);
    EXPECT_EQ(bar->size(), FloatWindowSize(last, m.caption));
}

TEST_F(DockBarTest, NothingIsDecoratedBeforeTheBarIsPlaced) {
    CDockDialogBar bar;
    EXPECT_EQ(bar.Side(), DockSide::None);
    EXPECT_TRUE(bar.m_edgeRect.isEmpty());
    EXPECT_TRUE(bar.m_closeRect.isEmpty() && bar.m_undockRect.isEmpty() && bar.m_gripperRect.isEmpty());
    EXPECT_EQ(bar.HitTest(QPoint(5, 5)), kHitNowhere);
    EXPECT_FALSE(bar.Create(nullptr, nullptr, "Colors", Qt::LeftDockWidgetArea));
    EXPECT_EQ(bar.m_floatSize, QSize(200, 200));
}
