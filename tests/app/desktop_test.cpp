// A document window as a desktop user expects it: big pictures open whole, a small one sits in the
// middle, the picture pans with the middle button or Space, the wheel works over every part.
#include <QMdiArea>
#include <QNativeGestureEvent>
#include <QPixmap>
#include <QPointingDevice>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QWheelEvent>

#include <cstring>
#include <vector>

#include "app/child_frame.h"
#include "app/guide_window.h"
#include "document/orvik_doc.h"
#include "image_test_helpers.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/orvik_view2.h"

namespace {

QString SavePicture(const QTemporaryDir& dir, const QString& name, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(10, 120, 200));
    const QString path = dir.filePath(name);
    return image.save(path) ? path : QString();
}

COrvikDoc* Opened(const QString& path) {
    for (COrvikDoc* doc : theApp->Documents())
        if (doc->GetPathName() == path) return doc;
    return nullptr;
}

// A wheel turn of `angle` (a notch is 120) with the pointer at `at` of `widget`.
void Wheel(QWidget* widget, QPoint angle, Qt::KeyboardModifiers modifiers = {}, QPoint at = {5, 5}) {
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

std::vector<uint8_t> Bits(const COrvikDoc* doc) {
    return {doc->m_pBits, doc->m_pBits + int64_t{doc->Stride()} * doc->Height()};
}

QPoint Scroll(const CImagePane* pane) {
    return {pane->m_nScrollX, pane->m_nScrollY};
}

}  // namespace

class DesktopTest : public GuiTest {};

TEST_F(DesktopTest, BigPicturesOpenWholeAndThePaneIsAsWideFromTheCommandLine) {
    QTemporaryDir dir;
    const QString big = SavePicture(dir, "big.png", {2400, 1800});
    const QString small = SavePicture(dir, "small.png", {90, 60});
    const QString later = SavePicture(dir, "later.png", {90, 60});
    ASSERT_FALSE(big.isEmpty() || small.isEmpty() || later.isEmpty());
    // As from the command line: the files open before the main window is shown.
    theApp->ExitInstance();
    ASSERT_TRUE(theApp->InitInstance({big, small}));
    ProcessEvents();
    COrvikDoc* whole = Opened(big);
    ASSERT_NE(whole, nullptr);
    COrvikView* view = whole->m_pView;
    // The largest level at which all of it shows, in the title; one level further in it would not.
    EXPECT_GT(view->Level().shrink, 1);
    EXPECT_TRUE(whole->GetTitle().endsWith(QString("[1:%1]").arg(view->Level().shrink)))
        << whole->GetTitle().toStdString();
    EXPECT_EQ(Scroll(view) + QPoint(view->m_nMaxScrollX, view->m_nMaxScrollY), QPoint(0, 0));
    const DeviceScale next = DeviceScaleFor(ZoomStep(view->Level(), 1), 1);
    const QSize room = Main()->m_mdiArea->viewport()->size();
    EXPECT_TRUE(DeviceLength(2400, next) > room.width() || DeviceLength(1800, next) > room.height());

    // A picture that fits opens at 1:1; zoomed in, its pane is as wide as one opened from File > Open.
    COrvikDoc* fits = Opened(small);
    ASSERT_NE(fits, nullptr);
    EXPECT_TRUE(fits->GetTitle().endsWith("[1:1]"));
    COrvikDoc* opened = theApp->OpenDocumentFile(later);
    ASSERT_NE(opened, nullptr);
    int widths[2];
    for (int i = 0; i < 2; ++i) {
        COrvikDoc* doc = i == 0 ? fits : opened;
        doc->m_pView->ZoomTo(ZoomLevel{6, 1});
        ProcessEvents();
        ASSERT_TRUE(doc->m_pView2->isVisible());
        widths[i] = doc->m_pView2->width();
    }
    EXPECT_EQ(widths[0], widths[1]);
    EXPECT_GE(widths[0], Main()->m_mdiArea->viewport()->width() * 3 / 4 / 5 - 12);
}

TEST_F(DesktopTest, FitInWindowCentresThePictureAndZoomsAboutItsMiddle) {
    COrvikDoc* doc = NewPatternDocument(40, 30, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    doc->m_pChildFrame->resize(500, 400);
    view->FitInWindow();
    ProcessEvents();
    ASSERT_GT(view->Level().zoom, 1);
    // Hatch on both sides, the same to one image pixel.
    const QSize client = view->DeviceClientSize();
    const int m = view->Scale().magnify;
    const QPoint margin = view->Margin() * m;
    EXPECT_GT(margin.x() + margin.y(), 0);
    EXPECT_LE(std::abs(client.width() - 40 * m - 2 * margin.x()), 2 * m);
    EXPECT_LE(std::abs(client.height() - 30 * m - 2 * margin.y()), 2 * m);
    // A step out keeps the middle of the picture in the middle.
    Main()->RouteCommand(ID_VIEW_ZOOM_OUT);
    const QPoint middle = view->ClientToImage(view->viewport()->width() / 2, view->viewport()->height() / 2);
    EXPECT_LE((middle - QPoint(20, 15)).manhattanLength(), 2);
}

TEST_F(DesktopTest, MiddleButtonAndSpacePanAtEveryLevelAndPaintNothing) {
    COrvikDoc* doc = NewPatternDocument(4000, 3000, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    QWidget* surface = view->viewport();
    Main()->RouteCommand(ID_TOOL_BRUSH);
    const std::vector<uint8_t> before = Bits(doc);
    for (const ZoomLevel level : {ZoomLevel{6, 1}, kActualPixels, ZoomLevel{1, 2}}) {
        view->ZoomTo(level);
        view->CenterOn(2000, 1500);
        ProcessEvents();
        const QPoint from(60, 60);
        // Image pixels the pointer's 12 window pixels cover at this level.
        const int pixels = level.zoom > 1 ? 12 / level.zoom : 12 * level.shrink;
        const QPoint start = Scroll(view);
        QTest::mousePress(surface, Qt::MiddleButton, {}, from);
        QTest::mouseMove(surface, from + QPoint(-12, 12));
        QTest::mouseRelease(surface, Qt::MiddleButton, {}, from + QPoint(-12, 12));
        EXPECT_EQ(Scroll(view), start + QPoint(pixels, -pixels)) << level.zoom << ":" << level.shrink;
        // With Space held the left button pans too; the release of Space gives it back to the tool.
        view->setFocus();
        QTest::keyPress(view, Qt::Key_Space);
        QTest::mousePress(surface, Qt::LeftButton, {}, from);
        QTest::mouseMove(surface, from + QPoint(12, 0));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, from + QPoint(12, 0));
        QTest::keyRelease(view, Qt::Key_Space);
        EXPECT_EQ(Scroll(view), start + QPoint(0, -pixels));
        EXPECT_TRUE(Bits(doc) == before);
        EXPECT_FALSE(doc->IsModified());
    }
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(60, 60));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(DesktopTest, TheWheelScrollsAndZoomsOverEveryPartOfTheWindow) {
    COrvikDoc* doc = NewPatternDocument(2000, 1500, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    COrvikView2* pane = doc->m_pView2;
    view->ZoomTo(ZoomLevel{6, 1});
    view->CenterOn(1000, 750);
    ProcessEvents();
    ASSERT_TRUE(pane->isVisible());
    const int notch = QApplication::wheelScrollLines() * 20;
    // Over the actual-size pane a notch scrolls the desktop's lines of window pixels.
    QPoint start = Scroll(pane);
    Wheel(pane->viewport(), {0, -120});
    Wheel(pane->viewport(), {0, -120}, Qt::ShiftModifier);
    EXPECT_EQ(Scroll(pane), start + QPoint(notch, notch));
    // Over the editing view's bars as over the view: the horizontal bar takes a vertical turn across.
    start = Scroll(view);
    Wheel(view->verticalScrollBar(), {0, -120});
    Wheel(view->horizontalScrollBar(), {0, -240});
    EXPECT_EQ(Scroll(view), start + QPoint(2 * notch / 6, notch / 6));

    // Ctrl+wheel zooms over the pane and the bars too; half a notch waits for the other half, but a
    // turn the other way or another zoom forgets it.
    Wheel(pane->viewport(), {0, 120}, Qt::ControlModifier);
    EXPECT_EQ(view->Level(), (ZoomLevel{8, 1}));
    Wheel(view->verticalScrollBar(), {0, 60}, Qt::ControlModifier);
    Wheel(view->viewport(), {0, -60}, Qt::ControlModifier);
    Wheel(pane->viewport(), {0, 60}, Qt::ControlModifier);
    EXPECT_EQ(view->Level(), (ZoomLevel{8, 1}));
    Main()->RouteCommand(ID_VIEW_ZOOM_OUT);
    Wheel(view->viewport(), {0, 60}, Qt::ControlModifier);
    EXPECT_EQ(view->Level(), (ZoomLevel{6, 1}));
    Wheel(view->viewport(), {0, 60}, Qt::ControlModifier);
    EXPECT_EQ(view->Level(), (ZoomLevel{8, 1}));

    // A touchpad's pinch zooms around the fingers.
    const QPoint at(view->viewport()->width() / 3, view->viewport()->height() / 3);
    const QPoint under = view->ClientToImage(at.x(), at.y());
    for (const double value : {0.15, 0.15}) {
        QNativeGestureEvent pinch(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2, at, at,
                                  view->viewport()->mapToGlobal(at), value, QPointF());
        QApplication::sendEvent(view->viewport(), &pinch);
    }
    EXPECT_EQ(view->Level(), (ZoomLevel{16, 1}));
    EXPECT_LE((view->ClientToImage(at.x(), at.y()) - under).manhattanLength(), 1);

    // Home and End go to the picture's corners.
    view->setFocus();
    QTest::keyClick(view, Qt::Key_End);
    EXPECT_EQ(Scroll(view), QPoint(view->m_nMaxScrollX, view->m_nMaxScrollY));
    QTest::keyClick(view, Qt::Key_Home);
    EXPECT_EQ(Scroll(view), QPoint(0, 0));
}

TEST_F(DesktopTest, F1ShowsTheUserGuideWithItsPictures) {
    QApplication::setActiveWindow(Main());
    QTest::keyClick(Main(), Qt::Key_F1);
    ProcessEvents();
    auto* guide = Main()->findChild<CGuideWindow*>();
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    QTextDocument* text = guide->m_browser->document();
    EXPECT_TRUE(text->toPlainText().startsWith("Orvik user guide"));
    // Every picture the guide names is there to show.
    int pictures = 0;
    for (QTextBlock block = text->begin(); block.isValid(); block = block.next())
        for (auto part = block.begin(); !part.atEnd(); ++part) {
            const QTextCharFormat format = part.fragment().charFormat();
            if (!format.isImageFormat()) continue;
            const QString name = format.toImageFormat().name();
            const QVariant data = text->resource(QTextDocument::ImageResource, QUrl(name));
            const QImage image = data.typeId() == QMetaType::QByteArray ? QImage::fromData(data.toByteArray())
                                 : data.typeId() == QMetaType::QPixmap  ? data.value<QPixmap>().toImage()
                                                                        : data.value<QImage>();
            EXPECT_FALSE(image.isNull()) << name.toStdString();
            ++pictures;
        }
    EXPECT_GE(pictures, 10);
    // Asked again, the same window comes to the front.
    Main()->RouteCommand(ID_HELP_GUIDE);
    EXPECT_EQ(Main()->findChildren<CGuideWindow*>().size(), 1);
}
