// The program as the recovery tests run it in a process of their own: Orvik started as main() does,
// on the platform and with the folders the parent gives it, worked through as a user would; it
// reports on its standard output. The parent ends it with SIGKILL or lets it exit.
//   recovery_child paint FILE DUMP  opens FILE, paints, edits a palette entry and zooms in, waits for
//                                   the recovery write, writes the document to DUMP, says "written"
//                                   and runs until it is killed
//   recovery_child start DUMP       recovers whatever it is offered at start, writes the last
//                                   document to DUMP, says "offered N" and exits
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "app/recovery.h"
#include "colour/color_palette_dlg.h"
#include "dialogs/recovery_dlg.h"
#include "document/orvik_doc.h"
#include "recovery_dump.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

void Say(const QString& text) {
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

// Runs `handle` with the recovery dialog once it is shown; false when none came within `ms`.
bool HandleRecoveryDialog(int ms, const std::function<void(CRecoveryDlg*)>& handle) {
    QElapsedTimer timer;
    timer.start();
    bool shown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<CRecoveryDlg*>(QApplication::activeModalWidget())) {
            shown = true;
            handle(dialog);
        }
    });
    poll.start(10);
    while (!shown && timer.elapsed() < ms)
        QTest::qWait(10);
    return shown;
}

int Paint(const QString& file, const QString& dump) {
    if (!theApp->InitInstance({file})) return 1;
    COrvikDoc* doc = theApp->GetActiveChildDocument();
    QSignalSpy written(theApp->Recovery(), &CRecoveryManager::Written);
    QWidget* surface = doc->m_pView->viewport();
    theApp->m_mainFrame->m_wndPaletteDlg->m_foreIndex = 9;
    // The picture sits in the middle of the view, `margin` from its corner.
    const QPoint margin = doc->m_pView->Margin();
    QTest::mousePress(surface, Qt::LeftButton, {}, margin + QPoint(2, 3));
    for (const QPoint p : {QPoint(20, 3), QPoint(20, 15), QPoint(4, 12)})
        QTest::mouseMove(surface, margin + p);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, margin + QPoint(4, 12));
    theApp->m_mainFrame->m_wndPaletteDlg->SetEntry(7, 1, 2, 3);
    theApp->m_mainFrame->RouteCommand(ID_VIEW_ZOOM_IN);
    if (!written.wait(10000) || !written.first().at(0).toBool()) return 1;
    if (!WriteDump(doc, dump)) return 1;
    Say("written");
    return COrvikApp::exec();
}

int Start(const QString& dump) {
    if (!theApp->InitInstance({})) return 1;
    int offered = 0;
    HandleRecoveryDialog(2000, [&](CRecoveryDlg* dialog) {
        offered = dialog->m_list->topLevelItemCount();
        QTest::mouseClick(dialog->m_recoverButton, Qt::LeftButton);
    });
    QTest::qWait(50);
    if (!theApp->Documents().empty() && !WriteDump(theApp->Documents().back(), dump)) return 1;
    Say(QStringLiteral("offered %1").arg(offered));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    COrvikApp app(argc, argv);
    QSettings().setValue("Settings/RecoverySeconds", 1);
    const QStringList args = QCoreApplication::arguments();
    const QString mode = args.value(1);
    if (mode == "paint") return Paint(args.value(2), args.value(3));
    if (mode == "start") return Start(args.value(2));
    return 2;
}
