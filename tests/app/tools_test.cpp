// The drawing tools through the real program: the tool-options bar and its keys, the eraser, the
// colour picker, the shapes with their fill styles, the polygon, colour replacement, spray, text,
// Select All and Select None, the tools' single keys and the pixel grid. Pixels are checked against
// small models written here, at both depths, and each use is undone as one step.
#include <QAction>
#include <QSpinBox>
#include <QTest>

#include <cmath>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "colour/color_palette_dlg.h"
#include "dialogs/setup_dlg.h"
#include "document/pixel_routines.h"
#include "image_test_helpers.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/tool_options_bar.h"

namespace {

CColorPaletteDlg* Palette() {
    return GuiTest::Main()->m_wndPaletteDlg;
}

CToolOptionsBar* Options() {
    return GuiTest::Main()->m_wndToolOptions;
}

bool Command(int id) {
    return GuiTest::Main()->RouteCommand(id);
}

// Pixel (x, y) from the top: the index, 0x00RRGGBB, or 0xAARRGGBB of a 32-bit image.
uint32_t Pixel(const COrvikDoc* doc, int x, int y) {
    const int row = doc->Height() - 1 - y;
    if (doc->BitCount() == 8) return doc->m_pBits[row * doc->Stride() + x];
    if (doc->BitCount() == 32) return GetPixel32(doc->m_pBits, x, row, doc->Stride());
    return GetPixel24(doc->m_pBits, x, row, doc->Stride());
}

// What a pixel painted opaquely with entry `index` holds.
uint32_t Painted(const COrvikDoc* doc, int index) {
    return doc->BitCount() == 8 ? uint32_t(index) : PaletteColour(doc->m_pPalette[index]);
}

// The image filled with entry `index`.
void FillWith(COrvikDoc* doc, int index) {
    FillBlock(doc->m_pBits, 0, 0, doc->Stride(), doc->Width(), doc->Height(), doc->BitCount() / 8,
              Painted(doc, index));
}

using Pixels = std::set<std::pair<int, int>>;

// The pixels that do not hold `value`.
Pixels Changed(const COrvikDoc* doc, uint32_t value) {
    Pixels changed;
    for (int y = 0; y < doc->Height(); ++y)
        for (int x = 0; x < doc->Width(); ++x)
            if (Pixel(doc, x, y) != value) changed.insert({x, y});
    return changed;
}

QWidget* Surface(COrvikDoc* doc) {
    return doc->m_pView->viewport();
}

// A drag between image points, through the middle.
void Drag(COrvikDoc* doc, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mousePress(Surface(doc), Qt::LeftButton, modifiers, ViewPoint(doc, from));
    for (const QPoint p : {(from + to) / 2, to})
        QTest::mouseEvent(QTest::MouseMove, Surface(doc), Qt::NoButton, modifiers, ViewPoint(doc, p));
    QTest::mouseRelease(Surface(doc), Qt::LeftButton, modifiers, ViewPoint(doc, to));
}

void Click(COrvikDoc* doc, QPoint p, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(Surface(doc), button, modifiers, ViewPoint(doc, p));
}

// A key as the user presses it in the program's window.
void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
    QApplication::setActiveWindow(GuiTest::Main());
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : GuiTest::Main(), Qt::Key(key),
                    modifiers);
}

class ToolsTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        g_bTranslucent = 0;
        g_fTranslucency = 0.63f;
        g_fillStyle = kOutlined;
        Palette()->m_foreIndex = 180;
        Palette()->m_backIndex = 30;
    }
    void TearDown() override {
        g_bTranslucent = 0;
        g_fillStyle = kOutlined;
        Palette()->m_foreIndex = 0;
        Palette()->m_backIndex = 255;
        Main()->m_currentTool = ID_TOOL_BRUSH;
        GuiTest::TearDown();
    }
    // A new image of the type, filled with entry 1, its view focused.
    static COrvikDoc* Blank(int type, int width = 40, int height = 30) {
        COrvikDoc* doc = NewImage(QString::number(width), QString::number(height), type);
        if (!doc) return nullptr;
        FillWith(doc, 1);
        doc->m_pView->setFocus();
        return doc;
    }
    static void Use(int tool) {
        Command(tool);
        Main()->UpdateCommandUI();
    }
};

}  // namespace

// The bar shows the current tool's options and keeps its height; [ and ] step the size; a stroke
// of a 5-pixel round brush is the discs along its line (each pixel blended once while translucent);
// the square brush is a square; each stroke undoes as one step.
TEST_F(ToolsTest, BrushSizeShapeAndTheOptionsBar) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = Blank(type);
        ASSERT_NE(doc, nullptr);
        Use(ID_TOOL_BRUSH);
        const int height = Options()->height();
        EXPECT_TRUE(Main()->Action(ID_BRUSH_ROUND)->isVisible());
        Use(ID_TOOL_SELECT);
        EXPECT_FALSE(Main()->Action(ID_BRUSH_ROUND)->isVisible());
        EXPECT_FALSE(Main()->Action(ID_FILL_FILLED)->isVisible());
        Use(ID_TOOL_ELLIPSE);
        EXPECT_TRUE(Main()->Action(ID_FILL_FILLED)->isVisible());
        EXPECT_FALSE(Main()->Action(ID_BRUSH_PIXEL_PERFECT)->isVisible());
        Use(ID_TOOL_BRUSH);
        ProcessEvents();
        EXPECT_EQ(Options()->height(), height);
        for (int i = 0; i < 5; ++i)
            Key(Qt::Key_BracketRight);
        Key(Qt::Key_BracketLeft);
        EXPECT_EQ(Options()->Settings().brushSize, 5);
        EXPECT_EQ(Options()->m_sizeBox->value(), 5);

        g_bTranslucent = type == kImage24Bit ? 1 : 0;
        Drag(doc, QPoint(10, 10), QPoint(20, 10));
        Pixels disc;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                for (int px = 10; px <= 20; ++px)
                    if ((x - px) * (x - px) + (y - 10) * (y - 10) <= 6) disc.insert({x, y});
        const uint32_t blank = Painted(doc, 1);
        EXPECT_EQ(Changed(doc, blank), disc);
        uint8_t once[3] = {uint8_t(blank), uint8_t(blank >> 8), uint8_t(blank >> 16)};
        PutPixel24(once, 0, 0, 3, Painted(doc, 180));
        const uint32_t painted = type == kImage8Bit ? 180u : GetPixel24(once, 0, 0, 3);
        for (const auto& [x, y] : disc)
            ASSERT_EQ(Pixel(doc, x, y), painted) << x << ", " << y;
        g_bTranslucent = 0;
        ASSERT_TRUE(Command(ID_EDIT_UNDO));
        EXPECT_TRUE(Changed(doc, blank).empty());

        ASSERT_TRUE(Command(ID_BRUSH_SQUARE));
        Click(doc, QPoint(30, 20));
        Pixels square;
        for (int y = 18; y <= 22; ++y)
            for (int x = 28; x <= 32; ++x)
                square.insert({x, y});
        EXPECT_EQ(Changed(doc, blank), square);
        ASSERT_TRUE(Command(ID_BRUSH_ROUND));
        Options()->SetBrushSize(1);
        CloseWithoutSaving(doc);
    }
}

// With Pixel Perfect a one-pixel stroke leaves out the corner of each L-shaped turn as it goes on,
// putting back what the pixel held; without it the corner stays.
TEST_F(ToolsTest, PixelPerfectStrokesDropTheirCorners) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = Blank(type);
        ASSERT_NE(doc, nullptr);
        Use(ID_TOOL_BRUSH);
        for (const bool perfect : {false, true}) {
            if (perfect) ASSERT_TRUE(Command(ID_BRUSH_PIXEL_PERFECT));
            const int y = perfect ? 15 : 5;
            QTest::mousePress(Surface(doc), Qt::LeftButton, {}, ViewPoint(doc, QPoint(5, y)));
            for (const QPoint p : {QPoint(6, y), QPoint(6, y + 1), QPoint(7, y + 1), QPoint(7, y + 2)})
                QTest::mouseMove(Surface(doc), ViewPoint(doc, p));
            QTest::mouseRelease(Surface(doc), Qt::LeftButton, {}, ViewPoint(doc, QPoint(7, y + 2)));
        }
        EXPECT_EQ(Changed(doc, Painted(doc, 1)),
                  (Pixels{{5, 5}, {6, 5}, {6, 6}, {7, 6}, {7, 7}, {5, 15}, {6, 16}, {7, 17}}));
        ASSERT_TRUE(Command(ID_EDIT_UNDO));
        EXPECT_EQ(Changed(doc, Painted(doc, 1)).size(), 5u);
        ASSERT_TRUE(Command(ID_BRUSH_PIXEL_PERFECT));
        CloseWithoutSaving(doc);
    }
}

// The eraser paints the background colour on an opaque image and leaves transparent pixels on an
// 8-bit image with a transparent entry and on a 32-bit one.
TEST_F(ToolsTest, EraserWritesTheBackgroundOrTransparency) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = Blank(type);
        ASSERT_NE(doc, nullptr);
        Key(Qt::Key_E);
        ASSERT_EQ(Main()->m_currentTool, ID_TOOL_ERASER);
        Options()->SetBrushSize(3);
        Drag(doc, QPoint(5, 5), QPoint(15, 5));
        const Pixels erased = Changed(doc, Painted(doc, 1));
        EXPECT_EQ(erased.size(), 39u);  // 3 x 13
        for (const auto& [x, y] : erased)
            ASSERT_EQ(Pixel(doc, x, y), Painted(doc, 30));
        ASSERT_TRUE(Command(ID_EDIT_UNDO));
        EXPECT_TRUE(Changed(doc, Painted(doc, 1)).empty());
        CloseWithoutSaving(doc);
    }
    COrvikDoc* doc = Blank(kImage8Bit);
    ASSERT_NE(doc, nullptr);
    Palette()->SetEntry(200, 0, 0, 0, 0);
    Use(ID_TOOL_ERASER);
    Drag(doc, QPoint(5, 5), QPoint(6, 5));
    EXPECT_EQ(Pixel(doc, 5, 5), 200u);
    ASSERT_TRUE(Command(ID_COLORS_INCREASE));
    ASSERT_EQ(doc->BitCount(), 32);
    Drag(doc, QPoint(10, 10), QPoint(10, 12));
    EXPECT_EQ(Pixel(doc, 10, 11), 0u);
    EXPECT_EQ(Pixel(doc, 12, 11), 0xFF000000u | PaletteColour(doc->m_pPalette[1]));
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(Pixel(doc, 10, 11), 0xFF000000u | PaletteColour(doc->m_pPalette[1]));
}

// The picker and Ctrl + click with a painting tool: left sets the foreground, right the background;
// 8 bits pick the index, 24 bits the first entry of exactly that colour, or else the current
// entry takes the colour, undoably.
TEST_F(ToolsTest, PickerAndCtrlClickAtBothDepths) {
    COrvikDoc* doc = Blank(kImage8Bit);
    ASSERT_NE(doc, nullptr);
    FillBlock(doc->m_pBits, 3, doc->Height() - 1 - 4, doc->Stride(), 1, 1, 1, 77);
    Use(ID_TOOL_PICKER);
    Click(doc, QPoint(3, 4));
    Click(doc, QPoint(8, 8), Qt::RightButton);
    EXPECT_EQ(Palette()->m_foreIndex, 77);
    EXPECT_EQ(Palette()->m_backIndex, 1);
    Use(ID_TOOL_BRUSH);
    Palette()->m_foreIndex = 5;
    Click(doc, QPoint(3, 4), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(Palette()->m_foreIndex, 77);
    EXPECT_EQ(Changed(doc, 1), (Pixels{{3, 4}}));  // nothing painted
    EXPECT_FALSE(doc->IsModified());
    CloseWithoutSaving(doc);

    doc = Blank(kImage24Bit);
    ASSERT_NE(doc, nullptr);
    const uint32_t colour = PaletteColour(doc->m_pPalette[120]);
    int first = 0;
    while (PaletteColour(doc->m_pPalette[first]) != colour)
        ++first;
    FillBlock(doc->m_pBits, 3, doc->Height() - 1 - 4, doc->Stride(), 1, 1, 3, colour);
    FillBlock(doc->m_pBits, 6, doc->Height() - 1 - 4, doc->Stride(), 1, 1, 3, 0x123457);
    Use(ID_TOOL_ELLIPSE);
    Palette()->m_foreIndex = 180;
    Click(doc, QPoint(3, 4), Qt::RightButton, Qt::ControlModifier);
    EXPECT_EQ(Palette()->m_backIndex, first);
    Click(doc, QPoint(6, 4), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(Palette()->m_foreIndex, 180);
    EXPECT_EQ(PaletteColour(doc->m_pPalette[180]), 0x123457u);
    EXPECT_EQ(Changed(doc, Painted(doc, 1)), (Pixels{{3, 4}, {6, 4}}));
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_NE(PaletteColour(doc->m_pPalette[180]), 0x123457u);
}

// The ellipse in the dragged box is the model's (pixel centres inside the ellipse through the
// box's outer edges), outline in the foreground around the background when filled, symmetric;
// Shift makes it a circle; the Setup dialog's fill style follows the bar.
TEST_F(ToolsTest, EllipsesCirclesAndFillStyles) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = Blank(type);
        ASSERT_NE(doc, nullptr);
        Key(Qt::Key_O);
        ASSERT_EQ(Main()->m_currentTool, ID_TOOL_ELLIPSE);
        ASSERT_TRUE(Command(ID_FILL_FILLED));
        EXPECT_EQ(g_fillStyle, kFilled);
        Drag(doc, QPoint(5, 5), QPoint(25, 15));
        Pixels shape;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const double dx = (x - 15) / 10.5;
                const double dy = (y - 10) / 5.5;
                if (dx * dx + dy * dy <= 1) shape.insert({x, y});
            }
        EXPECT_EQ(Changed(doc, Painted(doc, 1)), shape);
        int outline = 0;
        for (const auto& [x, y] : shape) {
            const bool edge = !shape.count({x - 1, y}) || !shape.count({x + 1, y}) ||
                              !shape.count({x, y - 1}) || !shape.count({x, y + 1});
            outline += edge;
            ASSERT_EQ(Pixel(doc, x, y), Painted(doc, edge ? 180 : 30)) << x << ", " << y;
            ASSERT_EQ(Pixel(doc, 30 - x, y), Pixel(doc, x, y));
            ASSERT_EQ(Pixel(doc, x, 20 - y), Pixel(doc, x, y));
        }
        EXPECT_GT(outline, 40);
        ASSERT_TRUE(Command(ID_EDIT_UNDO));
        EXPECT_TRUE(Changed(doc, Painted(doc, 1)).empty());

        ASSERT_TRUE(Command(ID_FILL_OUTLINED));
        Drag(doc, QPoint(5, 5), QPoint(25, 15), Qt::ShiftModifier);
        const Pixels circle = Changed(doc, Painted(doc, 1));
        EXPECT_EQ(circle.begin()->first, 5);
        EXPECT_EQ(circle.rbegin()->first, 15);
        EXPECT_FALSE(circle.count({10, 10}));  // outlined: the middle stays
        for (const auto& [x, y] : circle)
            ASSERT_TRUE(circle.count({y, x}));
        CloseWithoutSaving(doc);
    }
}

// Clicks add corners and Enter (or a double click) closes: filled by the even-odd rule inside a
// foreground outline, one step.
TEST_F(ToolsTest, PolygonClosedByEnterOrDoubleClick) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = Blank(type);
        ASSERT_NE(doc, nullptr);
        Key(Qt::Key_P);
        ASSERT_EQ(Main()->m_currentTool, ID_TOOL_POLYGON);
        g_fillStyle = kFilled;
        for (const QPoint p : {QPoint(5, 5), QPoint(25, 5), QPoint(25, 20), QPoint(5, 20)})
            Click(doc, p);
        EXPECT_TRUE(Changed(doc, Painted(doc, 1)).empty());
        Key(Qt::Key_Return);
        Pixels box;
        for (int y = 5; y <= 20; ++y)
            for (int x = 5; x <= 25; ++x)
                box.insert({x, y});
        EXPECT_EQ(Changed(doc, Painted(doc, 1)), box);
        EXPECT_EQ(Pixel(doc, 5, 12), Painted(doc, 180));
        EXPECT_EQ(Pixel(doc, 15, 12), Painted(doc, 30));
        ASSERT_TRUE(Command(ID_EDIT_UNDO));
        EXPECT_TRUE(Changed(doc, Painted(doc, 1)).empty());

        g_fillStyle = kOutlined;
        Click(doc, QPoint(2, 2));
        Click(doc, QPoint(10, 2));
        QTest::mouseDClick(Main()->windowHandle(), Qt::LeftButton, {},
                           Surface(doc)->mapTo(Main(), ViewPoint(doc, QPoint(10, 8))));
        QApplication::processEvents();
        const Pixels drawn = Changed(doc, Painted(doc, 1));
        EXPECT_TRUE(drawn.count({6, 2}) && drawn.count({10, 5}) && drawn.count({6, 5}));
        EXPECT_FALSE(drawn.count({8, 4}));
        CloseWithoutSaving(doc);
    }
}

// The tool replaces the clicked colour (in the selection when there is one); the Image menu's
// command replaces the background colour by the foreground colour.
TEST_F(ToolsTest, ReplaceColourToolAndCommand) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = Blank(type);
        ASSERT_NE(doc, nullptr);
        const int bytes = doc->BitCount() / 8;
        FillBlock(doc->m_pBits, 0, 0, doc->Stride(), 10, 30, bytes, Painted(doc, 30));
        Use(ID_TOOL_REPLACE);
        Click(doc, QPoint(20, 20));
        EXPECT_EQ(Changed(doc, Painted(doc, 180)).size(), 300u);  // the 10 x 30 of entry 30 left
        ASSERT_TRUE(Command(ID_EDIT_UNDO));
        doc->m_pView->m_bSelection = true;
        doc->m_pView->m_rcSelection = RECT{5, 0, 15, 10};
        Click(doc, QPoint(7, 5), Qt::RightButton);  // entry 30 by the background, entry 30: nothing
        EXPECT_EQ(Changed(doc, Painted(doc, 1)).size(), 300u);
        ASSERT_TRUE(Command(ID_IMAGE_REPLACE_COLOR));  // entry 30 by entry 180, in the selection
        EXPECT_EQ(Changed(doc, Painted(doc, 1)).size(), 300u);
        EXPECT_EQ(Pixel(doc, 5, 9), Painted(doc, 180));
        EXPECT_EQ(Pixel(doc, 4, 9), Painted(doc, 30));
        EXPECT_EQ(Pixel(doc, 5, 10), Painted(doc, 30));
        ASSERT_TRUE(Command(ID_EDIT_UNDO));
        EXPECT_EQ(Pixel(doc, 5, 9), Painted(doc, 30));
        CloseWithoutSaving(doc);
    }
}

// While the button is held the spray keeps painting dots within the brush's disc, however still
// the pointer is; the whole spray undoes as one step.
TEST_F(ToolsTest, SprayPaintsByTheClockWithinTheDisc) {
    COrvikDoc* doc = Blank(kImage24Bit);
    ASSERT_NE(doc, nullptr);
    Key(Qt::Key_A);
    ASSERT_EQ(Main()->m_currentTool, ID_TOOL_SPRAY);
    Options()->SetBrushSize(9);
    QTest::mousePress(Surface(doc), Qt::LeftButton, {}, ViewPoint(doc, QPoint(20, 15)));
    const size_t first = Changed(doc, Painted(doc, 1)).size();
    QTest::qWait(200);
    QTest::mouseRelease(Surface(doc), Qt::LeftButton, {}, ViewPoint(doc, QPoint(20, 15)));
    const Pixels dots = Changed(doc, Painted(doc, 1));
    EXPECT_GT(dots.size(), first + 10);
    for (const auto& [x, y] : dots)
        ASSERT_LE((x - 20) * (x - 20) + (y - 15) * (y - 15), 20) << x << ", " << y;
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_TRUE(Changed(doc, Painted(doc, 1)).empty());
}

// A click places the text; the keys typed go into it (not to the single-key shortcuts) and Enter
// puts it down as one step. Unsmoothed (always on 8 bits) every pixel written is exactly the
// foreground; smoothed on 24 bits its edges mix.
TEST_F(ToolsTest, TextWithAndWithoutSmoothing) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        COrvikDoc* doc = Blank(type, 80, 40);
        ASSERT_NE(doc, nullptr);
        Key(Qt::Key_T);
        ASSERT_EQ(Main()->m_currentTool, ID_TOOL_TEXT);
        Click(doc, QPoint(4, 4));
        doc->m_pView->setFocus();
        QTest::keyClicks(Surface(doc), "Bow");
        EXPECT_EQ(Main()->m_currentTool, ID_TOOL_TEXT);
        EXPECT_TRUE(Changed(doc, Painted(doc, 1)).empty());
        QTest::keyClick(Surface(doc), Qt::Key_Return);
        const Pixels text = Changed(doc, Painted(doc, 1));
        EXPECT_GT(text.size(), 20u);
        int mixed = 0;
        for (const auto& [x, y] : text)
            mixed += Pixel(doc, x, y) != Painted(doc, 180);
        if (type == kImage8Bit)
            EXPECT_EQ(mixed, 0);
        else
            EXPECT_GT(mixed, 0);
        ASSERT_TRUE(Command(ID_EDIT_UNDO));
        EXPECT_TRUE(Changed(doc, Painted(doc, 1)).empty());
        if (type == kImage24Bit) {
            ASSERT_TRUE(Command(ID_TEXT_SMOOTH));
            Click(doc, QPoint(4, 4));
            QTest::keyClicks(Surface(doc), "Bow");
            Click(doc, QPoint(60, 30));  // a click elsewhere puts it down
            const Pixels sharp = Changed(doc, Painted(doc, 1));
            EXPECT_GT(sharp.size(), 20u);
            for (const auto& [x, y] : sharp)
                ASSERT_EQ(Pixel(doc, x, y), Painted(doc, 180));
        }
        CloseWithoutSaving(doc);
    }
}

// Ctrl+A selects the whole image with the selection tool, Ctrl+Shift+A selects nothing; each tool
// has its single key, shown in its menu item and tool tip.
TEST_F(ToolsTest, SelectAllNoneAndTheToolKeys) {
    COrvikDoc* doc = Blank(kImage8Bit);
    ASSERT_NE(doc, nullptr);
    COrvikView* view = doc->m_pView;
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(view->m_bSelection);
    EXPECT_EQ(NormalizeRect(view->m_rcSelection).right, 40);
    EXPECT_EQ(NormalizeRect(view->m_rcSelection).bottom, 30);
    EXPECT_EQ(Main()->m_currentTool, ID_TOOL_SELECT);
    Key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(view->m_bSelection);

    const std::pair<int, int> keys[] = {
        {Qt::Key_B, ID_TOOL_BRUSH},   {Qt::Key_E, ID_TOOL_ERASER}, {Qt::Key_K, ID_TOOL_PICKER},
        {Qt::Key_L, ID_TOOL_LINE},    {Qt::Key_R, ID_TOOL_RECT},   {Qt::Key_O, ID_TOOL_ELLIPSE},
        {Qt::Key_P, ID_TOOL_POLYGON}, {Qt::Key_A, ID_TOOL_SPRAY},  {Qt::Key_T, ID_TOOL_TEXT},
        {Qt::Key_F, ID_TOOL_FILL},    {Qt::Key_S, ID_TOOL_SELECT}, {Qt::Key_Z, ID_TOOL_ZOOM}};
    for (const auto& [key, tool] : keys) {
        Key(key);
        EXPECT_EQ(Main()->m_currentTool, tool) << key;
        const QString letter = QKeySequence(key).toString();
        EXPECT_EQ(Main()->Action(tool)->shortcut(), QKeySequence(key));
        EXPECT_TRUE(Main()->Action(tool)->toolTip().endsWith(" (" + letter + ")")) << letter.toStdString();
    }
}

// From 6:1 View > Pixel Grid draws a line of one device pixel between the image pixels, light over
// dark and dark over light; below 6:1, and when it is off, the picture is as it was.
TEST_F(ToolsTest, PixelGridFromSixToOne) {
    COrvikDoc* doc = Blank(kImage8Bit, 20, 20);
    ASSERT_NE(doc, nullptr);
    // The left half black, the right half the palette's lightest colour.
    int light = 0;
    for (int i = 0; i < 256; ++i)
        if (QColor(PaletteColour(doc->m_pPalette[i])).lightness() >
            QColor(PaletteColour(doc->m_pPalette[light])).lightness())
            light = i;
    FillBlock(doc->m_pBits, 0, 0, doc->Stride(), 20, 20, 1, uint32_t(light));
    FillBlock(doc->m_pBits, 0, 0, doc->Stride(), 10, 20, 1, 0);
    COrvikView* view = doc->m_pView;
    view->ZoomTo(ZoomLevel{8, 1});
    ProcessEvents();
    const QImage plain = Grab(view->viewport());
    Key(Qt::Key_Apostrophe, Qt::ControlModifier);
    ASSERT_TRUE(view->m_bPixelGrid);
    const QImage grid = Grab(view->viewport());
    // Along a row inside the image pixels, the lines are every eighth device pixel, lighter over
    // black and darker over the light colour; some rows are lines all along.
    const int y = 4 * 8 + 3;
    std::vector<int> lines;
    for (int x = 0; x < grid.width(); ++x) {
        if (grid.pixel(x, y) == plain.pixel(x, y)) continue;
        lines.push_back(x);
        const int before = QColor(plain.pixel(x, y)).lightness();
        const int after = QColor(grid.pixel(x, y)).lightness();
        EXPECT_TRUE(before < 128 ? after > before : after < before) << x;
    }
    ASSERT_GE(lines.size(), 10u);
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(lines[i] - lines[i - 1], 8);
    int rowLines = 0;
    for (int row = 0; row < grid.height(); ++row)
        rowLines += grid.pixel(lines[0] + 3, row) != plain.pixel(lines[0] + 3, row);
    EXPECT_GE(rowLines, 10);
    view->ZoomTo(ZoomLevel{1, 1});
    ProcessEvents();
    const QImage actual = Grab(view->viewport());
    Key(Qt::Key_Apostrophe, Qt::ControlModifier);
    EXPECT_EQ(Grab(view->viewport()), actual);
}
