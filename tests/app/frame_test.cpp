// The main frame's placement, the recent-file list, the bars and the progress control.
#include <QAction>
#include <QDockWidget>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "app/main_frame.h"
#include "gui_test.h"
#include "res/resource.h"

namespace {

void WritePlacement(int status, int top, int left, int bottom, int right) {
    QSettings settings;
    settings.beginGroup("Frame");
    settings.setValue("Status", status);
    settings.setValue("Top", top);
    settings.setValue("Left", left);
    settings.setValue("Bottom", bottom);
    settings.setValue("Right", right);
}

void Restart() {
    theApp->ExitInstance();
    ASSERT_TRUE(theApp->InitInstance({}));
    ProcessEvents();
}

}  // namespace

class FrameTest : public GuiTest {};

TEST_F(FrameTest, PlacementIsWrittenOnCloseAndRestored) {
    QSettings settings;
    EXPECT_FALSE(settings.contains("Frame/Status"));
    Main()->setGeometry(40, 50, 700, 500);
    ProcessEvents();
    Main()->close();
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(settings.value("Frame/Status").toInt(), 1);
    EXPECT_EQ(settings.value("Frame/Left").toInt(), 40 - work.left());
    EXPECT_EQ(settings.value("Frame/Top").toInt(), 50 - work.top());
    EXPECT_EQ(settings.value("Frame/Right").toInt(), 740 - work.left());
    EXPECT_EQ(settings.value("Frame/Bottom").toInt(), 550 - work.top());

    WritePlacement(1, 30, 20, 630, 720);
    Restart();
    EXPECT_EQ(Main()->geometry(), QRect(20 + work.left(), 30 + work.top(), 700, 600));
    EXPECT_EQ(theApp->m_nCmdShow, 1);

    WritePlacement(3, 30, 20, 630, 620);
    Restart();
    EXPECT_EQ(theApp->m_nCmdShow, 3);
    EXPECT_TRUE(Main()->isMaximized());
    Main()->close();
    EXPECT_EQ(settings.value("Frame/Status").toInt(), 3);
    // The normal rectangle is what is kept, not the maximised one.
    EXPECT_EQ(settings.value("Frame/Right").toInt() - settings.value("Frame/Left").toInt(), 600);
}

TEST_F(FrameTest, PlacementClampsOnlyTheFarEdgesAndMinusOneMeansNone) {
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    WritePlacement(1, 10, screen.width() + 500, 610, screen.width() + 800);
    Restart();
    EXPECT_EQ(Main()->geometry().left(), screen.width() - 32);
    EXPECT_EQ(Main()->geometry().width(), 300);

    WritePlacement(1, 10, -50, 610, 650);
    Restart();
    EXPECT_LT(Main()->geometry().left(), work.left());  // left where it was, partly off the screen

    // A -1 anywhere: the saved values are ignored and the window keeps its default placement.
    WritePlacement(3, 10, -1, 610, 650);
    Restart();
    EXPECT_EQ(theApp->m_nCmdShow, 1);
    EXPECT_FALSE(Main()->isMaximized());
}

TEST_F(FrameTest, RecentFileListHoldsFourEntries) {
    QMenu* file = Main()->menuBar()->actions().value(0)->menu();
    ASSERT_NE(file, nullptr);
    auto visibleTexts = [file] {
        QStringList texts;
        for (QAction* a : file->actions())
            if (a->isVisible() && !a->isSeparator()) texts << a->text();
        return texts;
    };
    EXPECT_TRUE(visibleTexts().contains("최근 파일"));
    for (int i = 1; i <= 5; ++i)
        theApp->AddToRecentFileList(QString("/tmp/orvik-recent/%1.bmp").arg(i));
    theApp->AddToRecentFileList("/tmp/orvik-recent/3.bmp");  // moves to the top
    EXPECT_EQ(theApp->RecentFiles(), (QStringList{"/tmp/orvik-recent/3.bmp", "/tmp/orvik-recent/5.bmp",
                                                  "/tmp/orvik-recent/4.bmp", "/tmp/orvik-recent/2.bmp"}));
    QSettings settings;
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), "/tmp/orvik-recent/3.bmp");
    EXPECT_EQ(settings.value("Recent File List/File4").toString(), "/tmp/orvik-recent/2.bmp");
    EXPECT_FALSE(settings.contains("Recent File List/File5"));
    const QStringList texts = visibleTexts();
    EXPECT_FALSE(texts.contains("최근 파일"));
    EXPECT_TRUE(texts.contains("&1 /tmp/orvik-recent/3.bmp"));
    EXPECT_TRUE(texts.contains("&4 /tmp/orvik-recent/2.bmp"));

    // The list comes back at the next start; an entry that fails to open leaves it.
    Restart();
    EXPECT_EQ(theApp->RecentFiles().size(), 4);
    auto message = ExpectMessageBox();
    Main()->Action(ID_FILE_MRU_FILE1 + 1)->trigger();
    EXPECT_TRUE(message->contains("/tmp/orvik-recent/5.bmp")) << message->toStdString();
    EXPECT_EQ(theApp->RecentFiles(),
              (QStringList{"/tmp/orvik-recent/3.bmp", "/tmp/orvik-recent/4.bmp", "/tmp/orvik-recent/2.bmp"}));
    EXPECT_TRUE(theApp->Documents().empty());
}

TEST_F(FrameTest, BarTogglesFollowTheirBars) {
    auto checked = [](int id) {
        Main()->UpdateCommandUI();
        return Main()->Action(id)->isChecked();
    };
    Main()->RouteCommand(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(Main()->m_wndToolBar->isVisible());
    EXPECT_TRUE(Main()->m_wndToolPalette->isVisible());  // only "Standard" goes
    EXPECT_FALSE(checked(ID_VIEW_TOOLBAR));
    Main()->RouteCommand(ID_VIEW_TOOL_PALETTE);
    EXPECT_FALSE(Main()->m_wndToolPalette->isVisible());
    EXPECT_FALSE(checked(ID_VIEW_TOOL_PALETTE));
    Main()->m_wndToolPalette->show();  // shown another way: the check mark follows the bar
    EXPECT_TRUE(checked(ID_VIEW_TOOL_PALETTE));
    Main()->RouteCommand(ID_VIEW_COLOR_PALETTE);
    EXPECT_FALSE(Main()->m_wndColorBar->isVisible());
    EXPECT_FALSE(checked(ID_VIEW_COLOR_PALETTE));
    Main()->RouteCommand(ID_VIEW_COLOR_PALETTE);
    EXPECT_TRUE(Main()->m_wndColorBar->isVisible());
    EXPECT_EQ(Main()->dockWidgetArea(Main()->m_wndColorBar), Qt::LeftDockWidgetArea);
    Main()->RouteCommand(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(Main()->statusBar()->isVisible());
    EXPECT_FALSE(checked(ID_VIEW_STATUS_BAR));
}

TEST_F(FrameTest, ProgressControlFillsPaneOneAndLeavesItEmpty) {
    Main()->resize(900, 600);
    ProcessEvents();
    Main()->BeginProgress();
    ASSERT_NE(Main()->m_wndProgress, nullptr);
    EXPECT_EQ(Main()->m_wndProgress->geometry(), Main()->Pane(1)->geometry());
    EXPECT_EQ(Main()->PaneText(1), "");
    EXPECT_EQ(Main()->m_wndProgress->value(), 0);
    EXPECT_EQ(ProgressCallback(40), 0);
    EXPECT_EQ(ProgressCallback(100), 40);
    Main()->resize(1100, 700);
    ProcessEvents();
    EXPECT_EQ(Main()->m_wndProgress->geometry(), Main()->Pane(1)->geometry());
    Main()->EndProgress();
    EXPECT_EQ(Main()->m_wndProgress, nullptr);
    EXPECT_EQ(Main()->PaneText(1), "");
    EXPECT_EQ(ProgressCallback(10), 0);  // no control: nothing to move

    // With the status bar hidden the control lies just right of it, out of sight.
    Main()->statusBar()->hide();
    Main()->BeginProgress();
    EXPECT_GT(Main()->m_wndProgress->geometry().left(), Main()->statusBar()->width());
    Main()->EndProgress();
}
