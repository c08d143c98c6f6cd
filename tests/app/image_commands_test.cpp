// The Image and Colors commands on documents: their menus and states, flips and rotations of the
// picture and of a floating block, the crops, Resize Canvas's anchor and Resize Image's method,
// the colour adjustments with their live preview, palette files, the palette commands that keep
// the picture, and Export Scaled. (Undo of each is in undo_test.cpp.)
#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>

#include <cstring>
#include <fstream>
#include <set>
#include <vector>

#include "app/child_frame.h"
#include "app/file_dialog.h"
#include "colour/color_palette_dlg.h"
#include "dialogs/adjust_colours_dlg.h"
#include "dialogs/canvas_size_dlg.h"
#include "dialogs/export_scaled_dlg.h"
#include "dialogs/resize_image_dlg.h"
#include "document/pixel_routines.h"
#include "document/resample.h"
#include "image_test_helpers.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

class ImageCommandsTest : public GuiTest {};

bool Command(int id) {
    return GuiTest::Main()->RouteCommand(id);
}

std::vector<uint8_t> Rows(const COrvikDoc* doc) {
    return std::vector<uint8_t>(doc->m_pBits, doc->m_pBits + size_t(doc->Stride()) * doc->Height());
}

// The colour of image pixel (x, y from the top), as 0x00RRGGBB.
uint32_t ColourAt(const COrvikDoc* doc, int x, int y) {
    const uint8_t* p =
        doc->m_pBits + int64_t{doc->Height() - 1 - y} * doc->Stride() + x * doc->BitCount() / 8;
    return doc->BitCount() == 8 ? PaletteColour(doc->m_pPalette[*p]) : GetPixel24(p, 0, 0, 0);
}

// The texts of a menu's items in order, "-" for a separator, "[title]" for a submenu.
QStringList Items(QMenu* menu) {
    QStringList items;
    for (QAction* action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("-")
                  : action->menu()      ? "[" + action->text() + "]"
                                        : action->text());
    return items;
}

QMenu* MenuTitled(const QString& title) {
    for (QAction* action : GuiTest::Main()->menuBar()->actions()) {
        if (action->text() == title) return action->menu();
    }
    return nullptr;
}

// Accepts the next file dialog with `path`.
void ChooseFile(const QString& path, int filter = -1) {
    OnNextModal<QFileDialog>([=](QFileDialog* dialog) {
        if (filter >= 0) dialog->selectNameFilter(dialog->nameFilters().value(filter));
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

void WriteFile(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

}  // namespace

TEST_F(ImageCommandsTest, MenusKeepTheDescribedItemsFirstAndFollowTheDocument) {
    const int always[] = {ID_IMAGE_FLIP_HORIZONTAL, ID_IMAGE_ROTATE_180,  ID_IMAGE_AUTOCROP,
                          ID_COLORS_INVERT,         ID_COLORS_POSTERIZE,  ID_COLORS_LOAD_PALETTE,
                          ID_COLORS_SORT_USE,       ID_FILE_EXPORT_SCALED};
    for (int id : always)
        EXPECT_FALSE(CommandEnabled(id)) << id;
    COrvikDoc* doc = NewPatternDocument(9, 7, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(Items(MenuTitled("&Image")),
              (QStringList{"Resize Canvas", "Resize Image", "-", "Flip Horizontal", "Flip Vertical",
                           "Rotate 90° Clockwise", "Rotate 90° Counter-clockwise", "Rotate 180°", "-",
                           "Crop to Selection\tCtrl+Shift+X", "Autocrop", "-", "Replace Color"}));
    EXPECT_EQ(Items(MenuTitled("Colors")),
              (QStringList{"[Decrease Color Depth]", "[Increase Color Depth]", "-", "Remap to Palette...",
                           "-", "Invert", "Greyscale", "Brightness / Contrast…", "Posterize…", "-",
                           "Load Palette…", "Save Palette As…", "[Sort Palette]", "Merge Duplicate Entries",
                           "Remove Unused Entries"}));
    EXPECT_EQ(Items(MenuTitled("File(&F)")).last(2), (QStringList{"-", "Export Scaled…"}));
    EXPECT_EQ(Main()->Action(ID_IMAGE_CROP)->shortcut(), QKeySequence("Ctrl+Shift+X"));

    for (int id : always)
        EXPECT_TRUE(CommandEnabled(id)) << id;
    EXPECT_TRUE(CommandEnabled(ID_COLORS_REMOVE_UNUSED));
    EXPECT_FALSE(CommandEnabled(ID_IMAGE_CROP));  // nothing selected
    doc->m_pView->m_bSelection = true;
    doc->m_pView->m_rcSelection = RECT{12, 1, 20, 5};  // beside the picture
    EXPECT_FALSE(CommandEnabled(ID_IMAGE_CROP));
    doc->m_pView->m_rcSelection = RECT{6, 5, 2, 1};
    EXPECT_TRUE(CommandEnabled(ID_IMAGE_CROP));
    ASSERT_NE(NewPatternDocument(9, 7, kImage24Bit), nullptr);
    EXPECT_FALSE(CommandEnabled(ID_COLORS_REMOVE_UNUSED));  // a 24-bit picture refers to no entry
}

TEST_F(ImageCommandsTest, FlipsAndRotationsMoveThePictureOrTheFloatingBlock) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        SCOPED_TRACE(type);
        COrvikDoc* doc = NewPatternDocument(37, 21, type);
        ASSERT_NE(doc, nullptr);
        const int n = doc->BitCount() / 8;
        // The picture: exactly the core's move, the selection turned with it, the window fitted.
        doc->m_pView->m_bSelection = true;
        doc->m_pView->m_rcSelection = RECT{2, 3, 7, 5};
        const QSize frame = doc->m_pChildFrame->size();
        std::vector<uint8_t> expected(size_t(RowStride(21, 8 * n)) * 37);
        TurnPixels(doc->m_pBits, 37, 21, doc->Stride(), n, Turn::Rotate90Clockwise, expected.data(),
                   RowStride(21, 8 * n));
        ASSERT_TRUE(Command(ID_IMAGE_ROTATE_CW));
        EXPECT_EQ(doc->Width(), 21);
        EXPECT_EQ(doc->Height(), 37);
        EXPECT_TRUE(Rows(doc) == expected);
        const RECT turned = doc->m_pView->m_rcSelection;
        EXPECT_TRUE(turned.left == 16 && turned.top == 2 && turned.right == 18 && turned.bottom == 7);
        EXPECT_NE(doc->m_pChildFrame->size(), frame);
        EXPECT_TRUE(doc->IsModified());

        // A floating block turns about its centre and the picture under it stays.
        Command(ID_EDIT_COPY);
        Command(ID_EDIT_PASTE_SELECTION);
        ASSERT_TRUE(doc->HasFloat());
        doc->m_pView->m_rcSelection = RECT{4, 10, 6, 15};
        const std::vector<uint8_t> picture = Rows(doc);
        const std::vector<uint8_t> block(doc->m_pFloatBits,
                                         doc->m_pFloatBits + doc->m_pFloatHeader->biXPelsPerMeter * 5);
        ASSERT_TRUE(Command(ID_IMAGE_ROTATE_CCW));
        EXPECT_TRUE(Rows(doc) == picture);
        ASSERT_EQ(doc->m_pFloatHeader->biWidth, 5);
        ASSERT_EQ(doc->m_pFloatHeader->biHeight, 2);
        const RECT place = doc->m_pView->m_rcSelection;
        EXPECT_TRUE(place.left == 3 && place.top == 11 && place.right == 8 && place.bottom == 13);
        ASSERT_TRUE(Command(ID_IMAGE_ROTATE_CW));
        EXPECT_TRUE(std::equal(block.begin(), block.end(), doc->m_pFloatBits));
        EXPECT_EQ(doc->m_pView->m_rcSelection.left, 4);
        ASSERT_TRUE(Command(ID_IMAGE_FLIP_VERTICAL));
        ASSERT_TRUE(Command(ID_IMAGE_FLIP_VERTICAL));
        EXPECT_TRUE(std::equal(block.begin(), block.end(), doc->m_pFloatBits));
        CloseWithoutSaving(doc);
    }
}

TEST_F(ImageCommandsTest, CropKeepsTheSelectionWithItsFloatingBlockAndAutocropItsBorder) {
    for (const int type : {kImage8Bit, kImage24Bit}) {
        SCOPED_TRACE(type);
        COrvikDoc* doc = NewPatternDocument(20, 16, type);
        ASSERT_NE(doc, nullptr);
        const uint32_t corner = ColourAt(doc, 5, 4);
        doc->m_pView->m_bSelection = true;
        doc->m_pView->m_rcSelection = RECT{12, 9, 5, 4};  // dragged up and to the left
        QApplication::setActiveWindow(Main());
        ASSERT_TRUE(QTest::qWaitForWindowActive(Main()));
        Main()->UpdateCommandUI();  // as whenever the program waits for input
        QTest::keyClick(Main(), Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(doc->Width(), 7);
        EXPECT_EQ(doc->Height(), 5);
        EXPECT_EQ(ColourAt(doc, 0, 0), corner);
        EXPECT_FALSE(doc->m_pView->m_bSelection);

        // With a floating block, what the selection shows: the block over the picture.
        const uint32_t under = ColourAt(doc, 6, 4);
        doc->m_pView->m_bSelection = true;
        doc->m_pView->m_rcSelection = RECT{0, 0, 2, 2};
        Command(ID_EDIT_COPY);
        Command(ID_EDIT_PASTE_SELECTION);
        doc->m_pView->m_rcSelection = RECT{5, 3, 7, 5};
        ASSERT_TRUE(Command(ID_IMAGE_CROP));
        EXPECT_EQ(doc->Width(), 2);
        EXPECT_EQ(doc->Height(), 2);
        EXPECT_EQ(ColourAt(doc, 0, 0), corner);
        EXPECT_NE(ColourAt(doc, 1, 1), under);
        EXPECT_FALSE(doc->HasFloat());

        // Autocrop takes off a border of index 0 / black, and says when there is none.
        ASSERT_EQ(doc->ResizeCanvas(9, 8, CanvasAnchor::Centre), ImageStatus::Ok);
        ASSERT_TRUE(Command(ID_IMAGE_AUTOCROP));
        EXPECT_EQ(doc->Width(), 2);
        EXPECT_EQ(doc->Height(), 2);
        EXPECT_EQ(ColourAt(doc, 0, 0), corner);
        ASSERT_TRUE(Command(ID_IMAGE_AUTOCROP));
        EXPECT_EQ(Main()->statusBar()->currentMessage(),
                  "The picture has no border of one colour to remove.");
        CloseWithoutSaving(doc);
    }
}

TEST_F(ImageCommandsTest, CanvasAnchorAndSmoothResizeThroughTheirDialogs) {
    COrvikDoc* doc = NewPatternDocument(4, 2, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    const uint32_t topLeft = ColourAt(doc, 0, 0);
    OnNextModal<CCanvasSizeDlg>([](CCanvasSizeDlg* dialog) {
        TypeInto(dialog->m_widthEdit, "8");
        TypeInto(dialog->m_heightEdit, "4");
        dialog->m_anchor->button(int(CanvasAnchor::Centre))->click();
        QTest::keyClick(dialog->m_widthEdit, Qt::Key_Return);
    });
    Command(ID_IMAGE_CANVAS);
    ASSERT_EQ(doc->Width(), 8);
    EXPECT_EQ(ColourAt(doc, 2, 1), topLeft);
    EXPECT_EQ(ColourAt(doc, 1, 1), 0u);

    // Smooth on 24 bits gives the core's rescale; on 8 bits only Nearest is offered.
    std::vector<uint8_t> expected(size_t(RowStride(3, 24)) * 3);
    ResampleSmooth(doc->m_pBits, 8, 4, doc->Stride(), expected.data(), 3, 3, RowStride(3, 24), 3);
    OnNextModal<CResizeImageDlg>([](CResizeImageDlg* dialog) {
        EXPECT_TRUE(dialog->m_method->isEnabled());
        EXPECT_EQ(dialog->m_method->currentText(), "Nearest");
        dialog->m_method->setCurrentIndex(1);
        TypeInto(dialog->m_widthEdit, "3");
        TypeInto(dialog->m_heightEdit, "3");
        QTest::keyClick(dialog->m_widthEdit, Qt::Key_Return);
    });
    Command(ID_IMAGE_RESIZE);
    EXPECT_TRUE(Rows(doc) == expected);
    ASSERT_NE(NewPatternDocument(4, 2, kImage8Bit), nullptr);
    OnNextModal<CResizeImageDlg>([](CResizeImageDlg* dialog) {
        EXPECT_FALSE(dialog->m_method->isEnabled());
        dialog->reject();
    });
    Command(ID_IMAGE_RESIZE);
}

TEST_F(ImageCommandsTest, AdjustmentsChangeThePaletteOrThePartAndPreviewLive) {
    // 8 bit, whole picture: the palette changes, the indices stay.
    COrvikDoc* eight = NewPatternDocument(9, 5, kImage8Bit);
    ASSERT_NE(eight, nullptr);
    const std::vector<uint8_t> indices = Rows(eight);
    const RGBQUAD entry = eight->m_pPalette[7];
    ASSERT_TRUE(Command(ID_COLORS_INVERT));
    EXPECT_TRUE(Rows(eight) == indices);
    EXPECT_EQ(eight->m_pPalette[7].rgbRed, 255 - entry.rgbRed);
    EXPECT_EQ(eight->m_hBrush[7].red(), 255 - entry.rgbRed);
    // Posterize shows its levels on the palette as they are typed; Escape gives the palette back.
    const auto palette = [eight] {
        const auto* bytes = reinterpret_cast<const uint8_t*>(eight->m_pPalette);
        return std::vector<uint8_t>(bytes, bytes + kPaletteBytes);
    };
    const std::vector<uint8_t> inverted = palette();
    auto shown = std::make_shared<std::vector<uint8_t>>();
    OnNextModal<CAdjustColoursDlg>([&palette, shown](CAdjustColoursDlg* dialog) {
        QTest::keyClicks(dialog->m_first, "2");
        ProcessEvents();
        *shown = palette();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    Command(ID_COLORS_POSTERIZE);
    ColourAdjustment two;
    two.kind = ColourAdjustment::Posterize;
    two.levels = 2;
    std::vector<uint8_t> posterized = inverted;
    CColourMap(two).ApplyToPalette(reinterpret_cast<RGBQUAD*>(posterized.data()));
    EXPECT_TRUE(*shown == posterized);
    EXPECT_TRUE(palette() == inverted);
    EXPECT_TRUE(Rows(eight) == indices);
    // 8 bit, a selection: its indices go to the entries nearest their greys; the rest stays.
    eight->m_pView->m_bSelection = true;
    eight->m_pView->m_rcSelection = RECT{0, 0, 3, 2};
    ASSERT_TRUE(Command(ID_COLORS_GREYSCALE));
    const RGBQUAD grey = eight->m_pPalette[eight->m_pBits[4 * eight->Stride()]];
    EXPECT_TRUE(grey.rgbRed == grey.rgbGreen && grey.rgbGreen == grey.rgbBlue);
    EXPECT_EQ(eight->m_pBits[4 * eight->Stride() + 3], indices[4 * eight->Stride() + 3]);

    // 24 bit: the dialog shows its values on the picture at once, Cancel puts it back, OK keeps
    // them as one step.
    COrvikDoc* doc = NewPatternDocument(9, 5, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    const std::vector<uint8_t> before = Rows(doc);
    for (const bool ok : {false, true}) {
        auto previewed = std::make_shared<std::vector<uint8_t>>();
        OnNextModal<CAdjustColoursDlg>([doc, previewed, ok](CAdjustColoursDlg* dialog) {
            EXPECT_EQ(dialog->windowTitle(), "Brightness / Contrast");
            dialog->m_first->setValue(40);
            dialog->findChild<QSlider*>()->setValue(30);  // the brightness slider moves its number
            ProcessEvents();
            *previewed = Rows(doc);
            if (ok)
                QTest::keyClick(dialog->m_first, Qt::Key_Return);
            else
                dialog->reject();
        });
        Command(ID_COLORS_BRIGHTNESS_CONTRAST);
        ColourAdjustment brighter;
        brighter.kind = ColourAdjustment::BrightnessContrast;
        brighter.brightness = 30;
        std::vector<uint8_t> expected = before;
        CColourMap(brighter).ApplyToPixels(before.data(), doc->Stride(), expected.data(), doc->Stride(), 9, 5,
                                           3);
        EXPECT_TRUE(*previewed == expected);
        EXPECT_TRUE(Rows(doc) == (ok ? expected : before)) << ok;
    }
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_TRUE(Rows(doc) == before);
}

TEST_F(ImageCommandsTest, PaletteFilesAreLoadedAndSaved) {
    QTemporaryDir folder;
    COrvikDoc* doc = NewPatternDocument(6, 4, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    const std::vector<uint8_t> indices = Rows(doc);
    // GIMP's own file, with a name, columns, comments and colour names: the first entries change,
    // and so the 8-bit picture.
    const QString gimp = folder.filePath("warm.gpl");
    WriteFile(gimp,
              "GIMP Palette\nName: Warm\nColumns: 2\n# by hand\n255  10   0\tFlame red\n250 200  20\tSun\n");
    ChooseFile(gimp);
    ASSERT_TRUE(Command(ID_COLORS_LOAD_PALETTE));
    EXPECT_EQ(PaletteColour(doc->m_pPalette[0]), 0xFF0A00u);
    EXPECT_EQ(PaletteColour(doc->m_pPalette[1]), 0xFAC814u);
    EXPECT_EQ(PaletteColour(doc->m_pPalette[2]), 0x000054u);  // the default palette's entry 2 stays
    EXPECT_TRUE(Rows(doc) == indices);
    EXPECT_EQ(ColourAt(doc, 0, 3), 0xFF0A00u);

    // More than 256 colours: the first 256, and a message. A bad file: its reason, nothing changes.
    std::string many = "JASC-PAL\r\n0100\r\n300\r\n";
    for (int i = 0; i < 300; ++i)
        many += std::to_string(i % 256) + " 1 2\r\n";
    WriteFile(folder.filePath("many.pal"), many);
    auto message = ExpectMessageBox();
    ASSERT_TRUE(doc->LoadPalette(folder.filePath("many.pal")));
    EXPECT_EQ(*message, "many.pal holds 300 colours; a palette has 256, so the first 256 were loaded.");
    EXPECT_EQ(PaletteColour(doc->m_pPalette[255]), 0xFF0102u);
    WriteFile(folder.filePath("bad.hex"), "ff0000\nred\n");
    const std::vector<uint8_t> palette(reinterpret_cast<uint8_t*>(doc->m_pPalette),
                                       reinterpret_cast<uint8_t*>(doc->m_pPalette) + kPaletteBytes);
    message = ExpectMessageBox();
    EXPECT_FALSE(doc->LoadPalette(folder.filePath("bad.hex")));
    EXPECT_TRUE(message->startsWith("Cannot load the palette bad.hex.")) << message->toStdString();
    EXPECT_TRUE(message->contains("Line 2 does not hold a colour")) << message->toStdString();
    EXPECT_EQ(std::memcmp(palette.data(), doc->m_pPalette, kPaletteBytes), 0);

    // Save Palette As: the type chosen in the dialog gives the name's extension and the format.
    ChooseFile(folder.filePath("out"), 2);
    ASSERT_TRUE(Command(ID_COLORS_SAVE_PALETTE));
    const PaletteReadResult saved = ReadPaletteFile(folder.filePath("out.act").toStdString());
    ASSERT_EQ(saved.error, PaletteError::None);
    EXPECT_EQ(saved.palette.format, PaletteFormat::Act);
    EXPECT_EQ(PaletteColour(saved.palette.colours[1]), 0x010102u);
    // ACT keeps the transparent entry both ways; a file that names none leaves the opacities.
    ASSERT_TRUE(doc->WriteEntryAlpha(3, 0));
    ASSERT_TRUE(doc->SavePalette(folder.filePath("clear.act"), PaletteFormat::Act));
    EXPECT_EQ(ReadPaletteFile(folder.filePath("clear.act").toStdString()).palette.transparentIndex, 3);
    ASSERT_TRUE(doc->WriteEntryAlpha(3, 255) && doc->WriteEntryAlpha(9, 0));
    ASSERT_TRUE(doc->LoadPalette(gimp));
    EXPECT_EQ(EntryAlpha(doc->m_pEntryAlpha, 9), 0);
    ASSERT_TRUE(doc->LoadPalette(folder.filePath("clear.act")));
    EXPECT_TRUE(EntryAlpha(doc->m_pEntryAlpha, 3) == 0 && EntryAlpha(doc->m_pEntryAlpha, 9) == 255);

    // A 24-bit picture keeps its pixels; only the colours to paint with change.
    COrvikDoc* colour = NewPatternDocument(6, 4, kImage24Bit);
    ASSERT_NE(colour, nullptr);
    const std::vector<uint8_t> pixels = Rows(colour);
    ASSERT_TRUE(colour->LoadPalette(gimp));
    EXPECT_TRUE(Rows(colour) == pixels);
    EXPECT_EQ(Main()->m_wndPaletteDlg->m_foreIndex, 0);
    EXPECT_EQ(colour->m_hBrush[0], QColor(255, 10, 0));
}

TEST_F(ImageCommandsTest, SortMergeAndRemoveLeaveEveryPixelItsColour) {
    COrvikDoc* doc = NewPatternDocument(40, 9, kImage8Bit);  // indices 0..63 of the default palette
    ASSERT_NE(doc, nullptr);
    doc->m_pBits[0] = 216;  // black once more, from the grey ramp
    doc->m_pView->m_bSelection = true;
    doc->m_pView->m_rcSelection = RECT{30, 2, 38, 6};
    Command(ID_EDIT_COPY);
    Command(ID_EDIT_PASTE_SELECTION);
    ASSERT_TRUE(doc->HasFloat());
    CColorPaletteDlg* colours = Main()->m_wndPaletteDlg;
    colours->m_foreIndex = 43;  // (42, 42, 42), also entry 223
    colours->m_backIndex = 255;
    const auto picture = [doc, colours] {
        std::vector<uint32_t> seen;
        for (int y = 0; y < doc->Height(); ++y)
            for (int x = 0; x < doc->Width(); ++x)
                seen.push_back(ColourAt(doc, x, y));
        const BITMAPINFOHEADER& f = *doc->m_pFloatHeader;
        for (int64_t i = 0; i < int64_t{f.biXPelsPerMeter} * f.biHeight; ++i)
            if (i % f.biXPelsPerMeter < f.biWidth)
                seen.push_back(PaletteColour(doc->m_pPalette[doc->m_pFloatBits[i]]));
        seen.push_back(PaletteColour(doc->m_pPalette[colours->m_foreIndex]));
        seen.push_back(PaletteColour(doc->m_pPalette[colours->m_backIndex]));
        return seen;
    };
    const std::vector<uint32_t> start = picture();
    for (const int id : {ID_COLORS_SORT_HUE, ID_COLORS_SORT_BRIGHTNESS, ID_COLORS_SORT_USE,
                         ID_COLORS_MERGE_DUPLICATES, ID_COLORS_REMOVE_UNUSED}) {
        ASSERT_TRUE(Command(id));
        EXPECT_TRUE(picture() == start) << id;
    }
    // The colours in use (the current ones too) first, each once; the rest black.
    const std::set<uint32_t> distinct(start.begin(), start.end());
    std::set<uint32_t> front;
    for (size_t i = 0; i < distinct.size(); ++i)
        front.insert(PaletteColour(doc->m_pPalette[i]));
    EXPECT_EQ(front, distinct);
    for (size_t i = distinct.size(); i < kPaletteEntries; ++i)
        EXPECT_EQ(PaletteColour(doc->m_pPalette[i]), 0u) << i;
    EXPECT_TRUE(doc->IsModified());
}

// The new canvas and Autocrop's border are transparent, the palette commands move the entries'
// opacities with them, and Invert keeps every opacity, at 8 bits and at 32.
TEST_F(ImageCommandsTest, TransparencyStaysWithThePixelsThroughTheCommands) {
    COrvikDoc* doc = NewPatternDocument(12, 8, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    Main()->m_wndPaletteDlg->SetEntry(200, 0, 0, 0, 0);  // unused, and what erasing leaves
    ASSERT_TRUE(doc->WriteEntryAlpha(5, 128));
    // Each pixel's colour with its opacity, as 0xAARRGGBB.
    const auto pixels = [doc] {
        std::vector<uint32_t> seen;
        for (int row = 0; row < doc->Height(); ++row)
            for (int x = 0; x < doc->Width(); ++x) {
                const uint8_t* p = doc->m_pBits + int64_t{row} * doc->Stride();
                seen.push_back(doc->BitCount() == 32
                                   ? GetPixel32(p, x, 0, 0)
                                   : PaletteColour(doc->m_pPalette[p[x]]) |
                                         uint32_t{EntryAlpha(doc->m_pEntryAlpha, p[x])} << 24);
            }
        return seen;
    };
    const std::vector<uint32_t> start = pixels();
    ASSERT_EQ(doc->ResizeCanvas(15, 11, CanvasAnchor::Centre), ImageStatus::Ok);
    EXPECT_EQ(doc->m_pBits[0], 200);
    ASSERT_TRUE(Command(ID_IMAGE_AUTOCROP));
    EXPECT_TRUE(pixels() == start);
    for (const int id : {ID_COLORS_SORT_HUE, ID_COLORS_SORT_USE, ID_COLORS_MERGE_DUPLICATES,
                         ID_COLORS_REMOVE_UNUSED, ID_COLORS_INVERT}) {
        ASSERT_TRUE(Command(id));
        const std::vector<uint32_t> now = pixels();
        for (size_t i = 0; i < start.size(); ++i)
            ASSERT_EQ(now[i] >> 24, start[i] >> 24) << id;
        EXPECT_TRUE(id == ID_COLORS_INVERT || now == start) << id;
    }
    EXPECT_GE(TransparentEntry(doc->m_pEntryAlpha), 0);  // unused, but the picture's transparency
    ASSERT_TRUE(Command(ID_COLORS_INVERT));
    EXPECT_TRUE(pixels() == start);

    ASSERT_TRUE(Command(ID_COLORS_INCREASE));
    ASSERT_EQ(doc->BitCount(), 32);
    EXPECT_TRUE(pixels() == start);
    ASSERT_EQ(doc->ResizeCanvas(15, 11, CanvasAnchor::BottomRight), ImageStatus::Ok);
    ASSERT_TRUE(Command(ID_COLORS_INVERT));
    EXPECT_EQ(pixels().back(), 0u);  // a transparent pixel stays all zero
    ASSERT_TRUE(Command(ID_COLORS_INVERT));
    ASSERT_TRUE(Command(ID_IMAGE_ROTATE_180) && Command(ID_IMAGE_FLIP_VERTICAL) &&
                Command(ID_IMAGE_FLIP_HORIZONTAL));
    ASSERT_TRUE(Command(ID_IMAGE_AUTOCROP));
    EXPECT_TRUE(pixels() == start);
    CloseWithoutSaving(doc);
}

TEST_F(ImageCommandsTest, ExportScaledWritesAMagnifiedCopyAndLeavesTheImage) {
    QTemporaryDir folder;
    COrvikDoc* doc = NewPatternDocument(5, 3, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    const std::vector<uint8_t> before = Rows(doc);
    OnNextModal<CExportScaledDlg>([](CExportScaledDlg* dialog) {
        EXPECT_EQ(dialog->m_size->text(), "10 x 6 pixels");
        dialog->m_scale->setValue(3);
        EXPECT_EQ(dialog->m_size->text(), "15 x 9 pixels");
        QTest::keyClick(dialog->m_scale, Qt::Key_Return);
    });
    OnNextModal<COrvikFileDialog>([&folder](COrvikFileDialog* dialog) {
        dialog->selectFile(folder.filePath("big.bmp"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    ASSERT_TRUE(Command(ID_FILE_EXPORT_SCALED));
    EXPECT_TRUE(Rows(doc) == before);
    EXPECT_FALSE(doc->IsModified());
    const QImage written(folder.filePath("big.bmp"));
    ASSERT_EQ(written.size(), QSize(15, 9));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 15; ++x)
            ASSERT_EQ(written.pixel(x, y) & 0xFFFFFF, ColourAt(doc, x / 3, y / 3)) << x << "," << y;

    // Past the largest picture: refused in the dialog, which stays open.
    ASSERT_EQ(doc->ResizeImage(5000, 3), ImageStatus::Ok);
    auto message = ExpectMessageBox();
    OnNextModal<CExportScaledDlg>([message](CExportScaledDlg* dialog) {
        dialog->m_scale->setValue(16);
        dialog->accept();
        EXPECT_TRUE(dialog->isVisible());
        dialog->reject();
    });
    Command(ID_FILE_EXPORT_SCALED);
    EXPECT_TRUE(message->startsWith("Cannot export at 16 times")) << message->toStdString();
}
