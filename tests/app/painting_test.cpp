// The palette bar, the tool commands and every editing tool, driven with real mouse events on the
// views; the checks read the image's pixels and the rendered panes.
#include <QAction>
#include <QMdiArea>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <cstring>

#include "app/child_frame.h"
#include "colour/color_palette_dlg.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "gui_test.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/orvik_view2.h"

namespace {

CColorPaletteDlg* Palette() {
    return GuiTest::Main()->m_wndPaletteDlg;
}

// Pixel (x, y) counted from the top: the index of an 8-bit image, 0x00RRGGBB of a 24-bit one.
uint32_t Pixel(const COrvikDoc* doc, int x, int y) {
    const int row = doc->Height() - 1 - y;
    if (doc->BitCount() == 8) return doc->m_pBits[row * doc->Stride() + x];
    return GetPixel24(doc->m_pBits, x, row, doc->Stride());
}

void SetPixel(COrvikDoc* doc, int x, int y, uint32_t value) {
    const int row = doc->Height() - 1 - y;
    if (doc->BitCount() == 8) {
        doc->m_pBits[row * doc->Stride() + x] = uint8_t(value);
    } else {
        uint8_t* p = doc->m_pBits + row * doc->Stride() + 3 * x;
        p[0] = value & 0xFF;
        p[1] = (value >> 8) & 0xFF;
        p[2] = (value >> 16) & 0xFF;
    }
}

uint32_t Colour(const COrvikDoc* doc, int index) {
    return PaletteColour(doc->m_pPalette[index]);
}

// What a pixel painted with palette entry `index` holds at the document's depth.
uint32_t Painted(const COrvikDoc* doc, int index) {
    return doc->BitCount() == 8 ? uint32_t(index) : Colour(doc, index);
}

void UseTool(int tool) {
    GuiTest::Main()->RouteCommand(tool);
}

QWidget* Surface(COrvikDoc* doc) {
    return doc->m_pView->viewport();
}

// Mouse helpers on the editing view, at image points.
void Press(COrvikDoc* doc, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(Surface(doc), button, {}, ViewPoint(doc, p));
}
void Move(COrvikDoc* doc, QPoint p) {
    QTest::mouseMove(Surface(doc), ViewPoint(doc, p));
}
void Release(COrvikDoc* doc, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(Surface(doc), button, {}, ViewPoint(doc, p));
}
// A double click as the window system delivers it: press, release, double click, release.
void DoubleClick(COrvikDoc* doc, QPoint p) {
    QTest::mouseDClick(GuiTest::Main()->windowHandle(), Qt::LeftButton, {},
                       Surface(doc)->mapTo(GuiTest::Main(), ViewPoint(doc, p)));
    QApplication::processEvents();
}
void Drag(COrvikDoc* doc, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
    Press(doc, from, button);
    Move(doc, to);
    Release(doc, to, button);
}

class PaintingTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        g_bTranslucent = 0;
        g_fTranslucency = 0.63f;
        Palette()->m_foreIndex = 0;
        Palette()->m_backIndex = 255;
    }
    void TearDown() override {
        g_bTranslucent = 0;
        GuiTest::TearDown();
    }
};

}  // namespace

TEST_F(PaintingTest, PaletteGridPicksColoursAndMarksCells) {
    // No document: grid and swatches show the grey box with a black cross; clicks still pick.
    QImage grid = Grab(Palette()->m_grid);
    EXPECT_EQ(grid.size(), QSize(80, 320));
    EXPECT_EQ(grid.pixel(40, 5), qRgb(128, 128, 128));
    EXPECT_EQ(grid.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(grid.pixel(79, 0), qRgb(0, 0, 0));
    EXPECT_EQ(Grab(Palette()->m_foreSwatch).pixel(15, 3), qRgb(128, 128, 128));
    QTest::mouseClick(Palette()->m_grid, Qt::LeftButton, {}, QPoint(35, 47));
    EXPECT_EQ(Palette()->m_foreIndex, 35);
    Palette()->m_foreIndex = 0;

    COrvikDoc* doc = NewImage("16", "16", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    grid = Grab(Palette()->m_grid);
    // The default marks: around black white, around grey 234 the exchanged inverse 21, 21, 21.
    EXPECT_EQ(grid.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(grid.pixel(4, 4), qRgb(0, 0, 0));
    EXPECT_EQ(grid.pixel(70, 310), qRgb(21, 21, 21));
    EXPECT_EQ(grid.pixel(75, 315), qRgb(234, 234, 234));
    EXPECT_EQ(grid.pixel(15, 5), qRgb(0, 0, 42));  // entry 1, unmarked
    EXPECT_EQ(Grab(Palette()->m_foreSwatch).pixel(15, 15), qRgb(0, 0, 0));
    EXPECT_EQ(Grab(Palette()->m_backSwatch).pixel(15, 15), qRgb(234, 234, 234));

    QTest::mouseClick(Palette()->m_grid, Qt::LeftButton, {}, QPoint(35, 47));
    EXPECT_EQ(Palette()->m_foreIndex, 35);
    QTest::mouseClick(Palette()->m_grid, Qt::RightButton, {}, QPoint(79, 319));
    EXPECT_EQ(Palette()->m_backIndex, 255);
    QTest::mouseClick(Palette()->m_grid, Qt::RightButton, {}, QPoint(1, 1));
    EXPECT_EQ(Palette()->m_backIndex, 0);
    // Entry 30 is pure green (0, 210, 0)? Entry 30 = r 0, g 210, b 0: its mark is (255, 255, 45).
    QTest::mouseClick(Palette()->m_grid, Qt::LeftButton, {}, QPoint(60, 30));
    EXPECT_EQ(Palette()->m_foreIndex, 30);
    grid = Grab(Palette()->m_grid);
    EXPECT_EQ(grid.pixel(60, 30), qRgb(255, 255, 45));
    EXPECT_EQ(grid.pixel(65, 35), qRgb(0, 210, 0));
    EXPECT_EQ(Grab(Palette()->m_foreSwatch).pixel(1, 1), qRgb(0, 210, 0));
    // Both colours on one cell mark one cell.
    QTest::mouseClick(Palette()->m_grid, Qt::RightButton, {}, QPoint(60, 30));
    EXPECT_EQ(Palette()->m_backIndex, 30);
    EXPECT_EQ(Grab(Palette()->m_backSwatch).pixel(1, 1), qRgb(0, 210, 0));
    // Closing the last document shows the placeholder again.
    CloseWithoutSaving(doc);
    EXPECT_EQ(Grab(Palette()->m_grid).pixel(40, 5), qRgb(128, 128, 128));
}

TEST_F(PaintingTest, ToolButtonsAndTranslucentCheckMark) {
    auto checked = [](int id) {
        Main()->UpdateCommandUI();
        return Main()->Action(id)->isChecked();
    };
    EXPECT_FALSE(Main()->Action(ID_TOOL_LINE)->isEnabled());  // no document
    COrvikDoc* doc = NewImage("8", "8", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(checked(ID_TOOL_BRUSH));
    EXPECT_FALSE(checked(ID_MISC_TRANSLUCENT));
    Main()->Action(ID_TOOL_LINE)->trigger();
    EXPECT_EQ(Main()->m_currentTool, ID_TOOL_LINE);
    EXPECT_TRUE(checked(ID_TOOL_LINE));
    EXPECT_FALSE(checked(ID_TOOL_BRUSH));
    Main()->Action(ID_TOOL_LINE)->trigger();  // again: still the line
    EXPECT_TRUE(checked(ID_TOOL_LINE));
    Main()->Action(ID_MISC_TRANSLUCENT)->trigger();
    EXPECT_EQ(g_bTranslucent, 1);
    EXPECT_TRUE(checked(ID_MISC_TRANSLUCENT));
    Main()->Action(ID_MISC_TRANSLUCENT)->trigger();
    EXPECT_EQ(g_bTranslucent, 0);
    EXPECT_FALSE(checked(ID_MISC_TRANSLUCENT));
    // The tool survives the document.
    CloseWithoutSaving(doc);
    Main()->UpdateCommandUI();
    EXPECT_FALSE(Main()->Action(ID_TOOL_LINE)->isEnabled());
    ASSERT_NE(NewImage("8", "8", kImage24Bit), nullptr);
    EXPECT_TRUE(checked(ID_TOOL_LINE));
}

TEST_F(PaintingTest, BrushStrokesAtBothDepths) {
    for (int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = NewImage("20", "10", type);
        ASSERT_NE(doc, nullptr);
        UseTool(ID_TOOL_BRUSH);
        Palette()->m_foreIndex = 180;  // red
        Palette()->m_backIndex = 5;
        Press(doc, QPoint(2, 2));
        Move(doc, QPoint(7, 4));
        Release(doc, QPoint(7, 4));
        EXPECT_TRUE(doc->IsModified());
        // The segment (2, 2) .. (7, 4) of the line stepping, in the foreground colour.
        for (QPoint p : {QPoint(2, 2), QPoint(3, 2), QPoint(4, 3), QPoint(5, 3), QPoint(6, 4), QPoint(7, 4)})
            EXPECT_EQ(Pixel(doc, p.x(), p.y()), Painted(doc, 180)) << p.x() << "," << p.y();
        EXPECT_EQ(Pixel(doc, 3, 3), 0u);
        // The right button paints the background colour, starting from the last pointer position.
        Move(doc, QPoint(10, 8));
        Press(doc, QPoint(10, 8), Qt::RightButton);
        Move(doc, QPoint(12, 8));
        Release(doc, QPoint(12, 8), Qt::RightButton);
        for (int x = 10; x <= 12; ++x)
            EXPECT_EQ(Pixel(doc, x, 8), Painted(doc, 5));
        CloseWithoutSaving(doc);
    }
}

TEST_F(PaintingTest, TranslucentStrokeBlendsJointsTwice) {
    COrvikDoc* doc = NewImage("20", "5", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    for (int x = 0; x < 20; ++x)
        SetPixel(doc, x, 2, 0xFFFFFF);
    g_bTranslucent = 1;
    Palette()->m_foreIndex = 0;  // black
    Press(doc, QPoint(1, 2));
    Move(doc, QPoint(4, 2));
    Move(doc, QPoint(7, 2));
    Release(doc, QPoint(7, 2));
    const uint32_t once = 0xA0A0A0;      // 255 under black at 0.63: 160
    const uint32_t twice = 0x646464;     // 160 under black: 100
    EXPECT_EQ(Pixel(doc, 1, 2), twice);  // the press dab and the start of the first segment
    EXPECT_EQ(Pixel(doc, 2, 2), once);
    EXPECT_EQ(Pixel(doc, 3, 2), once);
    EXPECT_EQ(Pixel(doc, 4, 2), twice);  // end of one segment, start of the next
    EXPECT_EQ(Pixel(doc, 6, 2), once);
    EXPECT_EQ(Pixel(doc, 7, 2), once);
    EXPECT_EQ(Pixel(doc, 8, 2), 0xFFFFFFu);
}

TEST_F(PaintingTest, LinesAndRectangles) {
    for (int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = NewImage("40", "40", type);
        ASSERT_NE(doc, nullptr);
        Palette()->m_foreIndex = 180;
        Palette()->m_backIndex = 30;
        UseTool(ID_TOOL_LINE);
        Drag(doc, QPoint(1, 1), QPoint(6, 3));
        for (QPoint p : {QPoint(1, 1), QPoint(2, 1), QPoint(3, 2), QPoint(4, 2), QPoint(5, 3), QPoint(6, 3)})
            EXPECT_EQ(Pixel(doc, p.x(), p.y()), Painted(doc, 180));
        EXPECT_EQ(Pixel(doc, 3, 1), 0u);
        // A click draws one pixel; the right button draws in the foreground colour too.
        Press(doc, QPoint(20, 20));
        Release(doc, QPoint(20, 20));
        EXPECT_EQ(Pixel(doc, 20, 20), Painted(doc, 180));
        EXPECT_EQ(Pixel(doc, 21, 20), 0u);
        Drag(doc, QPoint(30, 5), QPoint(30, 7), Qt::RightButton);
        EXPECT_EQ(Pixel(doc, 30, 6), Painted(doc, 180));
        EXPECT_FALSE(doc->m_pView->m_bDragging);

        UseTool(ID_TOOL_RECT);
        Drag(doc, QPoint(10, 10), QPoint(10, 30));  // a single column: nothing
        Drag(doc, QPoint(10, 10), QPoint(30, 10));  // a single row: nothing
        EXPECT_EQ(Pixel(doc, 10, 20), 0u);
        EXPECT_EQ(Pixel(doc, 20, 10), 0u);
        Drag(doc, QPoint(30, 30), QPoint(10, 10));  // the same 21 x 21 outline as from (10, 10)
        int painted = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool edge =
                    x >= 10 && x <= 30 && y >= 10 && y <= 30 && (x == 10 || x == 30 || y == 10 || y == 30);
                if (edge) {
                    EXPECT_EQ(Pixel(doc, x, y), Painted(doc, 180)) << x << "," << y;
                    ++painted;
                }
            }
        EXPECT_EQ(painted, 80);
        EXPECT_EQ(Pixel(doc, 20, 25), 0u);
        // Two rows apart: only the two horizontal lines; the right button uses the background.
        Drag(doc, QPoint(2, 34), QPoint(8, 35), Qt::RightButton);
        for (int x = 2; x <= 8; ++x) {
            EXPECT_EQ(Pixel(doc, x, 34), Painted(doc, 30));
            EXPECT_EQ(Pixel(doc, x, 35), Painted(doc, 30));
        }
        CloseWithoutSaving(doc);
    }
}

TEST_F(PaintingTest, TranslucentRectangleWritesEachOutlinePixelOnce) {
    COrvikDoc* doc = NewImage("12", "12", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            SetPixel(doc, x, y, 0xFFFFFF);
    g_bTranslucent = 1;
    UseTool(ID_TOOL_RECT);
    Drag(doc, QPoint(2, 2), QPoint(8, 6));
    for (QPoint p :
         {QPoint(2, 2), QPoint(8, 2), QPoint(2, 6), QPoint(8, 6), QPoint(5, 2), QPoint(2, 4), QPoint(8, 5)})
        EXPECT_EQ(Pixel(doc, p.x(), p.y()), 0xA0A0A0u) << p.x() << "," << p.y();
    EXPECT_EQ(Pixel(doc, 5, 4), 0xFFFFFFu);
}

TEST_F(PaintingTest, FillWithAndWithoutTranslucency) {
    COrvikDoc* doc = NewImage("30", "20", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    for (int y = 0; y < 20; ++y)
        SetPixel(doc, 15, y, 0xFFFFFF);  // a wall down the middle
    UseTool(ID_TOOL_FILL);
    Palette()->m_foreIndex = 180;  // (210, 0, 0)
    Palette()->m_backIndex = 5;
    Press(doc, QPoint(3, 3));
    Release(doc, QPoint(3, 3));
    EXPECT_EQ(Pixel(doc, 14, 19), 0xD20000u);
    EXPECT_EQ(Pixel(doc, 16, 0), 0u);
    // The right button fills with the background colour.
    Press(doc, QPoint(20, 3), Qt::RightButton);
    Release(doc, QPoint(20, 3), Qt::RightButton);
    EXPECT_EQ(Pixel(doc, 29, 19), Colour(doc, 5));
    EXPECT_EQ(Pixel(doc, 0, 0), 0xD20000u);
    g_bTranslucent = 1;
    Press(doc, QPoint(15, 0));  // the white wall, blended with red
    Release(doc, QPoint(15, 0));
    EXPECT_EQ(Pixel(doc, 15, 10),
              uint32_t(BlendChannel(255, 210) << 16 | BlendChannel(255, 0) << 8 | BlendChannel(255, 0)));

    COrvikDoc* doc8 = NewImage("30", "20", kImage8Bit);
    ASSERT_NE(doc8, nullptr);
    g_bTranslucent = 0;
    Press(doc8, QPoint(1, 1));
    Release(doc8, QPoint(1, 1));
    EXPECT_EQ(Pixel(doc8, 29, 19), 180u);
}

TEST_F(PaintingTest, ToolsWriteOnlyInsideTheImageWhenItChangesUnderThem) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = NewImage("40", "40", type);
        ASSERT_NE(doc, nullptr);
        const auto untouchedBut = [doc](std::initializer_list<QPoint> painted, uint32_t value) {
            for (int y = 0; y < doc->Height(); ++y)
                for (int x = 0; x < doc->Width(); ++x) {
                    const bool expect =
                        std::find(painted.begin(), painted.end(), QPoint(x, y)) != painted.end();
                    ASSERT_EQ(Pixel(doc, x, y), expect ? value : 0u) << x << "," << y;
                }
        };
        // The pointer rests at (30, 30) when the image shrinks from the keyboard; a right drag
        // without moving first starts where the button went down, not at the old point.
        UseTool(ID_TOOL_BRUSH);
        Move(doc, QPoint(30, 30));
        ASSERT_EQ(doc->ResizeImage(10, 10), ImageStatus::Ok);
        Press(doc, QPoint(5, 5), Qt::RightButton);
        Move(doc, QPoint(6, 6));
        Release(doc, QPoint(6, 6), Qt::RightButton);
        untouchedBut({{5, 5}, {6, 6}}, Painted(doc, 255));

        // Lines and dots are clipped to the image.
        Palette()->m_foreIndex = 9;
        Palette()->m_backIndex = 0;
        doc->m_pView->PaintLine(-5, -5, 3, 3, true);
        doc->m_pView->PaintDot(10, 0, true);
        doc->m_pView->PaintDot(0, -1, true);
        doc->m_pView->PaintLine(5, 5, 6, 6, false);
        untouchedBut({{0, 0}, {1, 1}, {2, 2}, {3, 3}}, Painted(doc, 9));

        // A line or rectangle drag in progress ends without painting when the canvas changes.
        for (const int tool : {ID_TOOL_LINE, ID_TOOL_RECT}) {
            UseTool(tool);
            Press(doc, QPoint(8, 8));
            Move(doc, QPoint(2, 2));
            ASSERT_EQ(doc->ResizeCanvas(tool == ID_TOOL_LINE ? 9 : 8, 10), ImageStatus::Ok);
            EXPECT_FALSE(doc->m_pView->m_bDragging);
            Release(doc, QPoint(1, 1));
        }
        untouchedBut({{0, 0}, {1, 1}, {2, 2}, {3, 3}}, Painted(doc, 9));
        Palette()->m_foreIndex = 0;
        Palette()->m_backIndex = 255;
        CloseWithoutSaving(doc);
    }
}

TEST_F(PaintingTest, SelectionLiftMoveAndDrop) {
    for (int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = NewImage("40", "30", type);
        ASSERT_NE(doc, nullptr);
        COrvikView* view = doc->m_pView;
        for (int y = 10; y < 15; ++y)
            for (int x = 10; x < 20; ++x)
                SetPixel(doc, x, y, Painted(doc, 180));
        Palette()->m_backIndex = 30;
        UseTool(ID_TOOL_SELECT);
        Drag(doc, QPoint(10, 10), QPoint(20, 15));
        EXPECT_TRUE(view->m_bSelection);
        EXPECT_FALSE(view->m_bDragging);
        EXPECT_EQ(view->m_rcSelection.right, 20);
        EXPECT_FALSE(doc->HasFloat());
        // Over the selection the pointer shows the move cursor; outside, the selection cursor.
        Move(doc, QPoint(15, 12));
        EXPECT_EQ(view->viewport()->cursor().hotSpot(), QPoint(8, 8));
        Move(doc, QPoint(30, 25));
        EXPECT_EQ(view->viewport()->cursor().hotSpot(), QPoint(7, 8));
        // Grab inside and move: the first move lifts, leaving the background colour behind.
        Press(doc, QPoint(15, 12));
        EXPECT_TRUE(view->m_bMoving);
        Move(doc, QPoint(15, 12));
        ASSERT_TRUE(doc->HasFloat());
        EXPECT_EQ(doc->m_pFloatHeader->biWidth, 10);
        EXPECT_EQ(doc->m_pFloatHeader->biHeight, 5);
        EXPECT_EQ(Pixel(doc, 12, 12), Painted(doc, 30));
        Move(doc, QPoint(18, 14));
        Release(doc, QPoint(18, 14));
        EXPECT_FALSE(view->m_bMoving);
        EXPECT_EQ(view->m_rcSelection.left, 13);
        EXPECT_EQ(view->m_rcSelection.top, 12);
        // On screen the floating block shows at its new place before it is dropped.
        EXPECT_EQ(Grab(view->viewport()).pixel(ViewPoint(doc, {14, 13})), qRgb(210, 0, 0));
        EXPECT_EQ(Pixel(doc, 14, 13), Painted(doc, 30));
        // A press outside drops it.
        Press(doc, QPoint(2, 2));
        Release(doc, QPoint(2, 2));
        EXPECT_FALSE(view->m_bSelection);
        EXPECT_FALSE(doc->HasFloat());
        for (int y = 12; y < 17; ++y)
            for (int x = 13; x < 23; ++x)
                EXPECT_EQ(Pixel(doc, x, y), Painted(doc, 180)) << x << "," << y;
        EXPECT_EQ(Pixel(doc, 11, 11), Painted(doc, 30));
        CloseWithoutSaving(doc);
    }
}

TEST_F(PaintingTest, DropClipsAtEveryEdgeAndEdgesOfTheSelectionCountAsOutside) {
    COrvikDoc* doc = NewImage("30", "20", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            SetPixel(doc, 5 + x, 5 + y, 0x010101 * uint32_t(1 + x + 10 * y));
    UseTool(ID_TOOL_SELECT);
    Drag(doc, QPoint(5, 5), QPoint(11, 9));
    // A press on the first column or row is outside: it drops and clears the selection.
    Press(doc, QPoint(5, 7));
    Release(doc, QPoint(5, 7));
    EXPECT_FALSE(view->m_bSelection);
    EXPECT_EQ(view->m_rcSelection.right, 0);

    // Move the block so it hangs past the left and top edges, then drop it.
    Drag(doc, QPoint(5, 5), QPoint(11, 9));
    Press(doc, QPoint(7, 7));
    Move(doc, QPoint(7, 7));  // lift
    Move(doc, QPoint(3, 4));  // by (-4, -3): columns -1..4, rows 2..5
    Release(doc, QPoint(3, 4));
    EXPECT_EQ(view->m_rcSelection.left, 1);
    view->m_rcSelection = RECT{-2, -1, 4, 3};  // hanging past the left and the top
    view->DropSelection();
    view->m_bSelection = false;
    EXPECT_FALSE(doc->HasFloat());
    // Image (0, 0) gets block pixel (2, 1); nothing was written outside the image.
    EXPECT_EQ(Pixel(doc, 0, 0), 0x010101u * (1 + 2 + 10 * 1));
    EXPECT_EQ(Pixel(doc, 3, 2), 0x010101u * (1 + 5 + 10 * 3));

    // Past the right and bottom edges: lift columns 1..4, rows 1..3 (image (1, 1) holds block
    // pixel (3, 2)), then drop it hanging past the corner.
    Drag(doc, QPoint(1, 1), QPoint(5, 4));
    Press(doc, QPoint(3, 2));
    Move(doc, QPoint(3, 2));
    Release(doc, QPoint(3, 2));
    ASSERT_TRUE(doc->HasFloat());
    view->m_rcSelection = RECT{27, 18, 31, 21};
    view->DropSelection();
    view->m_bSelection = false;
    EXPECT_EQ(Pixel(doc, 27, 18), 0x010101u * (1 + 3 + 10 * 2));
    EXPECT_EQ(Pixel(doc, 29, 19), 0x010101u * (1 + 5 + 10 * 3));
    // Entirely outside: nothing is written, the block is released.
    Drag(doc, QPoint(1, 1), QPoint(5, 4));
    Press(doc, QPoint(3, 2));
    Move(doc, QPoint(3, 2));
    Release(doc, QPoint(3, 2));
    view->m_rcSelection = RECT{100, 100, 104, 103};
    view->DropSelection();
    EXPECT_FALSE(doc->HasFloat());
}

TEST_F(PaintingTest, ClickWithoutMovementMakesAnEmptySelection) {
    COrvikDoc* doc = NewImage("20", "20", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    UseTool(ID_TOOL_SELECT);
    Press(doc, QPoint(5, 5));
    Release(doc, QPoint(5, 5));
    EXPECT_TRUE(view->m_bSelection);
    EXPECT_FALSE(view->HitSelection(5, 5));
    Press(doc, QPoint(5, 5));  // drops and clears
    Release(doc, QPoint(5, 5));
    EXPECT_FALSE(view->m_bSelection);
    // A selection moved without the left button held stops moving.
    Drag(doc, QPoint(2, 2), QPoint(10, 10));
    Press(doc, QPoint(5, 5));
    EXPECT_TRUE(view->m_bMoving);
    QMouseEvent move(QEvent::MouseMove, QPointF(6, 6), QPointF(6, 6), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    EXPECT_FALSE(view->m_bMoving);
    EXPECT_FALSE(doc->HasFloat());
    Release(doc, QPoint(6, 6));
}

TEST_F(PaintingTest, ZoomToolClicksAndDoubleClick) {
    COrvikDoc* doc = NewImage("50", "40", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    UseTool(ID_TOOL_ZOOM);
    Press(doc, QPoint(10, 10));
    Release(doc, QPoint(10, 10));
    EXPECT_EQ(doc->m_nZoom, 6);
    EXPECT_TRUE(doc->m_pView2->isVisible());
    // A double click zooms once: the window system delivers its second press as a double click,
    // which does nothing.
    DoubleClick(doc, QPoint(10, 10));
    EXPECT_EQ(doc->m_nZoom, 8);
    Press(doc, QPoint(10, 10), Qt::RightButton);
    Release(doc, QPoint(10, 10), Qt::RightButton);
    EXPECT_EQ(doc->m_nZoom, 6);
    // With the brush a double click paints one dab.
    UseTool(ID_TOOL_BRUSH);
    Palette()->m_foreIndex = 7;
    g_bTranslucent = 0;
    const QPoint p = doc->m_pView->ClientToImage(20, 20);
    DoubleClick(doc, p);
    EXPECT_EQ(Pixel(doc, p.x(), p.y()), 7u);
}

TEST_F(PaintingTest, ActualSizePaneDrawsPansAndReportsThePointer) {
    COrvikDoc* doc = NewImage("250", "1200", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    for (int y = 0; y < 1200; ++y)
        for (int x = 0; x < 250; ++x)
            SetPixel(doc, x, y, uint32_t(x) << 16 | uint32_t(y % 256) << 8);
    doc->m_pView->ZoomIn(0, 0);
    ProcessEvents();
    COrvikView2* pane = doc->m_pView2;
    ASSERT_TRUE(pane->isVisible());
    const QSize client = pane->viewport()->size();
    ASSERT_LT(client.width() + 20, 250);
    ASSERT_LT(client.height() + 20, 1200);
    EXPECT_EQ(pane->m_nMaxScrollX, 250 - client.width());
    EXPECT_EQ(pane->m_nMaxScrollY, 1200 - client.height());
    QImage shot = Grab(pane->viewport());
    EXPECT_EQ(shot.pixel(5, 7), qRgb(5, 7, 0));
    // Dragging 10 pixels left shows columns 10 further right; past the end it stops.
    QWidget* vp = pane->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(50, 40));
    QTest::mouseMove(vp, QPoint(40, 40));
    EXPECT_EQ(pane->m_nScrollX, 10);
    QTest::mouseMove(vp, QPoint(-1000, -1000));
    EXPECT_EQ(pane->m_nScrollX, pane->m_nMaxScrollX);
    EXPECT_EQ(pane->m_nScrollY, pane->m_nMaxScrollY);
    QTest::mouseMove(vp, QPoint(-990, -1000));  // back at once: the anchor followed the pointer
    EXPECT_EQ(pane->m_nScrollX, pane->m_nMaxScrollX - 10);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(-990, -1000));
    EXPECT_FALSE(pane->m_bPanning);
    shot = Grab(pane->viewport());
    EXPECT_EQ(shot.pixel(0, 0), qRgb(pane->m_nScrollX, pane->m_nScrollY % 256, 0));
    QTest::mouseMove(vp, QPoint(3, 4));
    EXPECT_EQ(Main()->PaneText(0), QString("(%1 , %2)").arg(3 + pane->m_nScrollX).arg(4 + pane->m_nScrollY));
    // Edits reach the pane with the document's update.
    SetPixel(doc, pane->m_nScrollX, pane->m_nScrollY, 0x0000FF);
    doc->UpdateAllViews();
    EXPECT_EQ(Grab(pane->viewport()).pixel(0, 0), qRgb(0, 0, 255));
}
