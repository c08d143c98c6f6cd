// The "Color" dialog: its pictures, markers and edits, OK and Cancel through the palette bar, and
// the palette bar's entry checks.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cmath>

#include "app/child_frame.h"
#include "colour/color_edit_dlg.h"
#include "colour/color_palette_dlg.h"
#include "document/orvik_doc.h"
#include "gui_test.h"
#include "image_test_helpers.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

COrvikDoc* NewImage(int width, int height, int type) {
    return ::NewImage(QString::number(width), QString::number(height), type);
}

void SetPaletteEntry(COrvikDoc* doc, int index, int red, int green, int blue) {
    doc->m_pPalette[index].rgbRed = uint8_t(red);
    doc->m_pPalette[index].rgbGreen = uint8_t(green);
    doc->m_pPalette[index].rgbBlue = uint8_t(blue);
    doc->MakeBrushes();
}

QRgb EntryRgb(const COrvikDoc* doc, int index) {
    const RGBQUAD& e = doc->m_pPalette[index];
    return qRgb(e.rgbRed, e.rgbGreen, e.rgbBlue);
}

CColorPaletteDlg* PaletteBar() {
    return GuiTest::Main()->m_wndPaletteDlg;
}

// Whether some pixel at about `radius` from the centre has `colour`, and none near the centre.
bool RingOf(const QImage& image, QPoint centre, int radius, QRgb colour) {
    bool ring = false;
    for (int y = centre.y() - radius - 2; y <= centre.y() + radius + 2; ++y) {
        for (int x = centre.x() - radius - 2; x <= centre.x() + radius + 2; ++x) {
            if (!image.rect().contains(x, y)) continue;
            const double d = std::hypot(x - centre.x(), y - centre.y());
            if (d <= 2.0 && image.pixel(x, y) == colour) return false;
            if (d >= radius - 1.5 && d <= radius + 1.5 && image.pixel(x, y) == colour) ring = true;
        }
    }
    return ring;
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int m_nPaints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++m_nPaints;
        return false;
    }
};

}  // namespace

class ColourDialogTest : public GuiTest {
protected:
    // A dialog on entry `index` of the active document, initialised and shown (not modal).
    std::unique_ptr<CColorEditDlg> OpenOn(int index) {
        auto dialog = std::make_unique<CColorEditDlg>(PaletteBar(), Main());
        dialog->m_nIndex = index;
        dialog->OnInitDialog();
        dialog->show();
        ProcessEvents();
        return dialog;
    }
};

TEST(ColourEditTest, ReadsDigitsAndCutsLargeNumbersTo255) {
    const struct {
        const char* text;
        int value;
        bool clamped;
    } cases[] = {
        {"", 0, false},      {"0", 0, false},    {"42", 42, false},   {"255", 255, false},
        {"256", 255, true},  {"300", 255, true}, {"0300", 255, true}, {"007", 7, false},
        {"  12", 12, false}, {"12a", 12, false}, {"abc", 0, false},   {"99999999999999999999", 255, true},
    };
    for (const auto& c : cases) {
        bool clamped = !c.clamped;
        EXPECT_EQ(ReadColourEdit(QString::fromLatin1(c.text), &clamped), c.value) << c.text;
        EXPECT_EQ(clamped, c.clamped) << c.text;
    }
}

TEST_F(ColourDialogTest, LayoutKeepsThePixelSizesAndStartsOnOk) {
    COrvikDoc* doc = NewImage(8, 8, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    auto dialog = OpenOn(0);
    EXPECT_EQ(dialog->windowTitle(), "Color");
    EXPECT_EQ(dialog->m_field->size(), QSize(256, 256));
    EXPECT_EQ(dialog->m_bar->size(), QSize(20, 256));
    EXPECT_EQ(dialog->m_currentSwatch->size(), QSize(40, 40));
    EXPECT_EQ(dialog->m_oldSwatch->size(), QSize(40, 40));
    EXPECT_TRUE(dialog->m_okButton->isDefault());
    EXPECT_EQ(dialog->focusWidget(), dialog->m_okButton);
    EXPECT_EQ(dialog->m_oldSwatch->focusPolicy(), Qt::TabFocus);
    // Centred over the main window (up to the window frame, which the platform adds on showing).
    const QPoint offset = dialog->frameGeometry().center() - Main()->frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 8);
    // The field sits left of the bar, both above the values and the buttons.
    EXPECT_LT(dialog->m_field->geometry().right(), dialog->m_bar->geometry().left());
    EXPECT_LT(dialog->m_field->geometry().bottom(), dialog->m_redEdit->mapTo(dialog.get(), QPoint()).y());
    EXPECT_LT(dialog->m_redEdit->mapTo(dialog.get(), QPoint()).y(), dialog->m_okButton->geometry().top());
}

TEST_F(ColourDialogTest, OpensOnTheEntryWithMarkersAndSwatches) {
    COrvikDoc* doc = NewImage(8, 8, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    SetPaletteEntry(doc, 7, 42, 84, 126);
    auto dialog = OpenOn(7);
    EXPECT_EQ(dialog->m_redEdit->text(), "42");
    EXPECT_EQ(dialog->m_greenEdit->text(), "84");
    EXPECT_EQ(dialog->m_blueEdit->text(), "126");
    EXPECT_EQ(dialog->m_field->m_nMarkerX, 42);
    EXPECT_EQ(dialog->m_field->m_nMarkerY, 84);
    EXPECT_EQ(dialog->m_bar->m_nMarkerY, 126);
    EXPECT_EQ(dialog->m_oldSwatch->Color(), QColor(42, 84, 126));
    EXPECT_EQ(dialog->m_currentSwatch->Color(), QColor(42, 84, 126));

    // The field: red to the right, green downward, all at the bar's blue; the marker's circle in
    // the inverse colour, the centre left as it is.
    const QImage field = Grab(dialog->m_field);
    EXPECT_EQ(field.pixel(0, 0), qRgb(0, 0, 126));
    EXPECT_EQ(field.pixel(200, 30), qRgb(200, 30, 126));
    EXPECT_EQ(field.pixel(255, 255), qRgb(255, 255, 126));
    EXPECT_EQ(field.pixel(42, 84), qRgb(42, 84, 126));
    EXPECT_TRUE(RingOf(field, {42, 84}, 5, qRgb(213, 171, 129)));
    // The bar: blue y on row y, black at the top, with a white circle at the blue.
    const QImage bar = Grab(dialog->m_bar);
    EXPECT_EQ(bar.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(bar.pixel(19, 200), qRgb(0, 0, 200));
    EXPECT_EQ(bar.pixel(0, 255), qRgb(0, 0, 255));
    EXPECT_EQ(bar.pixel(10, 126), qRgb(0, 0, 126));
    EXPECT_TRUE(RingOf(bar, {10, 126}, 5, qRgb(255, 255, 255)));
    EXPECT_EQ(Grab(dialog->m_oldSwatch).pixel(20, 20), qRgb(42, 84, 126));
    EXPECT_EQ(Grab(dialog->m_currentSwatch).pixel(0, 39), qRgb(42, 84, 126));
}

TEST_F(ColourDialogTest, SwatchFollowsTheMarkerWithoutARepaint) {
    COrvikDoc* doc = NewImage(8, 8, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    auto dialog = OpenOn(0);
    PaintCounter swatchPaints(dialog->m_currentSwatch);
    // Typing moves the marker; the swatch has its colour at once, before anything paints.
    dialog->m_redEdit->setText("200");
    dialog->m_blueEdit->setText("30");
    EXPECT_EQ(dialog->m_currentSwatch->Color(), QColor(200, 0, 30));
    // Painting the field changes nothing else.
    ProcessEvents();
    const int before = swatchPaints.m_nPaints;
    dialog->m_field->repaint();
    EXPECT_EQ(swatchPaints.m_nPaints, before);
}

TEST_F(ColourDialogTest, MarkerOnWhiteIsBlack) {
    COrvikDoc* doc = NewImage(8, 8, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    SetPaletteEntry(doc, 3, 255, 255, 255);
    auto dialog = OpenOn(3);
    const QImage field = Grab(dialog->m_field);
    EXPECT_EQ(field.pixel(255, 255), qRgb(255, 255, 255));
    EXPECT_TRUE(RingOf(field, {255, 255}, 5, qRgb(0, 0, 0)));
    EXPECT_EQ(field.pixel(240, 255), qRgb(240, 255, 255));
}

TEST_F(ColourDialogTest, ClickOnTheFieldSetsRedAndGreen) {
    COrvikDoc* doc = NewImage(8, 8, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    auto dialog = OpenOn(0);
    dialog->m_blueEdit->setText("30");
    QTest::mouseClick(dialog->m_field, Qt::LeftButton, {}, QPoint(10, 20));
    EXPECT_EQ(dialog->m_redEdit->text(), "10");
    EXPECT_EQ(dialog->m_greenEdit->text(), "20");
    EXPECT_EQ(dialog->m_field->m_nMarkerX, 10);
    EXPECT_EQ(dialog->m_field->m_nMarkerY, 20);
    // After the repaint the current swatch shows the colour under the marker.
    Grab(dialog->m_field);
    EXPECT_EQ(dialog->m_currentSwatch->Color(), QColor(10, 20, 30));
    EXPECT_EQ(dialog->m_oldSwatch->Color(), QColor(0, 0, 0));
    // A click on the bar sets blue, the bar marker and the field's blue.
    QTest::mouseClick(dialog->m_bar, Qt::LeftButton, {}, QPoint(3, 77));
    EXPECT_EQ(dialog->m_blueEdit->text(), "77");
    EXPECT_EQ(dialog->m_bar->m_nMarkerY, 77);
    EXPECT_EQ(dialog->m_field->ColourAt(100, 100), 0x64644Du);
    Grab(dialog->m_field);
    EXPECT_EQ(dialog->m_currentSwatch->Color(), QColor(10, 20, 77));
}

TEST_F(ColourDialogTest, DraggingPastEachEdgeClamps) {
    COrvikDoc* doc = NewImage(8, 8, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    auto dialog = OpenOn(0);
    // Through the window, so the press's grab carries the drag outside the field.
    QWindow* window = dialog->windowHandle();
    ASSERT_NE(window, nullptr);
    auto at = [&](QWidget* widget, QPoint point) { return widget->mapTo(dialog.get(), point); };
    QTest::mousePress(window, Qt::LeftButton, {}, at(dialog->m_field, {100, 100}));
    EXPECT_EQ(dialog->m_redEdit->text(), "100");
    QTest::mouseMove(window, at(dialog->m_field, {-30, -40}));
    EXPECT_EQ(dialog->m_redEdit->text(), "0");
    EXPECT_EQ(dialog->m_greenEdit->text(), "0");
    EXPECT_EQ(dialog->m_field->m_nMarkerX, 0);
    EXPECT_EQ(dialog->m_field->m_nMarkerY, 0);
    QTest::mouseMove(window, at(dialog->m_field, {300, 280}));
    EXPECT_EQ(dialog->m_redEdit->text(), "255");
    EXPECT_EQ(dialog->m_greenEdit->text(), "255");
    QTest::mouseMove(window, at(dialog->m_field, {-5, 300}));
    EXPECT_EQ(dialog->m_redEdit->text(), "0");
    EXPECT_EQ(dialog->m_greenEdit->text(), "255");
    QTest::mouseRelease(window, Qt::LeftButton, {}, at(dialog->m_field, {-5, 300}));
    // Moving without the button changes nothing.
    QTest::mouseMove(window, at(dialog->m_field, {50, 50}));
    EXPECT_EQ(dialog->m_redEdit->text(), "0");

    QTest::mousePress(window, Qt::LeftButton, {}, at(dialog->m_bar, {10, 128}));
    EXPECT_EQ(dialog->m_blueEdit->text(), "128");
    QTest::mouseMove(window, at(dialog->m_bar, {40, 400}));
    EXPECT_EQ(dialog->m_blueEdit->text(), "255");
    EXPECT_EQ(dialog->m_bar->m_nMarkerY, 255);
    QTest::mouseMove(window, at(dialog->m_bar, {-40, -20}));
    EXPECT_EQ(dialog->m_blueEdit->text(), "0");
    EXPECT_EQ(dialog->m_bar->m_nMarkerY, 0);
    QTest::mouseRelease(window, Qt::LeftButton, {}, at(dialog->m_bar, {-40, -20}));
}

TEST_F(ColourDialogTest, TypedValuesAreCutTo255AndEmptyReadsZero) {
    COrvikDoc* doc = NewImage(8, 8, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    SetPaletteEntry(doc, 1, 42, 84, 126);
    auto dialog = OpenOn(1);
    dialog->m_greenEdit->clear();
    QTest::keyClicks(dialog->m_greenEdit, "300");
    EXPECT_EQ(dialog->m_greenEdit->text(), "255");
    EXPECT_EQ(dialog->m_field->m_nMarkerY, 255);
    EXPECT_EQ(dialog->m_field->m_nMarkerX, 42);
    // Digits only: other keys are refused.
    dialog->m_redEdit->clear();
    QTest::keyClicks(dialog->m_redEdit, "-7x9");
    EXPECT_EQ(dialog->m_redEdit->text(), "79");
    EXPECT_EQ(dialog->m_field->m_nMarkerX, 79);
    QTest::keyClicks(dialog->m_redEdit, "9");
    EXPECT_EQ(dialog->m_redEdit->text(), "255");
    // A cleared blue edit stays empty and counts as 0.
    dialog->m_blueEdit->selectAll();
    QTest::keyClick(dialog->m_blueEdit, Qt::Key_Backspace);
    EXPECT_EQ(dialog->m_blueEdit->text(), "");
    EXPECT_EQ(dialog->m_bar->m_nMarkerY, 0);
    EXPECT_EQ(dialog->m_field->ColourAt(7, 9), 0x070900u);
    QTest::keyClicks(dialog->m_blueEdit, "1000");
    EXPECT_EQ(dialog->m_blueEdit->text(), "255");
    EXPECT_EQ(dialog->m_bar->m_nMarkerY, 255);
}

TEST_F(ColourDialogTest, DoubleClickEditsTheEntryAndOkRepaintsAn8BitImage) {
    COrvikDoc* doc = NewImage(6, 4, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(g_activeDoc, doc);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            doc->m_pBits[y * doc->Stride() + x] = uint8_t(x < 3 ? 13 : 14);
    doc->m_pPalette[13].rgbReserved = 0x5A;
    doc->SetModifiedFlag(false);
    COrvikView* view = doc->m_pView;
    PaintCounter paints(view->viewport());
    ProcessEvents();
    const QRgb other = EntryRgb(doc, 14);

    // Cell 13 is column 5 of row 1 of the grid.
    std::shared_ptr<bool> ran = OnNextModal<CColorEditDlg>([](CColorEditDlg* dialog) {
        EXPECT_EQ(dialog->m_nIndex, 13);
        EXPECT_TRUE(dialog->isModal());
        dialog->m_redEdit->setText("200");
        dialog->m_greenEdit->setText("10");
        dialog->m_blueEdit->setText("20");
        QTest::mouseClick(dialog->m_okButton, Qt::LeftButton);
    });
    QTest::mousePress(PaletteBar()->m_grid, Qt::LeftButton, {}, QPoint(55, 15));
    QTest::mouseRelease(PaletteBar()->m_grid, Qt::LeftButton, {}, QPoint(55, 15));
    QTest::mouseDClick(PaletteBar()->m_grid, Qt::LeftButton, {}, QPoint(55, 15));
    QTest::mouseRelease(PaletteBar()->m_grid, Qt::LeftButton, {}, QPoint(55, 15));
    EXPECT_TRUE(*ran);
    EXPECT_EQ(PaletteBar()->m_foreIndex, 13);  // the first press picked it
    EXPECT_EQ(EntryRgb(doc, 13), qRgb(200, 10, 20));
    EXPECT_EQ(doc->m_pPalette[13].rgbReserved, 0x5A);
    EXPECT_EQ(doc->m_hBrush[13], QColor(200, 10, 20));
    EXPECT_EQ(EntryRgb(doc, 14), other);
    // The palette is part of the 8-bit image: modified, and its views show the new colour.
    EXPECT_TRUE(doc->IsModified());
    paints.m_nPaints = 0;
    ProcessEvents();
    EXPECT_GT(paints.m_nPaints, 0);
    const QImage shot = Grab(view->viewport());
    EXPECT_EQ(shot.pixel(ViewPoint(doc, {0, 0})), qRgb(200, 10, 20));
    EXPECT_EQ(shot.pixel(ViewPoint(doc, {2, 3})), qRgb(200, 10, 20));
    EXPECT_EQ(shot.pixel(ViewPoint(doc, {3, 0})), other);
    // The grid's cell shows it too (the inner square of the marked foreground cell).
    EXPECT_EQ(Grab(PaletteBar()->m_grid).pixel(55, 15), qRgb(200, 10, 20));
    EXPECT_EQ(Grab(PaletteBar()->m_foreSwatch).pixel(15, 15), qRgb(200, 10, 20));
}

TEST_F(ColourDialogTest, OkWithUnchangedValuesRewritesTheSameEntry) {
    COrvikDoc* doc = NewImage(4, 4, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    SetPaletteEntry(doc, 9, 42, 84, 126);
    doc->SetModifiedFlag(false);
    PaintCounter paints(doc->m_pView->viewport());
    ProcessEvents();
    paints.m_nPaints = 0;
    OnNextModal<CColorEditDlg>([](CColorEditDlg* dialog) { dialog->m_okButton->click(); });
    PaletteBar()->EditEntry(9);
    EXPECT_EQ(EntryRgb(doc, 9), qRgb(42, 84, 126));
    ProcessEvents();
    EXPECT_GT(paints.m_nPaints, 0);  // its views were redrawn
    EXPECT_FALSE(doc->IsModified());  // but nothing changed
}

TEST_F(ColourDialogTest, OkOnA24BitImageChangesOnlyThePalette) {
    COrvikDoc* doc = NewImage(4, 4, kImage24Bit);
    ASSERT_NE(doc, nullptr);
    std::vector<uint8_t> before(doc->m_pBits, doc->m_pBits + doc->Stride() * 4);
    PaintCounter paints(doc->m_pView->viewport());
    ProcessEvents();
    paints.m_nPaints = 0;
    OnNextModal<CColorEditDlg>([](CColorEditDlg* dialog) {
        dialog->m_blueEdit->setText("250");
        QTest::keyClick(dialog, Qt::Key_Return);  // OK is the default button
    });
    PaletteBar()->EditEntry(0);
    EXPECT_EQ(EntryRgb(doc, 0), qRgb(0, 0, 250));
    EXPECT_EQ(doc->m_hBrush[0], QColor(0, 0, 250));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), doc->m_pBits));
    ProcessEvents();
    EXPECT_EQ(paints.m_nPaints, 0);
}

TEST_F(ColourDialogTest, CancelChangesNothing) {
    COrvikDoc* doc = NewImage(4, 4, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    SetPaletteEntry(doc, 20, 42, 84, 126);
    doc->SetModifiedFlag(false);
    std::vector<RGBQUAD> before(doc->m_pPalette, doc->m_pPalette + 256);
    OnNextModal<CColorEditDlg>([](CColorEditDlg* dialog) {
        QTest::mouseClick(dialog->m_field, Qt::LeftButton, {}, QPoint(200, 3));
        QTest::mouseClick(dialog->m_bar, Qt::LeftButton, {}, QPoint(5, 250));
        EXPECT_EQ(dialog->m_redEdit->text(), "200");
        EXPECT_EQ(dialog->m_oldSwatch->Color(), QColor(42, 84, 126));
        dialog->m_cancelButton->click();
    });
    PaletteBar()->EditEntry(20);
    EXPECT_EQ(std::memcmp(before.data(), doc->m_pPalette, sizeof(RGBQUAD) * 256), 0);
    EXPECT_EQ(doc->m_hBrush[20], QColor(42, 84, 126));
    EXPECT_FALSE(doc->IsModified());
    // Escape cancels as well.
    OnNextModal<CColorEditDlg>([](CColorEditDlg* dialog) {
        dialog->m_redEdit->setText("1");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    PaletteBar()->EditEntry(20);
    EXPECT_EQ(EntryRgb(doc, 20), qRgb(42, 84, 126));
}

TEST_F(ColourDialogTest, NoDialogWithoutADocumentOrOutsideTheGrid) {
    // Closes any modal dialog that opens, so a failure shows instead of hanging.
    auto opened = std::make_shared<bool>(false);
    auto watch = [opened] {
        QTimer::singleShot(0, [opened] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                *opened = true;
                modal->close();
            }
        });
    };
    ASSERT_EQ(g_activeDoc, nullptr);
    watch();
    PaletteBar()->EditEntry(5);
    ProcessEvents();
    EXPECT_FALSE(*opened);
    QTest::mouseDClick(PaletteBar()->m_grid, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(PaletteBar()->m_grid, Qt::LeftButton, {}, QPoint(5, 5));
    ProcessEvents();
    EXPECT_FALSE(*opened);

    COrvikDoc* doc = NewImage(4, 4, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    for (int index : {-1, 256, 1000}) {
        watch();
        PaletteBar()->EditEntry(index);
        ProcessEvents();
        EXPECT_FALSE(*opened) << index;
    }
    // Points of the grid map to 0..255; others to nothing.
    EXPECT_EQ(CPaletteGrid::IndexAt({0, 0}), 0);
    EXPECT_EQ(CPaletteGrid::IndexAt({35, 47}), 35);
    EXPECT_EQ(CPaletteGrid::IndexAt({79, 319}), 255);
    EXPECT_EQ(CPaletteGrid::IndexAt({80, 10}), -1);
    EXPECT_EQ(CPaletteGrid::IndexAt({10, 320}), -1);
    EXPECT_EQ(CPaletteGrid::IndexAt({-1, 10}), -1);
}

TEST_F(ColourDialogTest, SetEntryChecksTheIndexAndClampsTheBytes) {
    COrvikDoc* doc = NewImage(4, 4, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    std::vector<RGBQUAD> before(doc->m_pPalette, doc->m_pPalette + 256);
    PaletteBar()->SetEntry(-1, 1, 2, 3);
    PaletteBar()->SetEntry(256, 1, 2, 3);
    EXPECT_EQ(std::memcmp(before.data(), doc->m_pPalette, sizeof(RGBQUAD) * 256), 0);
    PaletteBar()->SetEntry(3, 300, -5, 128);
    EXPECT_EQ(EntryRgb(doc, 3), qRgb(255, 0, 128));
    EXPECT_EQ(doc->m_hBrush[3], QColor(255, 0, 128));
    EXPECT_TRUE(doc->IsModified());
    // With no active document there is nothing to change.
    CloseWithoutSaving(doc);
    ASSERT_EQ(g_activeDoc, nullptr);
    PaletteBar()->SetEntry(3, 1, 2, 3);  // must not reach a closed document
}

TEST_F(ColourDialogTest, OkDoesNothingWhenTheDocumentWentAway) {
    COrvikDoc* doc = NewImage(4, 4, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    auto dialog = OpenOn(2);
    dialog->m_redEdit->setText("99");
    COrvikDoc* other = NewImage(4, 4, kImage8Bit);
    ASSERT_EQ(g_activeDoc, other);
    const QRgb before = EntryRgb(other, 2);
    dialog->m_okButton->click();
    EXPECT_EQ(EntryRgb(other, 2), before);
    EXPECT_NE(EntryRgb(doc, 2), qRgb(99, 0, 0));
}

// "Transparent" comes after the described controls; it makes an 8-bit entry transparent or opaque
// as one step, keeps a partial opacity unless clicked, and is off for a 24-bit palette. The grid
// shows a transparent entry over the checkerboard.
TEST_F(ColourDialogTest, TransparentBoxSetsTheEntrysOpacity) {
    COrvikDoc* doc = NewImage(4, 2, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    SetPaletteEntry(doc, 20, 200, 0, 0);
    {
        auto dialog = OpenOn(20);
        const QStringList order = TabOrder(dialog->m_okButton);
        ASSERT_GE(order.size(), 2);
        EXPECT_EQ(order.mid(order.size() - 3), (QStringList{"1016", "33700", "1"}));
        EXPECT_TRUE(dialog->m_transparentCheck->isEnabled());
        EXPECT_EQ(dialog->m_transparentCheck->checkState(), Qt::Unchecked);
        QTest::mouseClick(dialog->m_transparentCheck, Qt::LeftButton);
        dialog->accept();
    }
    ASSERT_NE(doc->m_pEntryAlpha, nullptr);
    EXPECT_EQ(doc->m_pEntryAlpha[20], 0);
    EXPECT_EQ(EntryRgb(doc, 20), qRgb(200, 0, 0));
    // Cell 20 (column 4, row 2): grey and white squares, no red.
    const QImage grid = Grab(PaletteBar()->m_grid);
    EXPECT_EQ(grid.pixel(41, 21), qRgb(204, 204, 204));
    EXPECT_EQ(grid.pixel(46, 21), qRgb(255, 255, 255));
    ASSERT_TRUE(Main()->RouteCommand(ID_EDIT_UNDO));
    EXPECT_EQ(EntryAlpha(doc->m_pEntryAlpha, 20), 255);
    EXPECT_EQ(Grab(PaletteBar()->m_grid).pixel(41, 21), qRgb(200, 0, 0));

    // A partial opacity from a file stays unless the box is clicked.
    ASSERT_TRUE(doc->WriteEntryAlpha(20, 128));
    for (const bool click : {false, true}) {
        auto dialog = OpenOn(20);
        EXPECT_EQ(dialog->m_transparentCheck->checkState(), Qt::PartiallyChecked);
        if (click) QTest::mouseClick(dialog->m_transparentCheck, Qt::LeftButton);
        dialog->accept();
        EXPECT_EQ(doc->m_pEntryAlpha[20], click ? 0 : 128);
    }

    COrvikDoc* colour = NewImage(4, 2, kImage24Bit);
    ASSERT_NE(colour, nullptr);
    auto dialog = OpenOn(20);
    EXPECT_FALSE(dialog->m_transparentCheck->isEnabled());
    dialog->accept();
    EXPECT_EQ(colour->m_pEntryAlpha, nullptr);
}
