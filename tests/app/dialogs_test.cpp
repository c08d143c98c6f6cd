// The Change Canvas Size, Resize Image, Decrease Color Depth and Setup dialogs, driven with key
// clicks and mouse clicks.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/canvas_size_dlg.h"
#include "dialogs/decrease_depth_dlg.h"
#include "dialogs/resize_image_dlg.h"
#include "dialogs/setup_dlg.h"
#include "document/pixel_routines.h"
#include "image_test_helpers.h"
#include "res/resource.h"

namespace {

class DialogsTest : public GuiTest {};

// The four size edits of the Resize Image dialog as one line, "w h w% h%".
QString SizeEdits(const CResizeImageDlg& dialog) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(dialog.m_widthEdit->text(), dialog.m_heightEdit->text(), dialog.m_widthPercentEdit->text(),
             dialog.m_heightPercentEdit->text());
}

// One user action in the Resize Image dialog: type or paste text into the edit with the given
// id, or click the control with the given id.
struct Action {
    int id;
    const char* text = nullptr;  // null: a mouse click
    bool paste = false;          // the whole text at once instead of key by key
};

void Perform(CResizeImageDlg& dialog, const Action& action) {
    if (action.text) {
        auto* edit = dialog.findChild<QLineEdit*>(QString::number(action.id));
        if (action.paste) {
            edit->selectAll();
            edit->insert(QString::fromUtf8(action.text));
        } else {
            TypeInto(edit, QString::fromUtf8(action.text));
        }
    } else {
        auto* button = dialog.findChild<QAbstractButton*>(QString::number(action.id));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
}

struct ResizeCase {
    const char* name;
    int width0, height0;
    std::vector<Action> actions;
    const char* expected;  // SizeEdits afterwards
};

// Restores the process-wide settings the Setup dialog writes.
struct SettingsScope {
    float factor = g_fTranslucency;
    uint8_t fillStyle = g_fillStyle;
    ~SettingsScope() {
        g_fTranslucency = factor;
        g_fillStyle = fillStyle;
    }
};

}  // namespace

TEST_F(DialogsTest, CanvasSizeOpensWithTheImageSize) {
    COrvikDoc* doc = NewPatternDocument(37, 21, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    CCanvasSizeDlg dialog(doc, Main());
    EXPECT_EQ(dialog.windowTitle(), "Change Canvas Size");
    EXPECT_EQ(dialog.m_widthEdit->text(), "37");
    EXPECT_EQ(dialog.m_heightEdit->text(), "21");
    EXPECT_EQ(dialog.m_currentWidth->text(), "37");
    EXPECT_EQ(dialog.m_currentHeight->text(), "21");
    EXPECT_EQ(dialog.m_widthEdit->selectedText(), "37");
    EXPECT_EQ(dialog.focusWidget(), dialog.m_widthEdit);
    // Only digits can be typed.
    TypeInto(dialog.m_widthEdit, "4a-5.");
    EXPECT_EQ(dialog.m_widthEdit->text(), "45");
    // The anchor's nine buttons come after the described controls.
    EXPECT_EQ(TabOrder(dialog.m_widthEdit), (QStringList{"1022", "33450", "33451", "33452", "33453", "33454", "33455",
                                                         "33456", "33457", "33458", "1", "2", "1021"}));
    EXPECT_TRUE(dialog.m_anchor->button(int(CanvasAnchor::BottomLeft))->isChecked());
    EXPECT_TRUE(dialog.findChild<QPushButton*>(QString::number(IDOK))->isDefault());
}

TEST_F(DialogsTest, SizesTheImageCannotTakeAreRefusedAndTheDialogStaysOpen) {
    struct Case {
        const char* width;
        const char* height;
        int type;
        bool widthAtFault;
        const char* reason;
    };
    const Case cases[] = {
        {"0", "10", kImage8Bit, true, "between 1 and 65535"},
        {"", "10", kImage8Bit, true, "between 1 and 65535"},
        {"10", "", kImage8Bit, false, "between 1 and 65535"},
        {"65536", "10", kImage8Bit, true, "between 1 and 65535"},
        {"10", "99999999999999999999", kImage8Bit, false, "between 1 and 65535"},
        {"65535", "65535", kImage24Bit, false, "more than 1 GiB"},
        {"20000", "18000", kImage24Bit, false, "more than 1 GiB"},  // 1.08e9 bytes: wraps in 32 bits
    };
    for (const int command : {ID_IMAGE_CANVAS, ID_IMAGE_RESIZE}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << command << ": " << c.width << " x " << c.height);
            COrvikDoc* doc = NewPatternDocument(6, 5, c.type);
            ASSERT_NE(doc, nullptr);
            uint8_t* const bits = doc->m_pBits;
            auto checked = std::make_shared<bool>(false);
            const auto check = [&c, checked](QDialog* dialog, QLineEdit* width, QLineEdit* height) {
                TypeInto(width, c.width);
                TypeInto(height, c.height);
                auto message = ExpectMessageBox();
                QTest::keyClick(dialog, Qt::Key_Return);
                EXPECT_TRUE(message->contains(c.reason)) << message->toStdString();
                EXPECT_TRUE(dialog->isVisible());
                QLineEdit* culprit = c.widthAtFault ? width : height;
                EXPECT_EQ(dialog->focusWidget(), culprit);
                EXPECT_EQ(culprit->selectedText(), culprit->text());
                *checked = true;
                dialog->reject();
            };
            if (command == ID_IMAGE_CANVAS)
                OnNextModal<CCanvasSizeDlg>(
                    [check](CCanvasSizeDlg* d) { check(d, d->m_widthEdit, d->m_heightEdit); });
            else
                OnNextModal<CResizeImageDlg>(
                    [check](CResizeImageDlg* d) { check(d, d->m_widthEdit, d->m_heightEdit); });
            Main()->RouteCommand(command);
            EXPECT_TRUE(*checked);
            EXPECT_EQ(doc->Width(), 6);
            EXPECT_EQ(doc->Height(), 5);
            EXPECT_EQ(doc->m_pBits, bits);
            EXPECT_FALSE(doc->IsModified());
            theApp->ExitInstance();
            ASSERT_TRUE(theApp->InitInstance({}));
        }
    }
}

TEST_F(DialogsTest, ResizeImageOpensInPixelMode) {
    COrvikDoc* doc = NewPatternDocument(640, 480, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    CResizeImageDlg dialog(doc, Main());
    EXPECT_EQ(dialog.windowTitle(), "Resize Image");
    EXPECT_EQ(SizeEdits(dialog), "640 480 100 100");
    EXPECT_EQ(dialog.m_ratioEdit->text(), "1.3333");
    EXPECT_EQ(dialog.m_currentWidth->text(), "640");
    EXPECT_EQ(dialog.m_currentHeight->text(), "480");
    EXPECT_EQ(dialog.m_aspectCheck->text(), "Matain aspect ratio of");
    EXPECT_EQ(dialog.m_ratioLabel->text(), "to 1");
    EXPECT_FALSE(dialog.m_aspectCheck->isChecked());
    EXPECT_TRUE(dialog.m_pixelRadio->isChecked());
    EXPECT_FALSE(dialog.m_percentRadio->isChecked());
    EXPECT_EQ(dialog.m_widthEdit->selectedText(), "640");
    EXPECT_EQ(dialog.focusWidget(), dialog.m_widthEdit);
    EXPECT_EQ(TabOrder(dialog.m_widthEdit),
              (QStringList{"1001", "1033", "1034", "1", "2", "1028", "1029", "1000"}));

    // The modes enable one group of controls and disable the other.
    const auto enabled = [&dialog] {
        std::string states;
        for (QWidget* w : std::initializer_list<QWidget*>{
                 dialog.m_widthEdit, dialog.m_heightEdit, dialog.m_aspectCheck, dialog.m_ratioEdit,
                 dialog.m_ratioLabel, dialog.m_widthPercentEdit, dialog.m_heightPercentEdit})
            states += w->isEnabled() ? '1' : '0';
        return states;
    };
    EXPECT_EQ(enabled(), "1111100");
    QTest::mouseClick(dialog.m_percentRadio, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(enabled(), "0000011");
    EXPECT_FALSE(dialog.m_pixelRadio->isChecked());
    QTest::mouseClick(dialog.m_pixelRadio, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(enabled(), "1111100");
    EXPECT_FALSE(dialog.m_percentRadio->isChecked());
}

TEST_F(DialogsTest, ResizeImageArithmetic) {
    const int kWidth = IDC_WIDTH, kHeight = IDC_HEIGHT, kWidthPct = IDC_WIDTH_PERCENT,
              kHeightPct = IDC_HEIGHT_PERCENT, kRatio = IDC_RATIO, kAspect = IDC_ASPECT,
              kPercentMode = IDC_PERCENTAGE;
    // clang-format off
    const ResizeCase cases[] = {
        {"width without the aspect box", 640, 480, {{kWidth, "320"}}, "320 480 50 100"},
        {"width with the aspect box", 640, 480, {{kAspect}, {kWidth, "320"}}, "320 240 50 50"},
        {"height with the aspect box", 640, 480, {{kAspect}, {kHeight, "240"}}, "319 240 49 50"},
        {"width percent", 640, 480, {{kPercentMode}, {kWidthPct, "50"}}, "320 480 50 100"},
        {"height percent", 640, 480, {{kPercentMode}, {kHeightPct, "33"}}, "640 158 100 33"},
        {"percent moves one dimension only", 640, 480, {{kAspect}, {kPercentMode}, {kWidthPct, "25"}},
         "160 480 25 100"},
        {"ticking recomputes the height from the width", 640, 480, {{kAspect}}, "640 480 100 100"},
        {"ticking after a width change", 640, 480, {{kWidth, "320"}, {kAspect}}, "320 240 50 50"},
        {"clearing the box", 640, 480, {{kAspect}, {kWidth, "320"}, {kAspect}, {kHeight, "100"}},
         "320 100 50 20"},
        {"ratio 2 without the aspect box", 640, 480, {{kRatio, "2"}}, "640 320 100 100"},
        {"ratio then width", 640, 480, {{kRatio, "2"}, {kAspect}, {kWidth, "300"}}, "300 150 46 31"},
        {"ratio then height", 640, 480, {{kAspect}, {kRatio, "0.5"}, {kHeight, "100"}}, "50 100 7 20"},
        {"empty width", 640, 480, {{kAspect}, {kWidth, ""}}, " 0 0 0"},
        // A 64-bit product: 480 x 8947849 wraps to 224 in 32 bits, which gave 2.
        {"huge height percent", 640, 480, {{kPercentMode}, {kHeightPct, "8947849"}},
         "640 42949675 100 8947849"},
        {"huge width percent", 640, 480, {{kPercentMode}, {kWidthPct, "8947849"}},
         "57266233 480 8947849 100"},
        {"percent past the edit range", 640, 480, {{kPercentMode}, {kHeightPct, "999999999999999999999"}},
         "640 4294967295 100 999999999999999999999"},
        {"huge width with the aspect box", 640, 480, {{kAspect}, {kWidth, "99999999999"}},
         "99999999999 3221306004 671088639 671105417"},
        {"1 x 1 image", 1, 1, {{kAspect}, {kWidth, "65535"}}, "65535 65535 6553500 6553500"},
        // Ratios that are not positive finite numbers leave the other dimension alone.
        {"ratio 0", 640, 480, {{kRatio, "0", true}, {kAspect}, {kWidth, "320"}}, "320 480 50 100"},
        {"ratio -2", 640, 480, {{kRatio, "-2", true}, {kAspect}, {kHeight, "100"}}, "640 100 100 20"},
        {"ratio abc", 640, 480, {{kRatio, "abc", true}, {kAspect}, {kWidth, "320"}}, "320 480 50 100"},
        {"ratio nan", 640, 480, {{kRatio, "nan", true}, {kAspect}, {kWidth, "320"}}, "320 480 50 100"},
        {"ratio inf", 640, 480, {{kRatio, "inf", true}, {kAspect}, {kHeight, "100"}}, "640 100 100 20"},
        {"ratio beyond single precision", 640, 480, {{kRatio, "1e39", true}, {kAspect}, {kWidth, "320"}},
         "320 480 50 100"},
        {"ratio below single precision", 640, 480, {{kRatio, "1e-50", true}, {kAspect}, {kHeight, "10"}},
         "640 10 100 2"},
        {"ratio typed key by key", 640, 480, {{kRatio, "1e39"}}, "640 0 100 100"},  // 1, 1e, 1e3 count
        {"ratio with trailing text", 640, 480, {{kRatio, "4x"}}, "640 160 100 100"},
        {"ratio with a comma reads up to it", 640, 480, {{kRatio, "1,5"}}, "640 640 100 100"},
    };
    // clang-format on
    for (const ResizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        theApp->ExitInstance();
        ASSERT_TRUE(theApp->InitInstance({}));
        COrvikDoc* doc = NewPatternDocument(c.width0, c.height0, kImage8Bit);
        ASSERT_NE(doc, nullptr);
        CResizeImageDlg dialog(doc, Main());
        dialog.show();
        for (const Action& action : c.actions)
            Perform(dialog, action);
        EXPECT_EQ(SizeEdits(dialog), c.expected);
    }
}

TEST_F(DialogsTest, TheDialogsOwnWritesNeverSwallowAKeystroke) {
    // Ticking the box writes 480 into a height edit that already shows 480, so the edit reports no
    // change. The next keystroke must still be handled.
    COrvikDoc* doc = NewPatternDocument(640, 480, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    CResizeImageDlg dialog(doc, Main());
    dialog.show();
    QTest::mouseClick(dialog.m_aspectCheck, Qt::LeftButton, {}, QPoint(8, 8));
    ASSERT_TRUE(dialog.m_aspectCheck->isChecked());
    TypeInto(dialog.m_widthEdit, "3");
    EXPECT_EQ(SizeEdits(dialog), "3 2 0 0");
    // Clearing the box rewrites the unchanged width percentage 0; the height still follows.
    QTest::mouseClick(dialog.m_aspectCheck, Qt::LeftButton, {}, QPoint(8, 8));
    ASSERT_FALSE(dialog.m_aspectCheck->isChecked());
    TypeInto(dialog.m_heightEdit, "9");
    EXPECT_EQ(SizeEdits(dialog), "3 9 0 1");
}

TEST_F(DialogsTest, RatioIsReadTheSameUnderACommaLocale) {
    // Build a German locale, which writes 1,5 for one and a half, and make it the C library's.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString locale = dir.filePath("de_DE.UTF-8");
    if (QProcess::execute("localedef", {"-i", "de_DE", "-f", "UTF-8", locale}) != 0)
        GTEST_SKIP() << "localedef cannot build de_DE here";
    // Back to the locale the test program started with, however the test ends.
    struct LocaleScope {
        std::string saved = std::setlocale(LC_NUMERIC, nullptr);
        ~LocaleScope() {
            std::setlocale(LC_NUMERIC, saved.c_str());
            qunsetenv("LOCPATH");
        }
    } scope;
    qputenv("LOCPATH", dir.path().toLocal8Bit());
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not available";
    ASSERT_EQ(std::strtod("1.5", nullptr), 1.0);  // what a locale-bound conversion would read

    COrvikDoc* doc = NewPatternDocument(640, 480, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    CResizeImageDlg dialog(doc, Main());
    dialog.show();
    EXPECT_EQ(dialog.m_ratioEdit->text(), "1.3333");
    TypeInto(dialog.m_ratioEdit, "1.5");
    EXPECT_EQ(SizeEdits(dialog), "640 426 100 100");
}

TEST_F(DialogsTest, ResizeImageOkUsesThePixelEditsInEitherMode) {
    for (const bool percentMode : {false, true}) {
        SCOPED_TRACE(percentMode);
        COrvikDoc* doc = NewPatternDocument(40, 30, kImage24Bit);
        ASSERT_NE(doc, nullptr);
        OnNextModal<CResizeImageDlg>([percentMode](CResizeImageDlg* dialog) {
            if (percentMode) {
                QTest::mouseClick(dialog->m_percentRadio, Qt::LeftButton, {}, QPoint(8, 8));
                TypeInto(dialog->m_widthPercentEdit, "50");
                TypeInto(dialog->m_heightPercentEdit, "200");
            } else {
                TypeInto(dialog->m_widthEdit, "20");
                TypeInto(dialog->m_heightEdit, "60");
            }
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        Main()->RouteCommand(ID_IMAGE_RESIZE);
        EXPECT_EQ(doc->Width(), 20);
        EXPECT_EQ(doc->Height(), 60);
        EXPECT_TRUE(doc->IsModified());
    }
    // In percent mode a refused size selects the percentage edit, since the pixel edits are off.
    COrvikDoc* doc = NewPatternDocument(40, 30, kImage8Bit);
    ASSERT_NE(doc, nullptr);
    auto checked = std::make_shared<bool>(false);
    OnNextModal<CResizeImageDlg>([checked](CResizeImageDlg* dialog) {
        QTest::mouseClick(dialog->m_percentRadio, Qt::LeftButton, {}, QPoint(8, 8));
        TypeInto(dialog->m_heightPercentEdit, "0");
        auto message = ExpectMessageBox();
        QTest::keyClick(dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->focusWidget(), dialog->m_heightPercentEdit);
        EXPECT_EQ(dialog->m_heightPercentEdit->selectedText(), "0");
        *checked = true;
        dialog->reject();
    });
    Main()->RouteCommand(ID_IMAGE_RESIZE);
    EXPECT_TRUE(*checked);
    EXPECT_EQ(doc->Height(), 30);
}

TEST_F(DialogsTest, DecreaseDepthMarksAndCodes) {
    struct Case {
        std::vector<int> clicks;
        const char* marks;  // median, octree, standard, nearest, ordered, diffusion
        bool orderedEnabled;
        int palette, dither;
    };
    const Case cases[] = {
        {{}, "010100", false, 2, 0},
        {{IDC_STANDARD_PALETTE, IDC_ORDERED_DITHER}, "001010", true, 0, 1},
        {{IDC_STANDARD_PALETTE, IDC_ORDERED_DITHER, IDC_MEDIAN_CUT}, "100100", false, 1, 0},
        {{IDC_STANDARD_PALETTE, IDC_ORDERED_DITHER, IDC_STANDARD_PALETTE}, "001100", true, 0, 0},
        {{IDC_ORDERED_DITHER}, "010100", false, 2, 0},  // disabled: the click does nothing
        {{IDC_ERROR_DIFFUSION, IDC_MEDIAN_CUT}, "100001", false, 1, 2},
        {{IDC_OCTREE, IDC_OCTREE, IDC_ERROR_DIFFUSION, IDC_ERROR_DIFFUSION}, "010001", false, 2, 2},
        {{IDC_STANDARD_PALETTE, IDC_ERROR_DIFFUSION, IDC_OCTREE}, "010001", false, 2, 2},
        {{IDC_STANDARD_PALETTE, IDC_ORDERED_DITHER, IDC_NEAREST_COLOR, IDC_OCTREE}, "010100", false, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        int palette = -1;
        int dither = -1;
        CDecreaseDepthDlg dialog(Main());
        dialog.m_pPaletteMethod = &palette;
        dialog.m_pDitherMethod = &dither;
        dialog.show();
        for (int id : c.clicks)
            QTest::mouseClick(dialog.findChild<QRadioButton*>(QString::number(id)), Qt::LeftButton, {},
                              QPoint(6, 6));
        std::string marks;
        for (QRadioButton* b : {dialog.m_medianCut, dialog.m_octree, dialog.m_standardPalette,
                                dialog.m_nearestColor, dialog.m_orderedDither, dialog.m_errorDiffusion})
            marks += b->isChecked() ? '1' : '0';
        EXPECT_EQ(marks, c.marks);
        EXPECT_EQ(dialog.m_orderedDither->isEnabled(), c.orderedEnabled);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::number(IDOK)), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(palette, c.palette);
        EXPECT_EQ(dither, c.dither);
    }
    // The radio buttons have no tab stops: Tab goes from OK to Cancel, then to the controls after
    // the template's (the count, what to reduce to, the palette file button).
    CDecreaseDepthDlg dialog(Main());
    EXPECT_EQ(TabOrder(dialog.findChild<QPushButton*>("1")),
              (QStringList{"2", "33202", "33203", "33204", "1"}));
    EXPECT_EQ(dialog.windowTitle(), "Decrease Color Depth");
}

TEST_F(DialogsTest, SetupStoresThePercentageAsAFactor) {
    SettingsScope scope;
    g_fTranslucency = 0.63f;
    g_fillStyle = 0;
    // Runs the dialog through Misc. > Option: checks what it shows, types `text` (or nothing) and
    // presses Return or Escape.
    const auto run = [](const char* text, bool ok) {
        auto shown = std::make_shared<QString>();
        OnNextModal<CSetupDlg>([=](CSetupDlg* dialog) {
            *shown = dialog->m_translucentEdit->text();
            EXPECT_EQ(dialog->m_translucentEdit->selectedText(), *shown);
            EXPECT_EQ(dialog->m_fillStyleList->currentText(), "Outlined");
            EXPECT_TRUE(dialog->m_fillStyleList->isEnabled());
            EXPECT_EQ(TabOrder(dialog->m_translucentEdit),
                      (QStringList{"33505", "33506", "1", "2", "1039", "1038"}));
            if (text) TypeInto(dialog->m_translucentEdit, text);
            QTest::keyClick(dialog->m_translucentEdit, ok ? Qt::Key_Return : Qt::Key_Escape);
        });
        Main()->RouteCommand(ID_MISC_OPTION);
        return *shown;
    };
    ASSERT_NE(NewPatternDocument(4, 4, kImage8Bit), nullptr);
    EXPECT_EQ(run(nullptr, true), "63");
    EXPECT_EQ(g_fTranslucency, 0.63f);  // OK without typing leaves the factor
    EXPECT_EQ(run(nullptr, true), "63");
    EXPECT_EQ(g_fTranslucency, 0.63f);
    run("40", true);
    EXPECT_EQ(g_fTranslucency, 40 * 0.01f);  // the float just below 0.4
    EXPECT_LT(g_fTranslucency, 0.4f);
    EXPECT_EQ(run(nullptr, false), "40");
    run("150", true);
    EXPECT_EQ(g_fTranslucency, 1.5f);
    EXPECT_EQ(run(nullptr, true), "150");
    for (const char* text : {"abc", "-5", "4 0", ""}) {
        g_fTranslucency = 0.63f;
        run(text, true);
        EXPECT_EQ(g_fTranslucency, 0.0f) << text;
    }
    run("77", false);  // Cancel leaves both settings
    EXPECT_EQ(g_fTranslucency, 0.0f);
    EXPECT_EQ(g_fillStyle, 0);
    // Every whole percentage comes back as itself.
    for (unsigned n = 0; n <= 1000; ++n) {
        g_fTranslucency = static_cast<float>(n) * 0.01f;
        CSetupDlg dialog(Main());
        ASSERT_EQ(dialog.m_translucentEdit->text(), QString::number(n));
    }
}
