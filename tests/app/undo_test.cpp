// Undo and Redo through the real views, commands and keys: every kind of step at both depths with
// the whole document compared byte by byte, the items' states, what follows an undo on screen, the
// memory budget, and Increase Color Depth.
#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

#include <unistd.h>
#include <cstring>
#include <functional>
#include <vector>

#include "app/child_frame.h"
#include "colour/color_palette_dlg.h"
#include "document/pixel_routines.h"
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

QWidget* Surface(COrvikDoc* doc) {
    return doc->m_pView->viewport();
}

// Mouse on the editing view at zoom 1, client point = image point.
void Drag(COrvikDoc* doc, std::initializer_list<QPoint> points, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint first = *points.begin();
    QTest::mousePress(Surface(doc), button, {}, first);
    for (const QPoint& p : points)
        QTest::mouseMove(Surface(doc), p);
    QTest::mouseRelease(Surface(doc), button, {}, *(points.end() - 1));
}

// Everything a step may change: the image's header, palette and rows, the floating image, and the
// selection that places it (without `withSelection`, only when there is a floating image).
std::vector<uint8_t> Snapshot(const COrvikDoc* doc, bool withSelection = true) {
    std::vector<uint8_t> bytes;
    const auto add = [&bytes](const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + size);
    };
    add(doc->m_pHeader, kHeaderBytes);
    add(doc->m_pPalette, kPaletteBytes);
    for (int i = 0; i < kPaletteEntries; ++i)
        bytes.push_back(EntryAlpha(doc->m_pEntryAlpha, i));
    add(doc->m_pBits, size_t(doc->Stride()) * doc->Height());
    if (const BITMAPINFOHEADER* f = doc->m_pFloatHeader) {
        add(f, f->biBitCount == 8 ? kHeaderBlockBytes8 : kHeaderBytes);
        add(doc->m_pFloatBits, size_t(f->biXPelsPerMeter) * f->biHeight);
    }
    if (withSelection || doc->HasFloat()) {
        add(&doc->m_pView->m_bSelection, sizeof(bool));
        add(&doc->m_pView->m_rcSelection, sizeof(RECT));
    }
    return bytes;
}

// What a save writes: the header, the rows and an 8-bit image's palette.
std::vector<uint8_t> FileContents(const COrvikDoc* doc) {
    std::vector<uint8_t> bytes(Snapshot(doc, false));
    bytes.resize(kHeaderBytes + kPaletteBytes + size_t(doc->Stride()) * doc->Height());
    if (doc->BitCount() != 8) std::fill_n(bytes.begin() + kHeaderBytes, kPaletteBytes, 0);
    return bytes;
}

// Runs `action` as one user action; one Undo must give back exactly the document before it and
// Redo exactly the one after it, more than once. Saved after the action, the document is modified
// after the Undo exactly when the action changed what a save writes, and not after the Redo.
void ExpectOneStep(COrvikDoc* doc, const char* name, const std::function<void()>& action) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> before = Snapshot(doc);
    const std::vector<uint8_t> fileBefore = FileContents(doc);
    action();
    const std::vector<uint8_t> after = Snapshot(doc);
    ASSERT_NE(before, after) << "nothing changed";
    const bool changesFile = FileContents(doc) != fileBefore;
    for (int round = 0; round < 2; ++round) {
        doc->SetModifiedFlag(false);
        ASSERT_TRUE(Command(ID_EDIT_UNDO));
        EXPECT_TRUE(Snapshot(doc) == before);
        EXPECT_EQ(doc->IsModified(), changesFile);
        ASSERT_TRUE(Command(ID_EDIT_REDO));
        EXPECT_TRUE(Snapshot(doc) == after);
        EXPECT_FALSE(doc->IsModified());
    }
}

class UndoTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        QGuiApplication::clipboard()->clear();
        Palette()->m_foreIndex = 180;
        Palette()->m_backIndex = 30;
        Main()->m_currentTool = ID_TOOL_BRUSH;
    }
    void TearDown() override {
        Palette()->m_foreIndex = 0;
        Palette()->m_backIndex = 255;
        QGuiApplication::clipboard()->clear();
        QSettings().clear();
        GuiTest::TearDown();
    }
};

}  // namespace

// The third kind is an 8-bit image with a transparent and a partly transparent entry, which Increase
// Color Depth makes a 32-bit one.
TEST_F(UndoTest, EveryKindOfStepIsTakenBackAndBroughtBackExactly) {
    constexpr int kTransparent8Bit = 2;
    for (const int type : {int{kImage8Bit}, int{kImage24Bit}, kTransparent8Bit}) {
        SCOPED_TRACE(type == kImage8Bit ? "8 bit" : type == kImage24Bit ? "24 bit" : "8 bit, transparent");
        const bool transparent = type == kTransparent8Bit;
        COrvikDoc* doc = NewPatternDocument(131, 97, transparent ? kImage8Bit : type);
        ASSERT_NE(doc, nullptr);
        if (transparent) {
            ASSERT_TRUE(doc->WriteEntryAlpha(40, 0) && doc->WriteEntryAlpha(5, 128));
            ExpectOneStep(doc, "entry opacity", [] { Palette()->SetEntry(100, 1, 2, 3, 0); });
            ASSERT_TRUE(Command(ID_EDIT_UNDO));
        }
        COrvikView* view = doc->m_pView;
        const std::vector<uint8_t> start = Snapshot(doc, false);
        const auto tool = [](int id) { Main()->m_currentTool = id; };

        ExpectOneStep(doc, "clear", [] { Command(ID_IMAGE_CLEAR); });
        tool(ID_TOOL_FILL);
        Palette()->m_foreIndex = 5;
        ExpectOneStep(doc, "fill", [&] { Drag(doc, {{60, 40}}); });
        Palette()->m_foreIndex = 180;
        tool(ID_TOOL_BRUSH);
        ExpectOneStep(doc, "stroke", [&] { Drag(doc, {{5, 5}, {40, 20}, {90, 70}, {130, 96}}); });
        tool(ID_TOOL_LINE);
        ExpectOneStep(doc, "line", [&] { Drag(doc, {{3, 90}, {120, 4}}); });
        tool(ID_TOOL_RECT);
        ExpectOneStep(doc, "rectangle", [&] { Drag(doc, {{20, 20}, {100, 80}}, Qt::RightButton); });

        tool(ID_TOOL_SELECT);
        Drag(doc, {{10, 10}, {70, 45}});
        ASSERT_TRUE(view->m_bSelection);
        ExpectOneStep(doc, "lift", [&] { Drag(doc, {{30, 20}, {30, 20}, {45, 35}}); });
        ASSERT_TRUE(doc->HasFloat());
        ExpectOneStep(doc, "drop", [&] { Drag(doc, {{120, 90}}); });
        EXPECT_FALSE(doc->HasFloat());

        Drag(doc, {{70, 50}, {110, 90}});
        ExpectOneStep(doc, "cut", [] { Command(ID_EDIT_CUT); });
        // With transparency Cut leaves what Clear would.
        if (!transparent) ExpectOneStep(doc, "clear the selection", [] { Command(ID_IMAGE_CLEAR); });
        if (type != kImage24Bit) ExpectOneStep(doc, "increase", [] { Command(ID_COLORS_INCREASE); });
        ASSERT_EQ(doc->BitCount(), transparent ? 32 : 24);
        ExpectOneStep(doc, "paste", [] { Command(ID_EDIT_PASTE_SELECTION); });
        ASSERT_TRUE(doc->HasFloat());
        view->m_rcSelection = RECT{100, 70, 140, 110};  // moved partly past the corner
        ExpectOneStep(doc, "paste over a floating block", [] { Command(ID_EDIT_PASTE_SELECTION); });
        if (type == kImage24Bit) ExpectOneStep(doc, "decrease", [&] { doc->ReduceColorDepth(2, 0); });
        ExpectOneStep(doc, "cut the floating block", [] { Command(ID_EDIT_CUT); });
        ExpectOneStep(doc, "palette entry", [] { Palette()->SetEntry(180, 1, 2, 3); });
        ExpectOneStep(doc, "resize canvas", [&] { doc->ResizeCanvas(160, 90); });
        ExpectOneStep(doc, "resize image", [&] { doc->ResizeImage(90, 120); });
        // The Image and Colors commands: on the picture, then on a floating block.
        for (const auto& [id, name] : {std::pair{ID_IMAGE_FLIP_HORIZONTAL, "flip"},
                                       {ID_IMAGE_ROTATE_CW, "rotate"},
                                       {ID_COLORS_GREYSCALE, "greyscale"},
                                       {ID_COLORS_SORT_HUE, "sort"}})
            ExpectOneStep(doc, name, [id = id] { Command(id); });
        ExpectOneStep(doc, "anchored canvas", [&] { doc->ResizeCanvas(150, 140, CanvasAnchor::Centre); });
        ExpectOneStep(doc, "autocrop", [] { Command(ID_IMAGE_AUTOCROP); });
        if (doc->BitCount() != 8)
            ExpectOneStep(doc, "smooth resize", [&] { doc->ResizeImage(70, 60, true); });
        ExpectOneStep(doc, "paste again", [] { Command(ID_EDIT_PASTE_SELECTION); });
        ExpectOneStep(doc, "rotate the floating block", [] { Command(ID_IMAGE_ROTATE_CCW); });
        ExpectOneStep(doc, "invert the floating block", [] { Command(ID_COLORS_INVERT); });
        ExpectOneStep(doc, "crop", [] { Command(ID_IMAGE_CROP); });

        // Back to the start step by step (making a selection is no step, so the last one stays),
        // and forward again to the end.
        const std::vector<uint8_t> end = Snapshot(doc);
        int steps = 0;
        while (Command(ID_EDIT_UNDO))
            ++steps;
        // The 8-bit pictures became 24 or 32-bit, the 24-bit one 8-bit: only the first two resized smoothly.
        EXPECT_EQ(steps, type == kImage24Bit ? 26 : transparent ? 26 : 27);
        EXPECT_TRUE(Snapshot(doc, false) == start);
        while (Command(ID_EDIT_REDO))
            --steps;
        EXPECT_EQ(steps, 0);
        EXPECT_TRUE(Snapshot(doc) == end);
        CloseWithoutSaving(doc);
    }
}

TEST_F(UndoTest, NewChangesDiscardRedoAndTheItemsFollowTheActiveDocument) {
    EXPECT_FALSE(CommandEnabled(ID_EDIT_UNDO));
    COrvikDoc* first = NewPatternDocument(40, 30, kImage8Bit);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(CommandEnabled(ID_EDIT_UNDO));
    Drag(first, {{5, 5}, {20, 5}});
    const std::vector<uint8_t> painted = Snapshot(first);
    Drag(first, {{5, 9}, {20, 9}});
    EXPECT_TRUE(CommandEnabled(ID_EDIT_UNDO));
    EXPECT_FALSE(CommandEnabled(ID_EDIT_REDO));
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_TRUE(CommandEnabled(ID_EDIT_REDO));

    // Another document has a history of its own.
    ASSERT_NE(NewPatternDocument(30, 20, kImage24Bit), nullptr);
    EXPECT_FALSE(CommandEnabled(ID_EDIT_UNDO));
    EXPECT_FALSE(CommandEnabled(ID_EDIT_REDO));
    Main()->m_mdiArea->setActiveSubWindow(first->m_pChildFrame);
    EXPECT_TRUE(CommandEnabled(ID_EDIT_REDO));

    // A new change after an undo discards what could have been redone.
    Drag(first, {{30, 20}});
    EXPECT_FALSE(CommandEnabled(ID_EDIT_REDO));
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_TRUE(Snapshot(first) == painted);
    EXPECT_FALSE(first->m_pView->m_bHaveLast);  // the brush forgot its last point
}

TEST_F(UndoTest, TheWindowStatusLineAndPaletteBarFollowAnUndo) {
    COrvikDoc* doc = NewPatternDocument(200, 150, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    const QSize frame = doc->m_pChildFrame->size();
    ASSERT_EQ(doc->ResizeImage(400, 300), ImageStatus::Ok);
    const QSize larger = doc->m_pChildFrame->size();
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(doc->m_pChildFrame->size(), frame);
    EXPECT_EQ(Main()->PaneText(2), "Image: 200 x 150 x 256");
    ASSERT_TRUE(Command(ID_EDIT_REDO));
    EXPECT_EQ(doc->m_pChildFrame->size(), larger);
    ASSERT_TRUE(Command(ID_EDIT_UNDO));

    // A palette entry comes back on screen and in the palette bar.
    const int index = doc->m_pBits[(doc->Height() - 1) * doc->Stride() + 3];  // at (3, 0)
    const QRgb shown = Grab(Surface(doc)).pixel(3, 0);
    Palette()->m_foreIndex = index;
    Palette()->SetEntry(index, 250, 1, 2);
    ASSERT_NE(Grab(Surface(doc)).pixel(3, 0), shown);
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(Grab(Surface(doc)).pixel(3, 0), shown);
    EXPECT_EQ(Grab(Palette()->m_foreSwatch).pixel(15, 15), shown);
}

TEST_F(UndoTest, IncreaseColorDepthGivesEachPixelItsPaletteColour) {
    COrvikDoc* doc = NewPatternDocument(33, 7, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    for (int i = 0; i < kPaletteEntries; ++i)
        doc->m_pPalette[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), uint8_t(i)};
    const std::vector<uint8_t> indices(doc->m_pBits, doc->m_pBits + doc->Stride() * doc->Height());
    const std::vector<RGBQUAD> palette(doc->m_pPalette, doc->m_pPalette + kPaletteEntries);
    doc->SetModifiedFlag(false);
    ASSERT_TRUE(Command(ID_COLORS_INCREASE));
    ASSERT_EQ(doc->BitCount(), 24);
    EXPECT_TRUE(IsModelHeader(*doc->m_pHeader));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Main()->PaneText(2), "Image: 33 x 7 x 16 Million");
    for (int row = 0; row < 7; ++row)
        for (int x = 0; x < 33; ++x)
            ASSERT_EQ(GetPixel24(doc->m_pBits, x, row, doc->Stride()),
                      PaletteColour(doc->m_pPalette[indices[size_t(row) * 36 + x]]))
                << x << "," << row;
    // The palette stays for painting, in a block of its own.
    EXPECT_EQ(std::memcmp(doc->m_pPalette, palette.data(), kPaletteBytes), 0);
    EXPECT_NE(doc->m_pPalette, HeaderPalette(doc->m_pHeader));
    EXPECT_FALSE(CommandEnabled(ID_COLORS_INCREASE));

    // Only for 8 bits without a floating block.
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_TRUE(CommandEnabled(ID_COLORS_INCREASE));
    doc->m_pView->m_bSelection = true;
    doc->m_pView->m_rcSelection = RECT{1, 1, 5, 5};
    ASSERT_TRUE(Command(ID_EDIT_COPY) && Command(ID_EDIT_PASTE_SELECTION) && doc->HasFloat());
    EXPECT_FALSE(CommandEnabled(ID_COLORS_INCREASE));
    CloseWithoutSaving(doc);

    // 358 MB at one byte a pixel, past the limit at three: the message gives that reason.
    doc = NewImage("65535", "5462", kImage8Bit);
    ASSERT_NE(doc, nullptr);
    const auto message = ExpectMessageBox();
    ASSERT_TRUE(Command(ID_COLORS_INCREASE));
    EXPECT_TRUE(message->contains("more than 1 GiB")) << message->toStdString();
    EXPECT_EQ(doc->BitCount(), 8);
}

TEST_F(UndoTest, TheBudgetDropsOldStepsAndAStepLargerThanItEmptiesTheHistory) {
    // 16 MiB, the least it takes, for all histories, read at start-up.
    theApp->ExitInstance();
    QSettings().setValue("Settings/UndoMemoryMiB", 16);
    ASSERT_TRUE(theApp->InitInstance({}));
    EXPECT_EQ(theApp->m_undoBudget.Limit(), uint64_t{16} << 20);

    // Each clear of this image keeps about 5 MB.
    COrvikDoc* doc = NewPatternDocument(1300, 1300, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    std::vector<std::vector<uint8_t>> states{Snapshot(doc)};
    for (int i = 0; i < 6; ++i) {
        Palette()->m_backIndex = 10 + i;
        ASSERT_TRUE(Command(ID_IMAGE_CLEAR));
        states.push_back(Snapshot(doc));
    }
    const size_t kept = doc->History().UndoCount();
    EXPECT_EQ(kept, 3u);
    EXPECT_LE(theApp->m_undoBudget.Bytes(), theApp->m_undoBudget.Limit());
    while (Command(ID_EDIT_UNDO)) {
    }
    EXPECT_TRUE(Snapshot(doc) == states[6 - kept]);  // the oldest steps went
    while (Command(ID_EDIT_REDO)) {
    }

    // Other documents share the budget; closing one gives its memory back.
    COrvikDoc* other = NewPatternDocument(1300, 1300, kImage24Bit);
    ASSERT_TRUE(other && Command(ID_IMAGE_CLEAR));
    EXPECT_EQ(doc->History().UndoCount(), kept - 1);
    CloseWithoutSaving(other);
    EXPECT_EQ(theApp->m_undoBudget.Bytes(), doc->History().Bytes());

    // Too large for the whole budget: it happens, but the history is emptied and the status
    // bar says so.
    Main()->m_mdiArea->setActiveSubWindow(doc->m_pChildFrame);
    ASSERT_EQ(doc->ResizeImage(2500, 2500), ImageStatus::Ok);
    ASSERT_TRUE(Command(ID_IMAGE_CLEAR));
    EXPECT_NE(Snapshot(doc), states.back());
    EXPECT_FALSE(CommandEnabled(ID_EDIT_UNDO));
    EXPECT_EQ(theApp->m_undoBudget.Bytes(), 0u);
    EXPECT_EQ(Main()->statusBar()->currentMessage(),
              "This change is too large to undo; the undo history was emptied.");
}

TEST_F(UndoTest, TheBudgetSettingOutsideItsRangeIsNotTakenAsItIs) {
    // Each is read at start-up and said to be out of range.
    const auto budget = [](const char* value) {
        theApp->ExitInstance();
        QSettings().setValue("Settings/UndoMemoryMiB", value);
        const auto message = ExpectMessageBox();
        EXPECT_TRUE(theApp->InitInstance({}));
        EXPECT_TRUE(message->startsWith(QString("The setting UndoMemoryMiB=%1 in ").arg(value)))
            << message->toStdString();
        return theApp->m_undoBudget.Limit();
    };
    const uint64_t physical = uint64_t(sysconf(_SC_PHYS_PAGES)) * uint64_t(sysconf(_SC_PAGESIZE));
    const uint64_t byDefault = theApp->m_undoBudget.Limit();  // with no setting
    EXPECT_EQ(budget("1"), uint64_t{16} << 20);
    EXPECT_EQ(budget("17592186044416"), physical >> 20 << 20);  // 2^44 MiB
    EXPECT_EQ(budget("a lot"), byDefault);
}

TEST_F(UndoTest, StepsThatChangeNothingAreNotRecorded) {
    COrvikDoc* doc = NewPatternDocument(30, 20, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    doc->SetModifiedFlag(false);
    doc->m_pView->m_bSelection = true;
    doc->m_pView->m_rcSelection = RECT{2, 2, 9, 9};
    const std::vector<uint8_t> before = Snapshot(doc);
    QGuiApplication::clipboard()->setText("no picture");
    ASSERT_TRUE(Command(ID_EDIT_PASTE_SELECTION));
    EXPECT_EQ(doc->ResizeCanvas(30, 20), ImageStatus::Ok);
    EXPECT_EQ(doc->ResizeImage(30, 20), ImageStatus::Ok);
    EXPECT_TRUE(Snapshot(doc) == before);
    EXPECT_FALSE(CommandEnabled(ID_EDIT_UNDO));
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(UndoTest, KeysUndoAndRedoAndWaitForTheMouseButtons) {
    QAction* redo = Main()->Action(ID_EDIT_REDO);
    COrvikDoc* doc = NewPatternDocument(60, 40, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    for (const QAction* menu : Main()->menuBar()->actions()) {
        if (menu->menu() && menu->menu()->title() == "Edit(&E)") {
            EXPECT_EQ(menu->menu()->actions().value(1), redo);  // right after Undo
        }
    }
    QApplication::setActiveWindow(Main());
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main()));
    const std::vector<uint8_t> before = Snapshot(doc);
    Drag(doc, {{5, 5}, {50, 30}});
    const std::vector<uint8_t> after = Snapshot(doc);
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers modifiers) {
        Main()->UpdateCommandUI();  // as whenever the program waits for input
        QTest::keyClick(Main(), k, modifiers);
        ProcessEvents();
    };
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Snapshot(doc) == before);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(Snapshot(doc) == after);
    key(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_TRUE(Snapshot(doc) == before);
    key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(Snapshot(doc) == after);

    // Ctrl+Z during a stroke waits for the release, then takes back the whole stroke.
    QWindow* window = Main()->windowHandle();
    const auto at = [&](QPoint p) { return Surface(doc)->mapTo(Main(), p); };
    QTest::mousePress(window, Qt::LeftButton, {}, at(QPoint(10, 30)));
    QTest::mouseMove(window, at(QPoint(40, 10)));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Snapshot(doc) != after);  // not yet
    QTest::mouseMove(window, at(QPoint(50, 35)));
    QTest::mouseRelease(window, Qt::LeftButton, {}, at(QPoint(50, 35)));
    ProcessEvents();
    EXPECT_TRUE(Snapshot(doc) == after);
}

TEST_F(UndoTest, AStrokeEndsWhenADialogTakesItsRelease) {
    COrvikDoc* doc = NewPatternDocument(60, 40, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    QApplication::setActiveWindow(Main());
    ASSERT_TRUE(QTest::qWaitForWindowActive(Main()));
    doc->m_pChildFrame->ActivateEditingView();
    const std::vector<uint8_t> before = Snapshot(doc);
    QWindow* window = Main()->windowHandle();
    const auto at = [&](QPoint p) { return Surface(doc)->mapTo(Main(), p); };
    // Ctrl+Z waits for the stroke; a dialog opens and the button comes up over it.
    QTest::mousePress(window, Qt::LeftButton, {}, at(QPoint(10, 30)));
    QTest::mouseMove(window, at(QPoint(40, 10)));
    Main()->UpdateCommandUI();
    QTest::keyClick(Main(), Qt::Key_Z, Qt::ControlModifier);
    OnNextModal<QDialog>([](QDialog* dialog) {
        QTest::mouseRelease(dialog->windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        dialog->reject();
    });
    Command(ID_IMAGE_CANVAS);
    ProcessEvents();
    EXPECT_TRUE(Snapshot(doc) == before);  // the stroke ended as a step, and the undo took it back
    // The next stroke is a step of its own.
    Drag(doc, {{5, 5}, {20, 20}});
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_TRUE(Snapshot(doc) == before);
    EXPECT_FALSE(doc->CanUndo());
}
