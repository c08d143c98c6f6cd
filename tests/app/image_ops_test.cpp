// The image commands on documents: update handlers, Resize Canvas and Resize Image through their
// dialogs, and Decrease Color Depth through the real libquantz.so.
#include <QGuiApplication>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/child_frame.h"
#include "colour/color_palette_dlg.h"
#include "dialogs/canvas_size_dlg.h"
#include "dialogs/decrease_depth_dlg.h"
#include "dialogs/resize_image_dlg.h"
#include "document/pixel_routines.h"
#include "image_test_helpers.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/orvik_view2.h"

namespace {

class ImageOpsTest : public GuiTest {};

void RunCanvas(const QString& width, const QString& height) {
    OnNextModal<CCanvasSizeDlg>([=](CCanvasSizeDlg* dialog) {
        TypeInto(dialog->m_widthEdit, width);
        TypeInto(dialog->m_heightEdit, height);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    GuiTest::Main()->RouteCommand(ID_IMAGE_CANVAS);
}

void RunResize(const QString& width, const QString& height) {
    OnNextModal<CResizeImageDlg>([=](CResizeImageDlg* dialog) {
        TypeInto(dialog->m_widthEdit, width);
        TypeInto(dialog->m_heightEdit, height);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    GuiTest::Main()->RouteCommand(ID_IMAGE_RESIZE);
}

// Scrolls both views as far as they go.
void ScrollToTheEnd(COrvikDoc* doc) {
    for (QAbstractScrollArea* view : {static_cast<QAbstractScrollArea*>(doc->m_pView),
                                      static_cast<QAbstractScrollArea*>(doc->m_pView2)}) {
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    }
}

uint32_t Pixel24(const COrvikDoc* doc, int x, int row) {
    const uint8_t* p = doc->m_pBits + int64_t{row} * doc->Stride() + 3 * x;
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
}

// A 24-bit document whose pixels use only the given colours, in stripes.
COrvikDoc* StripedDocument(int width, int height, const std::vector<uint32_t>& colours) {
    COrvikDoc* doc = NewPatternDocument(width, height, kImage24Bit);
    if (!doc) return nullptr;
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colours[size_t(x + row) % colours.size()];
            uint8_t* p = doc->m_pBits + int64_t{row} * doc->Stride() + 3 * x;
            p[0] = c & 0xFF;
            p[1] = (c >> 8) & 0xFF;
            p[2] = (c >> 16) & 0xFF;
        }
    }
    return doc;
}

}  // namespace

TEST_F(ImageOpsTest, UpdateHandlersFollowTheDocumentAndItsDepth) {
    const int always[] = {ID_IMAGE_CANVAS, ID_IMAGE_RESIZE, ID_MISC_OPTION};
    for (int id : always)
        EXPECT_FALSE(CommandEnabled(id)) << id;  // no document
    EXPECT_FALSE(CommandEnabled(ID_COLORS_DECREASE));

    ASSERT_NE(NewPatternDocument(8, 8, kImage8Bit), nullptr);
    for (int id : always)
        EXPECT_TRUE(CommandEnabled(id)) << id;
    EXPECT_FALSE(CommandEnabled(ID_COLORS_DECREASE));
    EXPECT_FALSE(CommandEnabled(ID_EDIT_UNDO));
    EXPECT_TRUE(CommandEnabled(ID_COLORS_INCREASE));

    ASSERT_NE(NewPatternDocument(8, 8, kImage24Bit), nullptr);
    for (int id : always)
        EXPECT_TRUE(CommandEnabled(id)) << id;
    EXPECT_TRUE(CommandEnabled(ID_COLORS_DECREASE));
    EXPECT_FALSE(CommandEnabled(ID_EDIT_UNDO));
    EXPECT_FALSE(CommandEnabled(ID_COLORS_INCREASE));
    EXPECT_FALSE(Main()->Action(ID_IMAGE_CANVAS)->isCheckable() &&
                 Main()->Action(ID_IMAGE_CANVAS)->isChecked());
}

TEST_F(ImageOpsTest, ResizeCanvasKeepsTheCornerAndMarksTheDocument) {
    COrvikDoc* doc = NewPatternDocument(4, 3, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(doc->IsModified());
    RunCanvas("6", "2");
    ASSERT_EQ(doc->Width(), 6);
    EXPECT_EQ(doc->Height(), 2);
    EXPECT_EQ(doc->Stride(), 8);
    EXPECT_EQ(doc->m_pHeader->biSizeImage, 16u);
    EXPECT_TRUE(doc->IsModified());
    const uint8_t expected[2][8] = {{0, 1, 2, 3, 0, 0, 0, 0}, {3, 4, 5, 6, 0, 0, 0, 0}};
    EXPECT_EQ(std::memcmp(doc->m_pBits, expected, sizeof expected), 0);

    // Cancel leaves image and flag alone.
    COrvikDoc* other = NewPatternDocument(5, 5, kImage8Bit);
    ASSERT_NE(other, nullptr);
    uint8_t* const bits = other->m_pBits;
    OnNextModal<CCanvasSizeDlg>([](CCanvasSizeDlg* dialog) {
        TypeInto(dialog->m_widthEdit, "9");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    Main()->RouteCommand(ID_IMAGE_CANVAS);
    EXPECT_EQ(other->Width(), 5);
    EXPECT_EQ(other->m_pBits, bits);
    EXPECT_FALSE(other->IsModified());
}

TEST_F(ImageOpsTest, ResizeImageScalesAndMarksTheDocument) {
    COrvikDoc* doc = NewPatternDocument(2, 2, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    const uint32_t topRight = Pixel24(doc, 1, 1);
    RunResize("4", "4");
    ASSERT_EQ(doc->Width(), 4);
    ASSERT_EQ(doc->Height(), 4);
    EXPECT_EQ(doc->m_pHeader->biSizeImage, 48u);
    EXPECT_EQ(Pixel24(doc, 2, 2), topRight);
    EXPECT_EQ(Pixel24(doc, 3, 3), topRight);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(ImageOpsTest, BothResizesRecomputeTheScrollRanges) {
    COrvikDoc* doc = NewPatternDocument(3000, 2000, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    doc->m_pView->ZoomIn(10, 10);  // shows the actual-size pane as well
    ProcessEvents();
    ScrollToTheEnd(doc);
    ASSERT_GT(doc->m_pView->m_nScrollX, 0);
    ASSERT_GT(doc->m_pView2->m_nScrollY, 0);
    RunCanvas("20", "10");
    ProcessEvents();
    EXPECT_EQ(doc->m_pView->m_nMaxScrollX, 0);
    EXPECT_EQ(doc->m_pView->m_nScrollY, 0);
    EXPECT_EQ(doc->m_pView2->m_nScrollX, 0);
    EXPECT_EQ(doc->m_pView2->m_nMaxScrollY, 0);

    // A maximised frame keeps its size through Resize Image; the views still drop their positions.
    COrvikDoc* big = NewPatternDocument(3000, 2000, kImage24Bit);
    ASSERT_NE(big, nullptr);
    big->m_pChildFrame->showMaximized();
    big->m_pView->ZoomIn(10, 10);
    ProcessEvents();
    ScrollToTheEnd(big);
    ASSERT_GT(big->m_pView->m_nScrollX, 0);
    ASSERT_GT(big->m_pView2->m_nScrollX, 0);
    RunResize("30", "20");
    ProcessEvents();
    EXPECT_TRUE(big->m_pChildFrame->isMaximized());
    for (int value : {big->m_pView->m_nScrollX, big->m_pView->m_nScrollY, big->m_pView2->m_nScrollX,
                      big->m_pView2->m_nScrollY, big->m_pView2->m_nMaxScrollX})
        EXPECT_EQ(value, 0);
    EXPECT_LE(big->m_pView->m_nMaxScrollX, 30);
}

TEST_F(ImageOpsTest, DecreaseColorDepthThroughTheLibraryWithEveryMethodPair) {
    const std::vector<uint32_t> colours = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080, 0xFFFFFF};
    const std::pair<int, int> pairs[] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 2}};
    for (const auto& [paletteMethod, ditherMethod] : pairs) {
        SCOPED_TRACE(testing::Message() << paletteMethod << "/" << ditherMethod);
        COrvikDoc* doc = StripedDocument(33, 7, colours);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(doc->ReduceColorDepth(paletteMethod, ditherMethod));
        ProcessEvents();
        ASSERT_EQ(doc->BitCount(), 8);
        EXPECT_TRUE(IsModelHeader(*doc->m_pHeader));
        EXPECT_EQ(doc->Width(), 33);
        EXPECT_EQ(doc->Stride(), 36);
        EXPECT_EQ(doc->m_pPalette, HeaderPalette(doc->m_pHeader));
        EXPECT_TRUE(doc->IsModified());
        for (int i = 0; i < 256; ++i) {
            const RGBQUAD& e = doc->m_pPalette[i];
            ASSERT_EQ(doc->m_hBrush[i], QColor(e.rgbRed, e.rgbGreen, e.rgbBlue)) << i;
        }
        // Adaptive palettes hold five colours exactly; with nearest mapping every pixel keeps it.
        if (paletteMethod != 0 && ditherMethod == 0) {
            for (int row = 0; row < 7; ++row)
                for (int x = 0; x < 33; ++x)
                    ASSERT_EQ(PaletteColour(doc->m_pPalette[doc->m_pBits[row * 36 + x]]),
                              colours[size_t(x + row) % 5]);
        }
        // Progress and wait cursor are gone, and the command is off for the 8-bit image.
        EXPECT_EQ(Main()->m_wndProgress, nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(CommandEnabled(ID_COLORS_DECREASE));
    }
}

TEST_F(ImageOpsTest, DecreaseColorDepthCommandPassesTheDialogsCodes) {
    COrvikDoc* doc = StripedDocument(16, 16, {0x102030, 0xF0E0D0});
    ASSERT_NE(doc, nullptr);
    // Cancel changes nothing.
    OnNextModal<CDecreaseDepthDlg>([](CDecreaseDepthDlg* dialog) { dialog->reject(); });
    Main()->RouteCommand(ID_COLORS_DECREASE);
    EXPECT_EQ(doc->BitCount(), 24);
    EXPECT_FALSE(doc->IsModified());
    // Standard palette with ordered dither: only colours of the standard palette appear.
    OnNextModal<CDecreaseDepthDlg>([](CDecreaseDepthDlg* dialog) {
        QTest::mouseClick(dialog->m_standardPalette, Qt::LeftButton, {}, QPoint(6, 6));
        QTest::mouseClick(dialog->m_orderedDither, Qt::LeftButton, {}, QPoint(6, 6));
        QTest::mouseClick(dialog->findChild<QPushButton*>("1"), Qt::LeftButton);
    });
    Main()->RouteCommand(ID_COLORS_DECREASE);
    ASSERT_EQ(doc->BitCount(), 8);
    RGBQUAD standard[256];
    FillDefaultPalette(standard);
    EXPECT_EQ(std::memcmp(doc->m_pPalette, standard, sizeof standard), 0);
    // The palette bar shows the document's new palette.
    EXPECT_EQ(g_activeDoc, doc);
}

TEST_F(ImageOpsTest, AFloatingBlockIsReducedOntoTheNewPalette) {
    COrvikDoc* doc = StripedDocument(10, 10, {0xFF0000, 0x0000FF});
    ASSERT_NE(doc, nullptr);
    // A 24-bit floating block of 3 x 2 pixels, green and red.
    auto* header = static_cast<BITMAPINFOHEADER*>(std::calloc(1, kHeaderBytes));
    *header = *doc->m_pHeader;
    header->biWidth = 3;
    header->biHeight = 2;
    header->biXPelsPerMeter = 12;
    auto* bits = static_cast<uint8_t*>(std::calloc(1, 24));
    bits[1] = 0xFF;  // (0, 0) green
    bits[5] = 0xFF;  // (1, 0) red
    doc->m_pFloatHeader = header;
    doc->m_pFloatBits = bits;

    ASSERT_TRUE(doc->ReduceColorDepth(1, 0));
    ASSERT_TRUE(doc->HasFloat());
    const BITMAPINFOHEADER& floating = *doc->m_pFloatHeader;
    EXPECT_EQ(floating.biBitCount, 8);
    EXPECT_EQ(floating.biWidth, 3);
    EXPECT_EQ(floating.biXPelsPerMeter, 4);
    EXPECT_EQ(std::memcmp(HeaderPalette(doc->m_pFloatHeader), doc->m_pPalette, kPaletteBytes), 0);
    // Each floating pixel holds the nearest entry of the image's new palette.
    const uint32_t original[3] = {0x00FF00, 0xFF0000, 0};
    for (int x = 0; x < 3; ++x) {
        const uint32_t c = original[x];
        EXPECT_EQ(doc->m_pFloatBits[x],
                  NearestPaletteIndex(c >> 16, (c >> 8) & 0xFF, c & 0xFF, doc->m_pPalette))
            << x;
    }
    EXPECT_EQ(PaletteColour(doc->m_pPalette[doc->m_pFloatBits[1]]), 0xFF0000u);

    // Dropped at the top-left corner, it lands as those indices in the 8-bit rows.
    const std::vector<uint8_t> bottom(doc->m_pFloatBits, doc->m_pFloatBits + 3);
    const std::vector<uint8_t> top(doc->m_pFloatBits + 4, doc->m_pFloatBits + 7);
    doc->m_pView->m_rcSelection = RECT{0, 0, 3, 2};
    doc->m_pView->DropSelection();
    EXPECT_FALSE(doc->HasFloat());
    const uint8_t* row9 = doc->m_pBits + 9 * doc->Stride();  // image row 0
    const uint8_t* row8 = doc->m_pBits + 8 * doc->Stride();
    EXPECT_EQ(std::vector<uint8_t>(row9, row9 + 3), top);
    EXPECT_EQ(std::vector<uint8_t>(row8, row8 + 3), bottom);
}
