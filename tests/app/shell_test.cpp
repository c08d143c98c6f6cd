// Start-up, menus, New, titles, zoom, scrolling, status texts and the rendered view.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <cstring>

#include "app/child_frame.h"
#include "colour/color_palette_dlg.h"
#include "dialogs/new_image_dlg.h"
#include "document/orvik_doc.h"
#include "gui_test.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/orvik_view2.h"

namespace {

QStringList MenuTitles() {
    QStringList titles;
    for (QAction* action : GuiTest::Main()->menuBar()->actions())
        titles << action->text();
    return titles;
}

bool Enabled(int id) {
    GuiTest::Main()->UpdateCommandUI();
    return GuiTest::Main()->Action(id)->isEnabled();
}

bool Checked(int id) {
    GuiTest::Main()->UpdateCommandUI();
    return GuiTest::Main()->Action(id)->isChecked();
}

}  // namespace

class ShellTest : public GuiTest {};

TEST_F(ShellTest, StartsEmptyWithTheNoDocumentMenu) {
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Edit", "&View", "&Help"}));
    EXPECT_TRUE(Main()->m_mdiArea->subWindowList().isEmpty());
    EXPECT_EQ(Main()->windowTitle(), "Orvik");
    EXPECT_EQ(Main()->PaneText(0), "준비");
    EXPECT_EQ(Main()->PaneText(1), QString(35, ' '));
    EXPECT_EQ(Main()->PaneText(2), "Image : None");
    EXPECT_EQ(Main()->m_currentTool, ID_TOOL_BRUSH);
    // Document commands are disabled without a document; the application's are enabled.
    EXPECT_TRUE(Enabled(ID_FILE_NEW));
    EXPECT_TRUE(Enabled(ID_FILE_OPEN));
    EXPECT_FALSE(Enabled(ID_FILE_SAVE));
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(ID_COLORS_INCREASE));
    EXPECT_TRUE(Enabled(ID_VIEW_COLOR_PALETTE));
    EXPECT_TRUE(Checked(ID_VIEW_COLOR_PALETTE));
    EXPECT_TRUE(Checked(ID_VIEW_TOOL_PALETTE));
    EXPECT_TRUE(Checked(ID_VIEW_TOOLBAR));
    EXPECT_EQ(Main()->Action(ID_FILE_NEW)->text(), "새 파일(&N)\tCtrl+N");
    EXPECT_EQ(Main()->Action(ID_FILE_NEW)->statusTip(), "새 문서를 작성합니다");
    EXPECT_EQ(Main()->Action(ID_FILE_NEW)->toolTip(), "새 파일");
    EXPECT_EQ(Main()->Action(ID_EDIT_COPY)->shortcuts(),
              (QList<QKeySequence>{QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Ins")}));
    // Both toolbars sit in the top row, "Standard" first.
    EXPECT_EQ(Main()->toolBarArea(Main()->m_wndToolBar), Qt::TopToolBarArea);
    EXPECT_EQ(Main()->toolBarArea(Main()->m_wndToolPalette), Qt::TopToolBarArea);
    EXPECT_EQ(Main()->m_wndToolPalette->windowTitle(), "Tool Palette");
}

TEST_F(ShellTest, NewImageDefaultsAndSizes) {
    // The dialog's defaults: 300 x 300, 8 bits, the width selected; the background list is disabled.
    OnNextModal<CNewImageDlg>([](CNewImageDlg* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "New Image");
        EXPECT_EQ(dialog->m_widthEdit->text(), "300");
        EXPECT_EQ(dialog->m_heightEdit->text(), "300");
        EXPECT_EQ(dialog->m_typeList->currentText(), "256 Colors (8 Bit)");
        EXPECT_EQ(dialog->m_typeList->count(), 2);
        EXPECT_EQ(dialog->m_widthEdit->selectedText(), "300");
        EXPECT_FALSE(dialog->m_backgroundList->isEnabled());
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    COrvikDoc* doc = theApp->OnFileNew();
    ProcessEvents();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [1:1]");
    EXPECT_EQ(doc->m_pChildFrame->windowTitle(), "Orvik1[*] [1:1]");  // the mark shows when modified
    EXPECT_EQ(Main()->windowTitle(), "Orvik - Orvik1[*] [1:1]");
    EXPECT_EQ(doc->BitCount(), 8);
    EXPECT_EQ(doc->Stride(), 300);
    EXPECT_EQ(doc->m_pHeader->biSizeImage, 90000u);
    EXPECT_FALSE(doc->IsModified());
    for (int i = 0; i < 90000; ++i)
        ASSERT_EQ(doc->m_pBits[i], 0);
    EXPECT_EQ(MenuTitles(), (QStringList{"File(&F)", "Edit(&E)", "&View", "&Image", "Colors", "Misc.",
                                         "&Tools", "Window(&W)", "Help(&H)"}));
    EXPECT_TRUE(Enabled(ID_FILE_SAVE));
    EXPECT_EQ(doc->m_hBrush[255], QColor(234, 234, 234));

    COrvikDoc* narrow8 = NewImage("301", "1", kImage8Bit);
    ASSERT_NE(narrow8, nullptr);
    EXPECT_EQ(narrow8->Stride(), 304);
    EXPECT_EQ(narrow8->GetTitle(), "Orvik2 [1:1]");
    COrvikDoc* narrow24 = NewImage("301", "1", kImage24Bit);
    ASSERT_NE(narrow24, nullptr);
    EXPECT_EQ(narrow24->Stride(), 904);
    EXPECT_EQ(narrow24->BitCount(), 24);
    EXPECT_EQ(theApp->Documents().size(), 3u);
}

TEST_F(ShellTest, NewImageRefusesSizesItCannotHoldAndCancelMakesNothing) {
    auto message = std::make_shared<QString>();
    OnNextModal<CNewImageDlg>([message](CNewImageDlg* dialog) {
        dialog->m_widthEdit->setText("0");
        *message = "";
        auto box = ExpectMessageBox();
        QTest::keyClick(dialog, Qt::Key_Return);
        // The dialog stays open with the offending edit selected.
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->m_widthEdit->selectedText(), "0");
        dialog->m_widthEdit->setText("70000");
        dialog->m_heightEdit->setText("70000");
        auto second = ExpectMessageBox();
        QTest::keyClick(dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible());
        *message = *box + "|" + *second;
        dialog->reject();
    });
    EXPECT_EQ(theApp->OnFileNew(), nullptr);
    EXPECT_TRUE(message->contains("between 1 and 65535")) << message->toStdString();
    EXPECT_TRUE(theApp->Documents().empty());
    // The number advances only with a document that was made.
    COrvikDoc* doc = NewImage("10", "10", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [1:1]");
}

TEST_F(ShellTest, NewImageReadsWholeFieldsAndNamesAnEmptyOne) {
    auto message = std::make_shared<QString>();
    OnNextModal<CNewImageDlg>([message](CNewImageDlg* dialog) {
        dialog->m_widthEdit->setText("");
        auto box = ExpectMessageBox();
        QTest::keyClick(dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible());
        *message = *box;
        dialog->m_widthEdit->setText("0000000000001");
        dialog->m_heightEdit->setText("00000000000000000002");
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    COrvikDoc* doc = theApp->OnFileNew();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Width(), 1);
    EXPECT_EQ(doc->Height(), 2);
    EXPECT_EQ(*message, "Cannot make the image: type its width.");
}

TEST_F(ShellTest, TinyAndLongImagesGetWindowsThatShowTheirButtonsAndBars) {
    COrvikDoc* tiny = NewImage("1", "1", kImage8Bit);
    ASSERT_NE(tiny, nullptr);
    CChildFrame* frame = tiny->m_pChildFrame;
    frame->ensurePolished();
    EXPECT_GE(frame->width(), frame->minimumSizeHint().width());
    EXPECT_GE(frame->height(), frame->minimumSizeHint().height());
    tiny->m_pView->ZoomIn(0, 0);  // the frame follows the zoom but not below its minimum
    tiny->m_pView->ZoomOut(0, 0);
    EXPECT_GE(frame->width(), frame->minimumSizeHint().width());

    COrvikDoc* row = NewImage("65535", "1", kImage8Bit);
    ASSERT_NE(row, nullptr);
    ProcessEvents();
    EXPECT_TRUE(row->m_pView->horizontalScrollBar()->isVisible());
    EXPECT_GE(row->m_pView->viewport()->height(), 1);
}

TEST_F(ShellTest, MaximisedWindowsKeepTheTitleAndTheCentringRule) {
    COrvikDoc* doc = NewImage("300", "200", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    doc->m_pChildFrame->showMaximized();
    ProcessEvents();
    EXPECT_EQ(Main()->windowTitle(), "Orvik - Orvik1[*] [1:1]");
    COrvikView* view = doc->m_pView;
    view->ZoomIn(290, 100);
    EXPECT_EQ(Main()->windowTitle(), "Orvik - Orvik1[*] [6:1]");
    // The pixel is centred in the view the actual-size pane leaves, as far as the range allows.
    const int cw = view->viewport()->width();
    ProcessEvents();
    EXPECT_EQ(view->viewport()->width(), cw);
    const int64_t low = std::max<int64_t>(6 * 290 - cw / 2, 0);
    const int64_t high = 6 * 290 + cw / 2;
    const int64_t first = high > 6 * 300 ? std::max<int64_t>(low + 6 * 300 - high, 0) : low;
    EXPECT_EQ(view->m_nScrollX, first / 6);
    doc->m_pChildFrame->showNormal();
    ProcessEvents();
    EXPECT_EQ(Main()->windowTitle(), "Orvik - Orvik1[*] [6:1]");
}

TEST_F(ShellTest, TitleKeepsTextBeforeItsBracket) {
    COrvikDoc* doc = NewImage("8", "8", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    doc->SetTitle("scan[2].bmp");
    EXPECT_EQ(doc->GetTitle(), "scan[1:1]");
    doc->SetTitle("my picture.bmp");
    EXPECT_EQ(doc->GetTitle(), "my picture.bmp [1:1]");
}

TEST_F(ShellTest, ZoomStepsTitleColumnsAndScrollRanges) {
    COrvikDoc* doc = NewImage("150", "80", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    CChildFrame* frame = doc->m_pChildFrame;
    COrvikView* view = doc->m_pView;
    COrvikView2* view2 = doc->m_pView2;
    // At zoom 1 only the editing view shows, sized to the image.
    EXPECT_FALSE(view2->isVisible());
    EXPECT_EQ(frame->m_wndSplitter->m_hiddenCol, 0);
    EXPECT_EQ(view->viewport()->size(), QSize(150, 80));
    EXPECT_EQ(view->m_nMaxScrollX, 0);
    EXPECT_EQ(view->m_nMaxScrollY, 0);
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());

    view->ZoomOut(10, 10);  // at 1: nothing at all
    EXPECT_EQ(doc->m_nZoom, 1);
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [1:1]");

    const QSize before = frame->size();
    view->ZoomIn(50, 40);
    ProcessEvents();
    EXPECT_EQ(doc->m_nZoom, 6);
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [6:1]");
    EXPECT_TRUE(view2->isVisible());
    EXPECT_EQ(frame->m_wndSplitter->m_hiddenCol, -1);
    EXPECT_NE(frame->size(), before);
    // The frame grows toward 900 x 480 but stops at the main window's edges; the ranges follow
    // the client area: ceil((6 * 150 - cw) / 6).
    const int cw = view->viewport()->width();
    const int ch = view->viewport()->height();
    EXPECT_EQ(view->m_nMaxScrollX, cw >= 900 ? 0 : (900 - cw + 5) / 6);
    EXPECT_EQ(view->m_nMaxScrollY, ch >= 480 ? 0 : (480 - ch + 5) / 6);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), view->m_nMaxScrollX);

    view->ZoomIn(50, 40);
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [8:1]");
    view->ZoomIn(50, 40);
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [16:1]");
    view->ZoomIn(50, 40);
    view->ZoomIn(50, 40);
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [32:1]");
    view->ZoomIn(50, 40);  // at 32: nothing
    EXPECT_EQ(doc->m_nZoom, 32);
    for (int i = 0; i < 4; ++i)
        view->ZoomOut(50, 40);
    EXPECT_TRUE(view2->isVisible());
    view->ZoomOut(50, 40);
    ProcessEvents();
    EXPECT_EQ(doc->m_nZoom, 1);
    EXPECT_EQ(doc->GetTitle(), "Orvik1 [1:1]");
    EXPECT_FALSE(view2->isVisible());
    EXPECT_EQ(frame->m_wndSplitter->m_hiddenCol, 0);
}

TEST_F(ShellTest, LeftColumnComesBackAtAFifthOfTheFirstClientWidth) {
    // The client width of the new document window before its document fits it to the image.
    auto first = std::make_shared<int>(0);
    OnNextModal<CNewImageDlg>([first](CNewImageDlg* dialog) {
        *first = g_lastChildFrame->width() - g_lastChildFrame->contentsMargins().left() -
                 g_lastChildFrame->contentsMargins().right();
        dialog->m_widthEdit->setText("400");
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    COrvikDoc* doc = theApp->OnFileNew();
    ProcessEvents();
    ASSERT_NE(doc, nullptr);
    CHideSplitterWnd* splitter = doc->m_pChildFrame->m_wndSplitter;
    doc->m_pView->ZoomIn(5, 5);
    ProcessEvents();
    EXPECT_EQ(splitter->sizes().value(0), *first / 5);
    // Whatever the user does to the splitter bar, zooming out hides the column again.
    splitter->setSizes({*first / 5 + 30, 200});
    ProcessEvents();
    const int moved = splitter->sizes().value(0);
    doc->m_pView->ZoomOut(5, 5);
    ProcessEvents();
    EXPECT_FALSE(doc->m_pView2->isVisible());
    EXPECT_EQ(splitter->sizes().value(0), 0);
    doc->m_pView->ZoomIn(5, 5);
    ProcessEvents();
    EXPECT_EQ(splitter->sizes().value(0), moved);
}

TEST_F(ShellTest, ScrollingCentringAndMapping) {
    COrvikDoc* doc = NewImage("100", "100", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    doc->m_pChildFrame->resize(doc->m_pChildFrame->size().shrunkBy(QMargins(0, 0, 0, 0)));
    view->ZoomIn(99, 99);
    ProcessEvents();
    // Zooming in near the bottom-right corner ends with the image's edge at the window's edge.
    const int cw = view->viewport()->width();
    const int ch = view->viewport()->height();
    if (cw < 600) {
        EXPECT_NEAR(view->m_nScrollX, view->m_nMaxScrollX, 1);
    }
    if (ch < 600) {
        EXPECT_NEAR(view->m_nScrollY, view->m_nMaxScrollY, 1);
    }

    // Any point maps inside the image.
    EXPECT_EQ(view->ClientToImage(-5000, -5000), QPoint(0, 0));
    EXPECT_EQ(view->ClientToImage(100000, 100000), QPoint(99, 99));
    EXPECT_EQ(view->ClientToImage(13, 7), QPoint(13 / 6 + view->m_nScrollX, 7 / 6 + view->m_nScrollY));

    // ScrollBy clamps to the range; a drag scrolls toward the pointer by whole zoomed pixels.
    view->ScrollBy(-1000, -1000);
    EXPECT_EQ(view->m_nScrollX, 0);
    EXPECT_EQ(view->horizontalScrollBar()->value(), 0);
    if (view->m_nMaxScrollX >= 3) {
        view->ScrollBy(5, 0);
        const int start = view->m_nScrollX;
        view->m_bDragging = true;
        view->ClientToImage(-20, 10);  // 20 window pixels left at zoom 6: 3 image pixels
        EXPECT_EQ(view->m_nScrollX, start - 3);
        view->ClientToImage(-5, 10);  // less than one zoomed pixel: no scrolling
        EXPECT_EQ(view->m_nScrollX, start - 3);
        view->m_bDragging = false;
        view->ClientToImage(-20, 10);  // without a drag nothing scrolls
        EXPECT_EQ(view->m_nScrollX, start - 3);
    }
    // The scroll bars step by 1 and pages by 10 image pixels.
    QScrollBar* bar = view->horizontalScrollBar();
    bar->setValue(7);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(view->m_nScrollX, 0);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(view->m_nScrollX, 0);
    bar->setValue(bar->maximum() - 5);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view->m_nScrollX, view->m_nMaxScrollX);
}

TEST_F(ShellTest, StatusTextsAndPaneWidth) {
    COrvikDoc* doc = NewImage("640", "480", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    // The image line follows the active document when it changes, before the pointer moves.
    doc->UpdateAllViews();
    EXPECT_EQ(Main()->PaneText(2), "Image: 640 x 480 x 16 Million");
    doc->m_pView->UpdateStatus(12, 34);
    EXPECT_EQ(Main()->PaneText(0), "(12 , 34)");
    EXPECT_EQ(Main()->PaneText(2), "Image: 640 x 480 x 16 Million");
    // 6 pixels a character, or more where the font needs it, so the text always fits.
    EXPECT_GE(Main()->Pane(2)->width(), 174);
    EXPECT_GE(Main()->Pane(2)->width(),
              Main()->Pane(2)->fontMetrics().horizontalAdvance(Main()->PaneText(2)));
    COrvikDoc* small = NewImage("320", "200", kImage8Bit);
    ASSERT_NE(small, nullptr);
    small->m_pView->UpdateStatus(0, 0);
    EXPECT_EQ(Main()->PaneText(2), "Image: 320 x 200 x 256");
    EXPECT_GE(Main()->Pane(2)->width(), 132);
    EXPECT_LT(Main()->Pane(2)->width(), 174 + 100);
    // A line drag reads its normalised rectangle.
    Main()->m_currentTool = ID_TOOL_LINE;
    small->m_pView->m_bDragging = true;
    small->m_pView->m_rcDrag = RECT{30, 40, 10, 20};
    small->m_pView->UpdateStatus(10, 20);
    EXPECT_EQ(Main()->PaneText(0), "(10 , 20) -> (30 , 40) = (20 , 20)");
    small->m_pView->m_bDragging = false;
    // Closing one of two document windows: the pane and the palette bar follow the one left
    // (which has a palette of its own); closing the last clears the pane.
    doc->m_pPalette[7] = RGBQUAD{1, 2, 3, 0};
    doc->MakeBrushes();
    small->m_pChildFrame->close();
    ProcessEvents();
    EXPECT_EQ(g_activeDoc, doc);
    EXPECT_EQ(Main()->PaneText(2), "Image: 640 x 480 x 16 Million");
    EXPECT_EQ(Grab(Main()->m_wndPaletteDlg->m_grid).pixel(75, 5), qRgb(3, 2, 1));
    CloseWithoutSaving(doc);
    EXPECT_EQ(g_activeDoc, nullptr);
    EXPECT_EQ(Main()->PaneText(2), "Image: None");
}

TEST_F(ShellTest, RenderedViewMatchesTheImageWithHatchOutside) {
    COrvikDoc* doc = NewImage("20", "10", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    // A recognisable picture: index (x + 3y) % 216 at top-down (x, y).
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            doc->m_pBits[(9 - y) * doc->Stride() + x] = uint8_t((x + 3 * y) % 216);
    COrvikView* view = doc->m_pView;
    view->viewport()->resize(50, 30);
    auto colour = [&](int x, int y) {
        const RGBQUAD& e = doc->m_pPalette[(x + 3 * y) % 216];
        return qRgb(e.rgbRed, e.rgbGreen, e.rgbBlue);
    };
    // The picture sits in the middle of the view.
    EXPECT_EQ(ViewPoint(doc, {0, 0}), QPoint(15, 10));
    QImage shot = Grab(view->viewport());
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(shot.pixel(15 + x, 10 + y), colour(x, y)) << x << "," << y;
    // Around it on every side: the diagonal-cross hatch, dark red lines on white.
    int red = 0, white = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 50; ++x) {
            const QRgb p = shot.pixel(x, y);
            red += p == qRgb(100, 0, 0);
            white += p == qRgb(255, 255, 255);
        }
    EXPECT_GT(red, 0);
    EXPECT_EQ(red + white, 50 * 30 - 20 * 10);
    // An image point under the pointer, and a click in the hatch left of the picture reaching its
    // first column.
    EXPECT_EQ(view->ClientToImage(15 + 4, 10 + 3), QPoint(4, 3));
    EXPECT_EQ(view->ClientToImage(2, 12), QPoint(0, 2));
    EXPECT_EQ(shot.pixel(24, 0), qRgb(100, 0, 0));  // (24 + 0) % 8 == 0

    view->ZoomIn(0, 0);
    ProcessEvents();
    view->viewport()->resize(150, 90);
    view->UpdateScrollRanges();
    view->ScrollBy(-100, -100);
    shot = Grab(view->viewport());
    // Each image pixel is a 6 x 6 block, the picture in the middle to a whole image pixel.
    const QPoint o = ViewPoint(doc, {0, 0});
    EXPECT_EQ(o, QPoint(12, 12));
    for (int y = 0; y < 10 && y * 6 < 90; ++y)
        for (int x = 0; x < 20 && x * 6 < 150; ++x)
            for (int k = 0; k < 6; k += 5)
                ASSERT_EQ(shot.pixel(o.x() + x * 6 + k, o.y() + y * 6 + k), colour(x, y)) << x << "," << y;
}

TEST_F(ShellTest, EndingRightAfterCloseDestroysEachDocumentOnce) {
    // The closed window waits for the event loop to delete it; the program ends first.
    COrvikDoc* closed = NewImage("8", "8", kImage8Bit);
    ASSERT_NE(NewImage("8", "8", kImage24Bit), nullptr);
    ASSERT_NE(closed, nullptr);
    closed->m_pChildFrame->close();
    theApp->ExitInstance();
    EXPECT_TRUE(theApp->Documents().empty());
    ProcessEvents();
}
