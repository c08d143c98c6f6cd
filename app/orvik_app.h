// The application: start-up, the documents and their windows, the recent files, and the commands
// that need no document (New, Open, the recent files, Paste As New Image, About, Print Setup, the
// Colors bar toggle).
#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "app/command_target.h"
#include "document/undo_history.h"

class CChildFrame;
class CGuideWindow;
class CMainFrame;
class COrvikDoc;
class CRecoveryManager;
struct RecoveryImage;
class QMdiSubWindow;
class QPrinter;

extern CChildFrame* g_lastChildFrame;  // the most recently created child frame
extern int g_pasteAsNew;               // the next new document takes the clipboard image

class COrvikApp : public QApplication, public CCommandTarget {
    Q_OBJECT

public:
    COrvikApp(int& argc, char** argv);
    ~COrvikApp() override;

    // Start-up: settings, recent files, the main frame, the files named on the command line (if
    // any), then the main frame is shown and, once the program runs, work a crash left unsaved is
    // offered. False when the program must end: files were named and none of them opened.
    bool InitInstance(const QStringList& files);
    // Closes every document without asking (their recovery files go) and destroys the main frame.
    void ExitInstance();

    // The document of the active document window, or null.
    COrvikDoc* GetActiveChildDocument() const;
    // Activates the document already open with this path, or opens it in a new window.
    COrvikDoc* OpenDocumentFile(const QString& path);
    // Opens a recovery file's image as a modified document with the file's path (a new untitled
    // one when it had none) and zoom; null (after a message) when it could not be made.
    COrvikDoc* OpenRecoveredDocument(RecoveryImage& recovered);
    // Runs File > New; the new document, or null when it was not made.
    COrvikDoc* OnFileNew();
    void OnFileOpen();
    void OnOpenRecentFile(int id);
    // A new document holding the clipboard's picture; nothing when the clipboard offers none.
    void OnPasteAsNewImage();
    void OnAppAbout();
    // Help > User Guide: the guide's window, made when first asked for.
    void OnHelpGuide();
    void OnFilePrintSetup();

    const std::vector<COrvikDoc*>& Documents() const { return m_documents; }
    // Called by a child frame when it goes away with its document.
    void RemoveDocument(COrvikDoc* doc);

    void AddToRecentFileList(const QString& path);
    const QStringList& RecentFiles() const { return m_recentFiles; }

    QPrinter* Printer();
    // The copies of unsaved work, from start-up to the exit; null outside.
    CRecoveryManager* Recovery() const { return m_recovery.get(); }

    CMainFrame* m_mainFrame = nullptr;
    // The memory all documents' undo histories share, from the setting "Settings/UndoMemoryMiB"
    // (read at start-up: 16 MiB up to the physical memory, a message when it is outside; by
    // default the smaller of 512 MiB and a quarter of the physical memory).
    CUndoBudget m_undoBudget{0};
    QString m_startDir;  // the folder current at start; where Open starts
    // The folder a picture was last written to (kept in the settings, "Settings/LastSaveFolder"),
    // where Save As of an untitled picture starts; the start folder until then, or when it is gone.
    QString LastSaveFolder() const;
    void SetLastSaveFolder(const QString& folder);
    // The choices of the last Decrease Color Depth (octree and nearest colour until then), with which
    // a true-colour picture saved as GIF is reduced.
    int m_nLastPaletteMethod = 2;
    int m_nLastDitherMethod = 0;
    int m_nCmdShow = 1;  // how the main frame is first shown: 1 normal, 2 minimised, 3 maximised

    static constexpr int kRecentFiles = 4;

private:
    // A new document with its window (not shown yet).
    COrvikDoc* CreateDocument();
    void DestroyDocument(COrvikDoc* doc);
    // Destroys a document that was never shown (a cancelled New, a failed Open) and makes `active`
    // the active window again.
    void DiscardDocument(COrvikDoc* doc, QMdiSubWindow* active);
    void ShowDocument(COrvikDoc* doc);
    void RemoveFromRecentFileList(const QString& path);
    void SaveRecentFileList() const;

    std::vector<COrvikDoc*> m_documents;
    QStringList m_recentFiles;
    int m_nUntitledCount = 0;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<CRecoveryManager> m_recovery;
    QPointer<CGuideWindow> m_guide;  // a window of the main frame, which deletes it
};

// The one application object.
extern COrvikApp* theApp;
