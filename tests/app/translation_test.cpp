// The program in English and on a Korean desktop: which language a desktop gets, the --lang
// option, and every text of the menus, bars, dialogs and messages once a translation is installed.
#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSet>
#include <QTranslator>
#include <QXmlStreamReader>

#include <memory>

#include "app/about_dlg.h"
#include "app/child_frame.h"
#include "app/file_dialog.h"
#include "app/translations.h"
#include "colour/color_edit_dlg.h"
#include "colour/color_palette_dlg.h"
#include "dialogs/canvas_size_dlg.h"
#include "dialogs/decrease_depth_dlg.h"
#include "dialogs/new_image_dlg.h"
#include "dialogs/resize_image_dlg.h"
#include "dialogs/setup_dlg.h"
#include "document/orvik_doc.h"
#include "gui_test.h"
#include "res/resource.h"

namespace {

bool HasHangul(const QString& text) {
    static const QRegularExpression hangul(
        QStringLiteral("[\\x{1100}-\\x{11FF}\\x{3130}-\\x{318F}\\x{AC00}-\\x{D7AF}]"));
    return text.contains(hangul);
}

// Runs `body` with the messages locale and the desktop languages set as given.
void WithLocale(const char* lcAll, const char* lang, const std::function<void()>& body) {
    const QByteArray oldAll = qgetenv("LC_ALL"), oldMessages = qgetenv("LC_MESSAGES"),
                     oldLang = qgetenv("LANG");
    qunsetenv("LC_MESSAGES");
    lcAll ? qputenv("LC_ALL", lcAll) : qunsetenv("LC_ALL");
    lang ? qputenv("LANG", lang) : qunsetenv("LANG");
    body();
    qputenv("LC_ALL", oldAll);
    qputenv("LC_MESSAGES", oldMessages);
    qputenv("LANG", oldLang);
}

class TranslationTest : public GuiTest {
protected:
    // Starts the main frame again with English installed, so every text is made afresh.
    void SetUp() override {
        InstallTranslations({QStringLiteral("en"), QString()});
        GuiTest::SetUp();
    }
    void TearDown() override {
        GuiTest::TearDown();
        InstallTranslations({});
    }

    // Every text a dialog shows: its caption, labels, buttons, group titles and list items.
    static void ExpectEnglish(QDialog* dialog) {
        dialog->show();
        ProcessEvents();
        const QString name = QString::fromLatin1(dialog->metaObject()->className());
        EXPECT_FALSE(dialog->windowTitle().isEmpty() && !qobject_cast<CAboutDlg*>(dialog))
            << name.toStdString();
        EXPECT_FALSE(HasHangul(dialog->windowTitle())) << name.toStdString();
        QStringList texts;
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            QString text;
            if (auto* label = qobject_cast<QLabel*>(w)) {
                if (label->pixmap().isNull()) text = label->text();
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                if (button->icon().isNull()) text = button->text();
            } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
                text = group->title();
            } else if (auto* list = qobject_cast<QComboBox*>(w)) {
                for (int i = 0; i < list->count(); ++i)
                    texts << list->itemText(i);
                continue;
            } else {
                continue;
            }
            if (!w->isVisibleTo(dialog)) continue;
            texts << text;
            // Widths made for the program's own texts still hold the English ones.
            EXPECT_GE(w->width(), w->sizeHint().width()) << name.toStdString() << ": " << text.toStdString();
        }
        for (const QString& text : texts)
            EXPECT_FALSE(HasHangul(text)) << name.toStdString() << ": " << text.toStdString();
        dialog->hide();
    }
};

}  // namespace

TEST(TranslationChoice, TheDesktopsLanguageOrTheOptionDecides) {
    const UiLanguages none{};
    const UiLanguages english{"en", ""};
    const UiLanguages korean{"ko", "ko"};
    const auto same = [](const UiLanguages& a, const UiLanguages& b) {
        return a.program == b.program && a.qt == b.qt;
    };
    // The C and POSIX locales show the program's own texts, whatever the preferred languages say.
    for (const char* plain : {"C", "C.UTF-8", "POSIX"}) {
        WithLocale(nullptr, plain, [&] {
            EXPECT_TRUE(same(ChooseUiLanguages("", {"de", "en"}), none)) << plain;
        });
        WithLocale(plain, "de_DE.UTF-8",
                   [&] { EXPECT_TRUE(same(ChooseUiLanguages("", {"de"}), none)) << plain; });
    }
    WithLocale(nullptr, nullptr, [&] { EXPECT_TRUE(same(ChooseUiLanguages("", {"fr"}), none)); });
    WithLocale(nullptr, "de_DE.UTF-8", [&] {
        // A Korean desktop: the program's own texts and the Korean of the later ones, and Qt's
        // dialogs in Korean.
        EXPECT_TRUE(same(ChooseUiLanguages("", {"ko-KR", "ko"}), korean));
        // Any other language: its translation if there is one, else English.
        EXPECT_TRUE(same(ChooseUiLanguages("", {"de-DE", "de"}), english));
        EXPECT_TRUE(same(ChooseUiLanguages("", {"en-GB"}), UiLanguages{"en", "en"}));
        EXPECT_TRUE(same(ChooseUiLanguages("", {"fr", "ko"}), korean));
        // The option overrides the desktop.
        EXPECT_TRUE(same(ChooseUiLanguages("ko", {"de"}), korean));
        EXPECT_TRUE(same(ChooseUiLanguages("C", {"de"}), none));
    });
    WithLocale(nullptr, "C", [&] {
        EXPECT_TRUE(same(ChooseUiLanguages("en_US", {"C"}), UiLanguages{"en", "en"}));
    });
    EXPECT_TRUE(ProgramTranslations().contains("en"));
    EXPECT_TRUE(ProgramTranslations().contains("ko"));
}

// English replaces every text; Korean keeps the texts that are Korean or were the program's from
// the start, and gives Korean to the English ones added since.
TEST(TranslationChoice, EveryTranslationKeepsItsPlaceholdersAndKeys) {
    static const QRegularExpression placeholder(QStringLiteral("%\\d"));
    const auto placeholders = [](const QString& text) {
        QStringList found;
        for (const auto& match : placeholder.globalMatch(text))
            found << match.captured();
        found.sort();
        return found;
    };
    for (const QString language : {"en", "ko"}) {
        QTranslator translator;
        ASSERT_TRUE(translator.load(":/translations/orvik_" + language + ".qm"));
        QFile ts(ORVIK_SOURCE_DIR "/translations/orvik_" + language + ".ts");
        ASSERT_TRUE(ts.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&ts);
        QString context;
        int count = 0, kept = 0;
        while (!xml.atEnd()) {
            if (!xml.readNextStartElement()) continue;
            if (xml.name() == QLatin1String("name")) context = xml.readElementText();
            if (xml.name() != QLatin1String("source")) continue;
            const QString source = xml.readElementText();
            const QString text = translator.translate(context.toUtf8(), source.toUtf8());
            const std::string where = language.toStdString() + ": " + source.toStdString();
            ++count;
            // A kept text may have gained an access key.
            const auto bare = [](QString t) { return t.remove(QRegularExpression("&(?=[^&])")); };
            kept += bare(text) == bare(source);
            EXPECT_FALSE(text.isEmpty()) << where;
            EXPECT_EQ(HasHangul(text), language == "ko" && (HasHangul(source) || bare(text) != bare(source)))
                << where;
            EXPECT_EQ(placeholders(text), placeholders(source)) << where;
            // The keys after the tab stay the program's keys.
            EXPECT_EQ(text.section('\t', 1), source.section('\t', 1)) << where;
        }
        EXPECT_GT(count, 150) << language.toStdString();
        if (language == "ko") {
            EXPECT_GT(kept, 120);
        }
    }
}

// On a Korean desktop the menus keep the program's own texts, Korean or English, and the messages
// added since speak Korean.
class KoreanTest : public GuiTest {
protected:
    void SetUp() override {
        InstallTranslations({QStringLiteral("ko"), QString()});
        GuiTest::SetUp();
    }
    void TearDown() override {
        GuiTest::TearDown();
        InstallTranslations({});
    }
};

TEST_F(KoreanTest, KeepsTheProgramsTextsAndTranslatesTheLaterOnes) {
    EXPECT_EQ(Main()->Action(ID_FILE_NEW)->text(), "새 파일(&N)\tCtrl+N");
    EXPECT_EQ(Main()->Action(ID_IMAGE_CANVAS)->text(), "Resize Ca&nvas");
    EXPECT_TRUE(HasHangul(Main()->Action(ID_VIEW_ZOOM_IN)->text()));
    const auto message = ExpectMessageBox();
    EXPECT_EQ(theApp->OpenDocumentFile("/nonexistent/picture.xyz"), nullptr);
    EXPECT_TRUE(HasHangul(*message)) << message->toStdString();
}

TEST_F(TranslationTest, MenusBarsAndDialogsAreInEnglish) {
    // Both menu bars, every item and submenu, the tool tips and status prompts.
    COrvikDoc* doc = NewImage("40", "30", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    QList<QAction*> actions = Main()->findChildren<QAction*>();
    for (QMenu* menu : Main()->findChildren<QMenu*>())
        actions << menu->menuAction();
    int checked = 0;
    for (QAction* action : actions) {
        for (const QString& text : {action->text(), action->statusTip(), action->toolTip()}) {
            EXPECT_FALSE(HasHangul(text)) << text.toStdString();
            ++checked;
        }
    }
    EXPECT_GT(checked, 100);
    EXPECT_EQ(Main()->Action(ID_FILE_NEW)->text(), "&New\tCtrl+N");
    EXPECT_EQ(Main()->Action(ID_FILE_NEW)->statusTip(), "Create a new document");
    EXPECT_EQ(Main()->PaneText(2), "Image: 40 x 30 x 16 Million");
    for (QLabel* pane : {Main()->Pane(0), Main()->Pane(2)})
        EXPECT_GE(pane->width(), pane->sizeHint().width()) << pane->text().toStdString();

    // The dialogs, each as it opens.
    CNewImageDlg newImage(doc, Main());
    CCanvasSizeDlg canvas(doc, Main());
    CResizeImageDlg resize(doc, Main());
    CDecreaseDepthDlg depth(Main());
    CSetupDlg setup(Main());
    CAboutDlg about(Main());
    CColorEditDlg colour(Main()->m_wndPaletteDlg, Main());
    colour.OnInitDialog();
    COrvikFileDialog save(false, QString(), Main());
    for (QDialog* dialog :
         std::initializer_list<QDialog*>{&newImage, &canvas, &resize, &depth, &setup, &about, &colour})
        ExpectEnglish(dialog);
    EXPECT_EQ(newImage.findChild<QGroupBox*>()->title(), "Image Dimensions");
    EXPECT_FALSE(save.nameFilters().filter("JPEG Files").isEmpty());

    // Messages, and the question about saving.
    const auto message = ExpectMessageBox();
    EXPECT_EQ(theApp->OpenDocumentFile("/nonexistent/picture.xyz"), nullptr);
    EXPECT_TRUE(message->startsWith("Cannot open")) << message->toStdString();
    auto question = std::make_shared<QString>();
    OnNextModal<QMessageBox>([question](QMessageBox* box) {
        *question = box->text();
        box->button(QMessageBox::No)->click();
    });
    doc->SetModifiedFlag();
    doc->m_pChildFrame->close();
    ProcessEvents();
    EXPECT_EQ(*question, "Save the changes to Orvik1 [1:1]?");
}

// Every item of every menu, with and without a picture, has an access key of its own within its
// menu, and so do the menus within the bar, in English and in Korean.
class AccessKeyTest : public GuiTest, public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        InstallTranslations({QString::fromLatin1(GetParam()), QString()});
        GuiTest::SetUp();
    }
    void TearDown() override {
        GuiTest::TearDown();
        InstallTranslations({});
    }
    // The items of `actions` without an access key, or with one another item of theirs has, and
    // the same within their submenus, added to `faults`.
    static void Check(const QList<QAction*>& actions, const QString& where, QStringList& faults) {
        QSet<QChar> keys;
        for (QAction* action : actions) {
            if (action->isSeparator() || action->text().isEmpty()) continue;
            const QString text = action->text();
            const QRegularExpressionMatch key = QRegularExpression("&([^&])").match(text);
            if (!key.hasMatch())
                faults << where + ": no key: " + text;
            else if (const QChar letter = key.captured(1).at(0).toUpper(); keys.contains(letter))
                faults << where + ": the key of another item: " + text;
            else
                keys.insert(letter);
            if (QMenu* menu = action->menu()) Check(menu->actions(), where + " > " + text, faults);
        }
    }
};

TEST_P(AccessKeyTest, EveryMenuItemHasAKeyOfItsOwn) {
    QStringList faults;
    Check(Main()->menuBar()->actions(), "no picture", faults);
    COrvikDoc* doc = NewImage("40", "30", kImage24Bit);
    ASSERT_NE(doc, nullptr);
    const QList<QAction*> bar = Main()->menuBar()->actions();
    for (QAction* menu : bar)
        if (menu->menu()) emit menu->menu()->aboutToShow();  // the Window menu lists the windows
    Check(bar, "a picture", faults);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
    EXPECT_GT(bar.size(), 8);
    // A prompt of the item's own text shows without the key.
    EXPECT_EQ(Main()->Action(ID_TOOL_BRUSH)->statusTip(), "Paint Brush");
    EXPECT_EQ(Main()->Action(ID_TOOL_BRUSH)->toolTip(), "Paint Brush (B)");
}

INSTANTIATE_TEST_SUITE_P(Languages, AccessKeyTest, testing::Values("en", "ko"));
