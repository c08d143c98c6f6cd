// Makes the user guide's screenshots: runs Orvik on a real display (scripts/screenshots.sh starts it
// under xvfb-run in a fixed locale), drives the real windows with the same commands and mouse
// events a user gives, and saves the screen after each step into docs/images/.
//
// Usage: guide_screenshots SAMPLE-FOLDER OUTPUT-FOLDER WORK-FOLDER
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>

#include "app/file_dialog.h"
#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "app/translations.h"
#include "colour/color_edit_dlg.h"
#include "colour/color_palette_dlg.h"
#include "dialogs/adjust_colours_dlg.h"
#include "dialogs/canvas_size_dlg.h"
#include "dialogs/decrease_depth_dlg.h"
#include "dialogs/new_image_dlg.h"
#include "dialogs/resize_image_dlg.h"
#include "document/orvik_doc.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

QString g_output;
int g_failures = 0;

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(60);
    }
}

// The whole screen, which the main window fills, with any dialog over it.
void Shot(const QString& name) {
    Settle();
    const QString path = g_output + "/" + name + ".png";
    if (!QGuiApplication::primaryScreen()->grabWindow(0).save(path)) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(path));
        ++g_failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
}

// Runs `handle` on the next modal dialog of type T once it is shown; the handler closes it.
template <class T>
void WhenShown(std::function<void(T*)> handle) {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [handle, timer, poll] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            Settle();
            handle(dialog);
            *poll = nullptr;
        } else if (timer->elapsed() < 10000) {
            QTimer::singleShot(20, *poll);
        } else {
            std::fprintf(stderr, "a dialog did not come: %s\n", T::staticMetaObject.className());
            ++g_failures;
            *poll = nullptr;
        }
    };
    QTimer::singleShot(0, *poll);
}

// Takes the shot of the dialog the command opens, then cancels it.
template <class T>
void ShootDialog(int command, const QString& name) {
    WhenShown<T>([name](T* dialog) {
        Shot(name);
        dialog->reject();
    });
    theApp->m_mainFrame->RouteCommand(command);
}

COrvikDoc* Active() {
    return theApp->GetActiveChildDocument();
}

QWidget* Surface() {
    return Active()->m_pView->viewport();
}

void UseTool(int tool) {
    theApp->m_mainFrame->RouteCommand(tool);
}

void Drag(QPoint from, QPoint to) {
    QTest::mousePress(Surface(), Qt::LeftButton, {}, from);
    for (int i = 1; i <= 8; ++i)
        QTest::mouseMove(Surface(), from + (to - from) * i / 8);
    QTest::mouseRelease(Surface(), Qt::LeftButton, {}, to);
}

void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(Surface(), button, {}, at);
}

// A message box nobody expects is a failure of the run: it is reported and closed, so the run
// goes on.
void WatchForMessages() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "unexpected message: %s\n", qPrintable(box->text()));
            ++g_failures;
            box->accept();
        }
    });
    timer->start(3000);
}

// Types a file name into the file dialog, as a user does.
void TypeFileName(QFileDialog* dialog, const QString& name) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    edit->clear();
    QTest::keyClicks(edit, name);
}

void Run(const QString& samples, const QString& work) {
    CMainFrame* main = theApp->m_mainFrame;
    main->setGeometry(QGuiApplication::primaryScreen()->geometry());
    const QString pictures = work + "/Pictures";
    QDir().mkpath(pictures);
    QFile::copy(samples + "/sample.bmp", pictures + "/harbour.bmp");
    QFile::copy(samples + "/sample24.bmp", pictures + "/evening.bmp");
    theApp->m_startDir = pictures;
    Shot("start");

    // New, Open and the picture in its window.
    ShootDialog<CNewImageDlg>(ID_FILE_NEW, "new-image");
    WhenShown<COrvikFileDialog>([&](COrvikFileDialog* dialog) {
        TypeFileName(dialog, "harbour.bmp");
        Shot("open");
        dialog->accept();
    });
    main->RouteCommand(ID_FILE_OPEN);
    Shot("window");

    // The tools, each used once on the picture.
    main->m_wndPaletteDlg->m_foreIndex = 0;
    UseTool(ID_TOOL_BRUSH);
    Drag(QPoint(40, 200), QPoint(120, 240));
    Shot("tool-brush");
    main->m_wndPaletteDlg->m_foreIndex = 215;
    UseTool(ID_TOOL_LINE);
    Drag(QPoint(30, 30), QPoint(200, 90));
    Shot("tool-line");
    UseTool(ID_TOOL_RECT);
    Drag(QPoint(220, 40), QPoint(330, 120));
    Shot("tool-rect");
    main->m_wndPaletteDlg->m_foreIndex = 30;
    UseTool(ID_TOOL_FILL);
    Click(QPoint(275, 80));
    Shot("tool-fill");
    // The fill taken back, with the Edit menu open to show Undo and Redo; then done again.
    main->RouteCommand(ID_EDIT_UNDO);
    main->UpdateCommandUI();
    QAction* editMenu = main->menuBar()->actions().value(1);
    main->menuBar()->setActiveAction(editMenu);
    Shot("undo");
    editMenu->menu()->hide();
    main->RouteCommand(ID_EDIT_REDO);
    UseTool(ID_TOOL_SELECT);
    Drag(QPoint(210, 30), QPoint(340, 130));
    Drag(QPoint(260, 80), QPoint(200, 170));
    Shot("tool-select");
    Click(QPoint(20, 270));  // a click outside drops the selection where it is
    UseTool(ID_TOOL_ZOOM);
    Click(QPoint(100, 100));
    Shot("zoom");
    Click(QPoint(100, 100), Qt::RightButton);

    // The palette and the colour dialog.
    WhenShown<CColorEditDlg>([](CColorEditDlg* dialog) {
        Shot("colour-dialog");
        dialog->reject();
    });
    main->m_wndPaletteDlg->EditEntry(30);

    // The clipboard: copy a selection and paste it as a new picture.
    UseTool(ID_TOOL_SELECT);
    Drag(QPoint(150, 100), QPoint(300, 220));
    main->RouteCommand(ID_EDIT_COPY);
    main->RouteCommand(ID_EDIT_PASTE);
    Shot("clipboard");
    Active()->SetModifiedFlag(false);
    main->RouteCommand(ID_FILE_CLOSE);

    // Resizing, and saving as PNG.
    ShootDialog<CCanvasSizeDlg>(ID_IMAGE_CANVAS, "canvas-size");
    ShootDialog<CResizeImageDlg>(ID_IMAGE_RESIZE, "resize-image");
    WhenShown<COrvikFileDialog>([&](COrvikFileDialog* dialog) {
        dialog->selectNameFilter(dialog->nameFilters().value(3));
        TypeFileName(dialog, "harbour-painted");
        Shot("save-as");
        dialog->accept();
    });
    main->RouteCommand(ID_FILE_SAVE_AS);
    Active()->SetModifiedFlag(false);

    // Colour reduction of a 24-bit picture.
    theApp->OpenDocumentFile(pictures + "/evening.bmp");
    WhenShown<CDecreaseDepthDlg>([](CDecreaseDepthDlg* dialog) {
        dialog->m_medianCut->click();
        dialog->m_errorDiffusion->click();
        dialog->m_colourCount->setValue(32);
        QElapsedTimer timer;
        timer.start();
        while (dialog->Busy() && timer.elapsed() < 20000)
            QTest::qWait(20);
        Shot("reduce-colours");
        dialog->accept();
    });
    main->RouteCommand(ID_COLORS_DECREASE);
    Shot("reduced");

    // Brightness / Contrast, shown on the picture while the dialog is open.
    WhenShown<CAdjustColoursDlg>([](CAdjustColoursDlg* dialog) {
        dialog->m_first->setValue(25);
        dialog->m_second->setValue(30);
        Shot("brightness-contrast");
        dialog->reject();
    });
    main->RouteCommand(ID_COLORS_BRIGHTNESS_CONTRAST);

    // A picture larger than the window, enlarged four times and then seen whole.
    WhenShown<CResizeImageDlg>([](CResizeImageDlg* dialog) {
        dialog->m_percentRadio->click();
        dialog->m_widthPercentEdit->setText(QStringLiteral("400"));
        dialog->m_heightPercentEdit->setText(QStringLiteral("400"));
        dialog->accept();
    });
    main->RouteCommand(ID_IMAGE_RESIZE);
    main->RouteCommand(ID_VIEW_FIT_WINDOW);
    Shot("zoom-out");
    for (COrvikDoc* doc : theApp->Documents())
        doc->SetModifiedFlag(false);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("Usage: guide_screenshots SAMPLE-FOLDER OUTPUT-FOLDER WORK-FOLDER\n", stderr);
        return 2;
    }
    COrvikApp app(argc, argv);
    InstallTranslations(ChooseUiLanguages({}, QLocale::system().uiLanguages()));
    g_output = QString::fromLocal8Bit(argv[2]);
    if (!app.InitInstance({})) return 1;
    WatchForMessages();
    Run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[3]));
    app.ExitInstance();
    return g_failures == 0 ? 0 : 1;
}
