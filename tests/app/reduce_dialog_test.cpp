// Decrease Color Depth's preview and Remap to Palette through the real libquantz.so: what OK
// applies is what the preview showed, as one step; the controls after the template's; palette
// files.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <cstring>
#include <set>
#include <vector>

#include "dialogs/decrease_depth_dlg.h"
#include "dialogs/reduction_preview.h"
#include "image_test_helpers.h"
#include "res/resource.h"

namespace {

class ReduceDialogTest : public GuiTest {};

// Waits until the dialog has made every preview and PSNR it shows.
void WaitUntilReady(CDecreaseDepthDlg* dialog) {
    QElapsedTimer timer;
    timer.start();
    while (dialog->Busy() && timer.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_FALSE(dialog->Busy());
}

void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, 6));
}

std::vector<uint8_t> Rows(const COrvikDoc* doc) {
    return {doc->m_pBits, doc->m_pBits + int64_t{doc->Stride()} * doc->Height()};
}

}  // namespace

// The preview of 16 colours by median cut with error diffusion is what OK applies, pixel for
// pixel, with the PSNR it showed; one Undo brings the 24-bit image back. Cancel changes nothing.
TEST_F(ReduceDialogTest, OkAppliesWhatThePreviewShowed) {
    COrvikDoc* doc = NewPatternDocument(300, 200, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    const std::vector<uint8_t> before = Rows(doc);

    OnNextModal<CDecreaseDepthDlg>([](CDecreaseDepthDlg* dialog) {
        dialog->m_colourCount->setValue(5);
        Click(dialog->m_errorDiffusion);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    Main()->RouteCommand(ID_COLORS_DECREASE);
    EXPECT_EQ(doc->BitCount(), 24);
    EXPECT_EQ(Rows(doc), before);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(doc->CanUndo());

    QImage shown;
    QRect shownRect;
    QString psnr;
    OnNextModal<CDecreaseDepthDlg>([&](CDecreaseDepthDlg* dialog) {
        Click(dialog->m_medianCut);
        dialog->m_colourCount->setValue(16);
        Click(dialog->m_errorDiffusion);
        WaitUntilReady(dialog);
        Grab(dialog->m_preview);
        shown = dialog->m_preview->Shown();
        shownRect = dialog->m_preview->ShownRect();
        psnr = dialog->m_psnr->text();
        QTest::keyClick(dialog, Qt::Key_Return);  // OK is the default button
    });
    Main()->RouteCommand(ID_COLORS_DECREASE);
    ASSERT_EQ(doc->BitCount(), 8);
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.size(), shownRect.size());
    std::set<int> used;
    for (int y = 0; y < doc->Height(); ++y) {
        for (int x = 0; x < doc->Width(); ++x) {
            const int index = doc->m_pBits[int64_t{doc->Height() - 1 - y} * doc->Stride() + x];
            used.insert(index);
            if (!shownRect.contains(x, y)) continue;
            const RGBQUAD& e = doc->m_pPalette[index];
            ASSERT_EQ(shown.pixel(x - shownRect.left(), y - shownRect.top()),
                      qRgb(e.rgbRed, e.rgbGreen, e.rgbBlue))
                << x << "," << y;
        }
    }
    EXPECT_LE(used.size(), 16u);
    EXPECT_TRUE(psnr.startsWith("PSNR: ")) << psnr.toStdString();
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->CanUndo());
    doc->OnEditUndo();
    EXPECT_EQ(doc->BitCount(), 24);
    EXPECT_EQ(Rows(doc), before);
    EXPECT_FALSE(doc->CanUndo());
}

// Remap to Palette maps an 8-bit image onto a palette file's colours exactly; a damaged file is
// refused with its reason and changes nothing.
TEST_F(ReduceDialogTest, RemapToAPaletteFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const char* name, const char* text) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    };
    const QString good =
        write("four.gpl", "GIMP Palette\nName: Four\n#\n0 0 0 Black\n255 255 255\n200 40 40\n40 40 200\n");
    const QString bad = write("bad.gpl", "GIMP Palette\n0 0 zero\n");
    COrvikDoc* doc = NewPatternDocument(40, 30, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(CommandEnabled(ID_COLORS_DECREASE));
    ASSERT_TRUE(CommandEnabled(ID_COLORS_REMAP));

    OnNextModal<CDecreaseDepthDlg>([&](CDecreaseDepthDlg* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Remap to Palette");
        EXPECT_EQ(dialog->m_paletteSource->currentIndex(), CDecreaseDepthDlg::kPaletteMethod);
        auto message = ExpectMessageBox();
        EXPECT_FALSE(dialog->LoadPaletteFile(bad));
        EXPECT_TRUE(message->startsWith("Cannot load bad.gpl.")) << message->toStdString();
        EXPECT_EQ(dialog->m_paletteSource->currentIndex(), CDecreaseDepthDlg::kPaletteMethod);
        ASSERT_TRUE(dialog->LoadPaletteFile(good));
        EXPECT_EQ(dialog->m_paletteSource->currentIndex(), CDecreaseDepthDlg::kPaletteFile);
        EXPECT_TRUE(dialog->m_paletteFileName->text().contains("4"))
            << dialog->m_paletteFileName->text().toStdString();
        EXPECT_FALSE(dialog->m_colourCount->isEnabled());
        EXPECT_TRUE(dialog->m_orderedDither->isEnabled());
        Click(dialog->m_orderedDither);
        WaitUntilReady(dialog);
        Click(dialog->findChild<QPushButton*>("1"));
    });
    Main()->RouteCommand(ID_COLORS_REMAP);
    ASSERT_EQ(doc->BitCount(), 8);
    const RGBQUAD four[] = {{0, 0, 0, 0}, {255, 255, 255, 0}, {40, 40, 200, 0}, {200, 40, 40, 0}};
    EXPECT_EQ(std::memcmp(doc->m_pPalette, four, sizeof four), 0);
    std::set<int> used;
    for (int row = 0; row < doc->Height(); ++row)
        for (int x = 0; x < doc->Width(); ++x)
            used.insert(doc->m_pBits[int64_t{row} * doc->Stride() + x]);
    EXPECT_EQ(used, (std::set<int>{0, 1, 2, 3}));
}

// Clicking a view below the preview chooses its palette: the picture's current palette (here
// edited first) comes out as the result's palette, entry for entry.
TEST_F(ReduceDialogTest, AViewChoosesItsPalette) {
    COrvikDoc* doc = NewPatternDocument(50, 40, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    doc->m_pPalette[7] = RGBQUAD{1, 2, 3, 0};
    std::vector<RGBQUAD> current(doc->m_pPalette, doc->m_pPalette + kPaletteEntries);
    OnNextModal<CDecreaseDepthDlg>([](CDecreaseDepthDlg* dialog) {
        ASSERT_EQ(dialog->m_tiles.size(), 6u);
        Click(dialog->m_tiles[4]);  // the original, median cut, octree, standard, current
        EXPECT_EQ(dialog->m_paletteSource->currentIndex(), CDecreaseDepthDlg::kCurrentPalette);
        EXPECT_FALSE(dialog->m_medianCut->isEnabled());
        Click(dialog->m_orderedDither);
        EXPECT_TRUE(dialog->m_orderedDither->isChecked());
        WaitUntilReady(dialog);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    Main()->RouteCommand(ID_COLORS_DECREASE);
    ASSERT_EQ(doc->BitCount(), 8);
    for (int i = 0; i < kPaletteEntries; ++i)
        ASSERT_EQ(PaletteColour(doc->m_pPalette[i]), PaletteColour(current[size_t(i)])) << i;
}

// A 32-bit picture: its fully transparent pixels become one transparent entry, and only they;
// partly transparent ones are reduced by their colour. The preview shows them transparent too,
// and Undo brings the 32-bit rows back.
TEST_F(ReduceDialogTest, TransparentPixelsBecomeOneTransparentEntry) {
    COrvikDoc* doc = NewPatternDocument(40, 30, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    for (int row = 10; row < 20; ++row)
        std::memset(doc->m_pBits + int64_t{row} * doc->Stride() + 8, 5, 12);
    ASSERT_TRUE(doc->WriteEntryAlpha(5, 0));
    ASSERT_TRUE(GuiTest::Main()->RouteCommand(ID_COLORS_INCREASE));
    ASSERT_EQ(doc->BitCount(), 32);
    doc->m_pBits[3] = 77;  // (0, 29) from the top: partly transparent
    const std::vector<uint8_t> before = Rows(doc);
    const auto transparent = [&](int x, int y) {
        return before[size_t(int64_t{doc->Height() - 1 - y} * 4 * doc->Width() + 4 * x + 3)] == 0;
    };

    QImage shown;
    QRect shownRect;
    OnNextModal<CDecreaseDepthDlg>([&](CDecreaseDepthDlg* dialog) {
        dialog->m_colourCount->setValue(6);
        Click(dialog->m_errorDiffusion);
        WaitUntilReady(dialog);
        Grab(dialog->m_preview);
        shown = dialog->m_preview->Shown();
        shownRect = dialog->m_preview->ShownRect();
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    Main()->RouteCommand(ID_COLORS_DECREASE);
    ASSERT_EQ(doc->BitCount(), 8);
    ASSERT_NE(doc->m_pEntryAlpha, nullptr);
    const int clear = TransparentEntry(doc->m_pEntryAlpha);
    ASSERT_GE(clear, 0);
    std::set<int> used;
    for (int y = 0; y < doc->Height(); ++y) {
        for (int x = 0; x < doc->Width(); ++x) {
            const int index = doc->m_pBits[int64_t{doc->Height() - 1 - y} * doc->Stride() + x];
            used.insert(index);
            ASSERT_EQ(index == clear, transparent(x, y)) << x << "," << y;
            if (shownRect.contains(x, y))
                ASSERT_EQ(qAlpha(shown.pixel(x - shownRect.left(), y - shownRect.top())),
                          index == clear ? 0 : 255);
        }
    }
    EXPECT_LE(used.size(), 6u);
    for (int i = 0; i < kPaletteEntries; ++i)
        if (i != clear) ASSERT_EQ(doc->m_pEntryAlpha[i], 255) << i;
    doc->OnEditUndo();
    EXPECT_EQ(doc->BitCount(), 32);
    EXPECT_EQ(Rows(doc), before);
}
