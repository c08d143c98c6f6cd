// Transparent pictures through the real program: what painting, Clear, Cut, moving a selection,
// Resize Canvas and the clipboard leave in a 32-bit image and in an 8-bit one with a transparent
// entry.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

#include <cstring>
#include <vector>

#include "colour/color_palette_dlg.h"
#include "document/pixel_routines.h"
#include "document/recovery_file.h"
#include "image_test_helpers.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

CColorPaletteDlg* Palette() {
    return GuiTest::Main()->m_wndPaletteDlg;
}

bool Command(int id) {
    return GuiTest::Main()->RouteCommand(id);
}

// Mouse on the editing view at image points.
void Drag(COrvikDoc* doc, std::initializer_list<QPoint> points) {
    QWidget* surface = doc->m_pView->viewport();
    QTest::mousePress(surface, Qt::LeftButton, {}, ViewPoint(doc, *points.begin()));
    for (const QPoint& p : points)
        QTest::mouseMove(surface, ViewPoint(doc, p));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, ViewPoint(doc, *(points.end() - 1)));
}

// Pixel (x, y) from the top: the index, or 0xAARRGGBB of a 32-bit image.
uint32_t Pixel(const COrvikDoc* doc, int x, int y) {
    const int row = doc->Height() - 1 - y;
    if (doc->BitCount() == 8) return doc->m_pBits[row * doc->Stride() + x];
    return GetPixel32(doc->m_pBits, x, row, doc->Stride());
}

class TransparencyTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        QGuiApplication::clipboard()->clear();
        Palette()->m_foreIndex = 180;  // red 210
        Palette()->m_backIndex = 30;
    }
    void TearDown() override {
        Palette()->m_foreIndex = 0;
        Palette()->m_backIndex = 255;
        Main()->m_currentTool = ID_TOOL_BRUSH;
        QGuiApplication::clipboard()->clear();
        GuiTest::TearDown();
    }

    // A 12 x 8 8-bit image of index 1 whose entry 200 is transparent, with an 8 x 4 selection
    // at (2, 2).
    static COrvikDoc* EightBitWithTransparentEntry() {
        COrvikDoc* doc = NewPatternDocument(12, 8, kImage8Bit);
        if (!doc) return nullptr;
        std::memset(doc->m_pBits, 1, size_t(doc->Stride()) * doc->Height());
        Palette()->SetEntry(200, 0, 0, 0, 0);
        doc->m_pView->m_bSelection = true;
        doc->m_pView->m_rcSelection = RECT{2, 2, 10, 6};
        return doc;
    }
};

}  // namespace

// Where an opaque image gets the background colour, an image with transparency gets transparent
// pixels; painting is opaque.
TEST_F(TransparencyTest, ErasingLeavesTransparentPixelsAndPaintingOpaqueOnes) {
    COrvikDoc* doc = EightBitWithTransparentEntry();
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(Command(ID_IMAGE_CLEAR));
    EXPECT_EQ(Pixel(doc, 2, 2), 200u);
    EXPECT_EQ(Pixel(doc, 1, 2), 1u);
    ASSERT_EQ(doc->ResizeCanvas(14, 8), ImageStatus::Ok);
    EXPECT_EQ(Pixel(doc, 13, 0), 200u);

    // A recovery copy keeps the entry opacities.
    RecoveryImage copy;
    ASSERT_TRUE(doc->CopyForRecovery(&copy));
    EXPECT_TRUE(copy.hasEntryAlpha && copy.entryAlpha[200] == 0 && copy.entryAlpha[1] == 255);

    // Increase Color Depth keeps the transparency, at 32 bits.
    ASSERT_TRUE(Command(ID_COLORS_INCREASE));
    ASSERT_EQ(doc->BitCount(), 32);
    EXPECT_EQ(Main()->PaneText(2), "Image: 14 x 8 x 16 Million");
    EXPECT_EQ(Pixel(doc, 2, 2), 0u);
    const uint32_t one = 0xFF000000u | PaletteColour(doc->m_pPalette[1]);
    EXPECT_EQ(Pixel(doc, 0, 0), one);
    Drag(doc, {{3, 3}, {5, 3}});  // the brush over transparent pixels
    EXPECT_EQ(Pixel(doc, 4, 3), 0xFFD20000u);

    // Lifting a selection leaves transparent pixels, and the block carries its alpha.
    Main()->m_currentTool = ID_TOOL_SELECT;
    doc->m_pView->m_rcSelection = RECT{0, 0, 5, 5};
    Drag(doc, {{2, 2}, {3, 2}, {8, 5}});
    ASSERT_TRUE(doc->HasFloat());
    EXPECT_EQ(Pixel(doc, 0, 0), 0u);
    Drag(doc, {{13, 7}});                       // dropped, moved by (6, 3)
    EXPECT_EQ(Pixel(doc, 6, 3), one);           // was (0, 0)
    EXPECT_EQ(Pixel(doc, 8, 5), 0u);            // was (2, 2), cleared
    EXPECT_EQ(Pixel(doc, 10, 6), 0xFFD20000u);  // was (4, 3), painted
    ASSERT_EQ(doc->ResizeCanvas(16, 8), ImageStatus::Ok);
    EXPECT_EQ(Pixel(doc, 15, 0), 0u);
    doc->m_pView->m_bSelection = true;
    doc->m_pView->m_rcSelection = RECT{6, 0, 16, 8};
    ASSERT_TRUE(Command(ID_EDIT_CUT));
    EXPECT_EQ(Pixel(doc, 6, 3), 0u);
    EXPECT_EQ(Pixel(doc, 5, 3), 0xFFD20000u);
}

// A selection with transparency goes to the clipboard as PNG and comes back exactly; an opaque one
// still goes as a bitmap.
TEST_F(TransparencyTest, ClipboardCarriesItBothWays) {
    COrvikDoc* doc = EightBitWithTransparentEntry();
    ASSERT_NE(doc, nullptr);
    doc->m_pBits[doc->Stride() * 4 + 5] = 200;  // (5, 3)
    ASSERT_TRUE(Command(ID_EDIT_COPY));
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/png"));
    ASSERT_TRUE(Command(ID_EDIT_PASTE));
    ProcessEvents();
    COrvikDoc* pasted = theApp->Documents().back();
    ASSERT_NE(pasted, doc);
    ASSERT_EQ(pasted->BitCount(), 8);
    EXPECT_EQ(Pixel(pasted, 3, 1), 200u);
    EXPECT_EQ(Pixel(pasted, 2, 1), 1u);
    EXPECT_EQ(EntryAlpha(pasted->m_pEntryAlpha, 200), 0);
    EXPECT_EQ(std::memcmp(pasted->m_pPalette, doc->m_pPalette, kPaletteBytes), 0);

    ASSERT_TRUE(Command(ID_COLORS_INCREASE));
    ASSERT_EQ(pasted->BitCount(), 32);
    pasted->m_pBits[3] = 77;  // (0, 3): partly transparent
    pasted->m_pView->m_bSelection = true;
    pasted->m_pView->m_rcSelection = RECT{0, 0, 8, 4};
    const std::vector<uint8_t> rows(pasted->m_pBits, pasted->m_pBits + pasted->Stride() * pasted->Height());
    ASSERT_TRUE(Command(ID_EDIT_COPY));
    ASSERT_TRUE(Command(ID_EDIT_PASTE));
    ProcessEvents();
    COrvikDoc* again = theApp->Documents().back();
    ASSERT_EQ(again->BitCount(), 32);
    EXPECT_EQ(std::vector<uint8_t>(again->m_pBits, again->m_pBits + again->Stride() * again->Height()), rows);

    COrvikDoc* opaque = NewPatternDocument(4, 4, kImage24Bit);
    ASSERT_NE(opaque, nullptr);
    ASSERT_TRUE(Command(ID_EDIT_COPY));
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/bmp"));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/png"));
}
