#include "app/orvik_app.h"

#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLocale>
#include <QMdiArea>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrinter>
#include <QSettings>
#include <QTimer>

#include <signal.h>
#include <unistd.h>

#include <algorithm>

#include "app/about_dlg.h"
#include "app/child_frame.h"
#include "app/file_dialog.h"
#include "app/guide_window.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/recovery.h"
#include "document/orvik_doc.h"
#include "document/recovery_file.h"
#include "document/zoom_level.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

constexpr uint64_t kMiB = uint64_t{1} << 20;
constexpr qlonglong kLeastUndoMiB = 16;

// The undo budget: "Settings/UndoMemoryMiB" when it holds a number of MiB from 16 to the size of
// the physical memory, the nearer of those when it holds a number outside them, otherwise the
// smaller of 512 MiB and a quarter of the physical memory. A setting that was not taken as it is
// leaves a message in `problem`.
uint64_t UndoBudgetSetting(const QSettings& settings, QString* problem) {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageBytes = sysconf(_SC_PAGESIZE);
    const uint64_t physical = pages > 0 && pageBytes > 0 ? uint64_t(pages) * uint64_t(pageBytes) : 0;
    const qlonglong mostMiB = physical > 0 ? qlonglong(physical / kMiB) : qlonglong{1} << 20;
    const uint64_t fallback = physical > 0 ? std::min(512 * kMiB, physical / 4) : 512 * kMiB;

    const QVariant value = settings.value(QStringLiteral("Settings/UndoMemoryMiB"));
    if (!value.isValid()) return fallback;
    bool ok = false;
    const qlonglong mib = value.toLongLong(&ok);
    const uint64_t budget = !ok ? fallback : uint64_t(std::clamp(mib, kLeastUndoMiB, mostMiB)) * kMiB;
    if (!ok || mib < kLeastUndoMiB || mib > mostMiB)
        *problem = COrvikApp::tr(
                       "The setting UndoMemoryMiB=%1 in %2 is not a number of MiB from %3 to %4; "
                       "the undo history uses %5 MiB.")
                       .arg(value.toString(), settings.fileName())
                       .arg(kLeastUndoMiB)
                       .arg(mostMiB)
                       .arg(budget / kMiB);
    return budget;
}

}  // namespace

COrvikApp* theApp = nullptr;
COrvikDoc* g_activeDoc = nullptr;
CChildFrame* g_lastChildFrame = nullptr;
int g_pasteAsNew = 0;

COrvikApp::COrvikApp(int& argc, char** argv) : QApplication(argc, argv), m_startDir(QDir::currentPath()) {
    theApp = this;
    // A file size limit makes a write fail (and say so) instead of ending the program.
    signal(SIGXFSZ, SIG_IGN);
    // The icons, cursors and translations live in the program's static library.
    Q_INIT_RESOURCE(orvik);
    Q_INIT_RESOURCE(orvik_translations);
    setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    setApplicationName(QStringLiteral("Orvik"));
    setApplicationVersion(QStringLiteral("0.2"));
    setDesktopFileName(QStringLiteral("orvik"));  // the launcher, for desktops that match windows to it
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/orvik.png").arg(size));
    setWindowIcon(icon);

    OnCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
    OnCommand(ID_HELP_GUIDE, [this] { OnHelpGuide(); });
    OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommandRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, [this](int id) { OnOpenRecentFile(id); });
    OnCommand(ID_EDIT_PASTE, [this] { OnPasteAsNewImage(); });
    OnUpdate(ID_VIEW_COLOR_PALETTE, [this](CCmdUI& ui) {
        ui.Enable();
        ui.SetCheck(m_mainFrame && !m_mainFrame->m_wndColorBar->isHidden());
    });
    OnCommand(ID_VIEW_COLOR_PALETTE, [this] {
        QDockWidget* bar = m_mainFrame->m_wndColorBar;
        bar->setVisible(bar->isHidden());
    });
    OnCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    OnCommand(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
}

COrvikApp::~COrvikApp() {
    ExitInstance();
    theApp = nullptr;
}

bool COrvikApp::InitInstance(const QStringList& files) {
    QSettings settings;
    settings.beginGroup(QStringLiteral("Recent File List"));
    m_recentFiles.clear();
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty()) m_recentFiles.append(path);
    }
    settings.endGroup();
    QString budgetProblem;
    m_undoBudget.SetLimit(UndoBudgetSetting(settings, &budgetProblem));

    m_nCmdShow = 1;
    m_nUntitledCount = 0;
    m_recovery = std::make_unique<CRecoveryManager>();
    m_mainFrame = new CMainFrame;  // restores its placement into m_nCmdShow
    m_mainFrame->UpdateRecentFileMenu();

    // Each file opens in a window of its own; one that fails has said why and the others still open.
    // Start-up ends only when files were named and none of them opened.
    int opened = 0;
    for (const QString& file : files) {
        if (OpenDocumentFile(file)) ++opened;
    }
    if (!files.isEmpty() && opened == 0) return false;

    switch (m_nCmdShow) {
        case 2:
            m_mainFrame->showMinimized();
            break;
        case 3:
            m_mainFrame->showMaximized();
            break;
        default:
            m_mainFrame->show();
            break;
    }
    m_mainFrame->UpdateCommandUI();
    if (!budgetProblem.isEmpty()) OrvikMessage(budgetProblem);
    QTimer::singleShot(0, m_recovery.get(), &CRecoveryManager::OfferRecovery);
    return true;
}

void COrvikApp::ExitInstance() {
    if (!m_mainFrame) return;
    while (!m_documents.empty())
        DestroyDocument(m_documents.back());
    m_recovery.reset();
    delete m_mainFrame;
    m_mainFrame = nullptr;
    g_activeDoc = nullptr;
    g_lastChildFrame = nullptr;
}

COrvikDoc* COrvikApp::GetActiveChildDocument() const {
    if (!m_mainFrame) return nullptr;
    CChildFrame* frame = m_mainFrame->ActiveChildFrame();
    return frame ? frame->GetActiveDocument() : nullptr;
}

COrvikDoc* COrvikApp::CreateDocument() {
    auto* doc = new COrvikDoc;
    m_documents.push_back(doc);
    auto* frame = new CChildFrame(doc, m_mainFrame);
    m_mainFrame->m_mdiArea->addSubWindow(frame);
    frame->hide();
    return doc;
}

void COrvikApp::DestroyDocument(COrvikDoc* doc) {
    // A window that was closed but not yet deleted by the event loop is no longer one of the
    // workspace's windows, yet it still holds its document and its views look at it.
    for (CChildFrame* frame : m_mainFrame->findChildren<CChildFrame*>()) {
        if (frame->GetActiveDocument() == doc) {
            delete frame;  // takes the document with it
            return;
        }
    }
    RemoveDocument(doc);
    delete doc;
}

void COrvikApp::DiscardDocument(COrvikDoc* doc, QMdiSubWindow* active) {
    DestroyDocument(doc);
    // The window that was active before stays so, whichever the window system picked meanwhile.
    if (active && m_mainFrame->m_mdiArea->currentSubWindow() != active)
        m_mainFrame->m_mdiArea->setActiveSubWindow(active);
}

void COrvikApp::RemoveDocument(COrvikDoc* doc) {
    m_documents.erase(std::remove(m_documents.begin(), m_documents.end(), doc), m_documents.end());
    if (g_lastChildFrame && g_lastChildFrame->GetActiveDocument() == doc) g_lastChildFrame = nullptr;
    if (m_mainFrame) m_mainFrame->OnDocumentsChanged();
}

void COrvikApp::ShowDocument(COrvikDoc* doc) {
    CChildFrame* frame = doc->m_pChildFrame;
    frame->show();
    m_mainFrame->m_mdiArea->setActiveSubWindow(frame);
    frame->ActivateEditingView();
    m_mainFrame->OnDocumentsChanged();
}

COrvikDoc* COrvikApp::OpenDocumentFile(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    for (COrvikDoc* doc : m_documents) {
        if (!doc->GetPathName().isEmpty() && QFileInfo(doc->GetPathName()) == QFileInfo(full)) {
            m_mainFrame->m_mdiArea->setActiveSubWindow(doc->m_pChildFrame);
            return doc;
        }
    }
    const QPointer<QMdiSubWindow> active = m_mainFrame->m_mdiArea->currentSubWindow();
    COrvikDoc* doc = CreateDocument();
    if (!doc->OnOpenDocument(full)) {
        DiscardDocument(doc, active);
        return nullptr;
    }
    doc->SetPathName(full);
    doc->m_pChildFrame->m_bOpenWhole = true;
    ShowDocument(doc);
    return doc;
}

COrvikDoc* COrvikApp::OpenRecoveredDocument(RecoveryImage& recovered) {
    const QPointer<QMdiSubWindow> active = m_mainFrame->m_mdiArea->currentSubWindow();
    COrvikDoc* doc = CreateDocument();
    if (!doc->OnRecoverDocument(recovered)) {
        DiscardDocument(doc, active);
        return nullptr;
    }
    if (recovered.path.empty())
        doc->SetTitle(QStringLiteral("Orvik%1").arg(++m_nUntitledCount));
    else
        doc->SetPathName(QString::fromStdString(recovered.path), false);
    ShowDocument(doc);
    const ZoomLevel level{recovered.zoom, recovered.shrink};
    if (ZoomLevelIndex(level) >= 0) doc->m_pView->ZoomTo(level);
    return doc;
}

COrvikDoc* COrvikApp::OnFileNew() {
    const QPointer<QMdiSubWindow> active = m_mainFrame->m_mdiArea->currentSubWindow();
    COrvikDoc* doc = CreateDocument();
    if (!doc->OnNewDocument()) {
        DiscardDocument(doc, active);
        return nullptr;
    }
    doc->SetTitle(QStringLiteral("Orvik%1").arg(++m_nUntitledCount));
    ShowDocument(doc);
    return doc;
}

void COrvikApp::OnFileOpen() {
    const QString path = COrvikFileDialog::GetOpenFileName(m_startDir);
    if (!path.isEmpty()) OpenDocumentFile(path);
}

namespace {

const char kLastSaveFolderKey[] = "Settings/LastSaveFolder";

}  // namespace

QString COrvikApp::LastSaveFolder() const {
    const QString folder = QSettings().value(QLatin1String(kLastSaveFolderKey)).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : m_startDir;
}

void COrvikApp::SetLastSaveFolder(const QString& folder) {
    QSettings().setValue(QLatin1String(kLastSaveFolderKey), folder);
}

void COrvikApp::OnOpenRecentFile(int id) {
    const int index = id - ID_FILE_MRU_FILE1;
    if (index < 0 || index >= m_recentFiles.size()) return;
    const QString path = m_recentFiles.at(index);
    if (!OpenDocumentFile(path)) RemoveFromRecentFileList(path);
}

void COrvikApp::OnPasteAsNewImage() {
    if (!COrvikDoc::ClipboardHasImage()) return;
    // The new document's new-document step takes the picture instead of asking for a size.
    g_pasteAsNew = 1;
    OnFileNew();
}

void COrvikApp::OnAppAbout() {
    CAboutDlg dialog(m_mainFrame);
    dialog.exec();
}

void COrvikApp::OnHelpGuide() {
    if (!m_guide) {
        const QString file = CGuideWindow::GuideFile(QLocale().uiLanguages());
        if (file.isEmpty()) {
            OrvikMessage(tr("The user guide is not installed."));
            return;
        }
        m_guide = new CGuideWindow(m_mainFrame);
        m_guide->Load(file);
    }
    m_guide->show();
    m_guide->raise();
    m_guide->activateWindow();
}

QPrinter* COrvikApp::Printer() {
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void COrvikApp::OnFilePrintSetup() {
    QPageSetupDialog dialog(Printer(), m_mainFrame);
    dialog.exec();
}

void COrvikApp::AddToRecentFileList(const QString& path) {
    m_recentFiles.removeAll(path);
    m_recentFiles.prepend(path);
    while (m_recentFiles.size() > kRecentFiles)
        m_recentFiles.removeLast();
    SaveRecentFileList();
}

void COrvikApp::RemoveFromRecentFileList(const QString& path) {
    m_recentFiles.removeAll(path);
    SaveRecentFileList();
}

void COrvikApp::SaveRecentFileList() const {
    QSettings settings;
    settings.beginGroup(QStringLiteral("Recent File List"));
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_recentFiles.size())
            settings.setValue(key, m_recentFiles.at(i - 1));
        else
            settings.remove(key);
    }
    settings.endGroup();
    if (m_mainFrame) m_mainFrame->UpdateRecentFileMenu();
}
