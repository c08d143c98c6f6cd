// The main window: menus, the "Standard" and "Tool Palette" toolbars, the status bar with its
// progress control, the "Colors" bar, and the document windows. It also holds the current tool and
// the off-screen surface the editing views compose their repaints in.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <QProgressBar>

#include <map>
#include <vector>

#include "app/command_target.h"
#include "app/dock_dialog_bar.h"

class CChildFrame;
class CColorPaletteDlg;
class CToolOptionsBar;
class QLabel;
class QMdiArea;
class QMenu;
class QStatusBar;
class QToolBar;

// The progress bar shown in the status bar's second pane while a long operation runs.
class CStatusProgressCtrl : public QProgressBar {
public:
    CStatusProgressCtrl() = default;
    // Creates the control over the pane with id `paneId` of the main frame's status bar.
    bool Create(QStatusBar* bar, int paneId);
    int PaneId() const { return m_paneId; }

private:
    int m_paneId = 0;
};

// The rectangle of a status pane in the status bar's coordinates, clearing the pane's text. When
// the status bar is hidden the rectangle lies one pixel wide just right of the bar and the result
// is false.
bool GetStatusPaneRect(QStatusBar* bar, int paneId, QRect* rect);
// Moves a progress control onto its pane again (after the frame was resized).
void FitToStatusPane(CStatusProgressCtrl* control);
// Sets the progress control to `percent`; returns the previous position.
int ProgressCallback(int percent);

class CMainFrame : public QMainWindow, public CCommandTarget {
    Q_OBJECT

public:
    CMainFrame();
    ~CMainFrame() override;

    // The off-screen surface, grown (never shrunk) to hold at least width x height pixels.
    QImage& BackBuffer(int width, int height);
    // A second surface like it: the editing views' composed pictures magnified to device pixels.
    QImage& PresentBuffer(int width, int height);

    // Status bar panes: 0 messages, 1 progress, 2 image information.
    void SetPaneText(int pane, const QString& text);
    QString PaneText(int pane) const;
    void SetPaneWidth(int pane, int width);
    // Pane 2: the image's size and depth, the pane sized to its text (6 pixels a character, more
    // where the status bar's font needs it).
    void SetImagePaneText(const QString& text);
    QLabel* Pane(int pane) const { return m_panes[pane]; }

    void BeginProgress();
    void EndProgress();

    // Command routing: active view, its document, the child frame, this frame, the application.
    std::vector<CCommandTarget*> CommandRoute() const;
    bool RouteCommand(int id);
    // Sets every action's enabled and checked state from the update handlers.
    void UpdateCommandUI();
    QAction* Action(int id) const;

    CChildFrame* ActiveChildFrame() const;
    // Documents were opened or closed: switch between the two menus.
    void OnDocumentsChanged();
    void OnUpdateFrameTitle();
    void UpdateRecentFileMenu();
    void SavePlacement();

    QImage m_backDC;
    QImage m_presentDC;
    QStatusBar* m_wndStatusBar = nullptr;
    CStatusProgressCtrl* m_wndProgress = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QToolBar* m_wndToolPalette = nullptr;
    CToolOptionsBar* m_wndToolOptions = nullptr;  // the current tool's options
    CColorPaletteDlg* m_wndPaletteDlg = nullptr;
    CDockDialogBar* m_wndColorBar = nullptr;  // the "Colors" bar around m_wndPaletteDlg
    int m_currentTool;
    QMdiArea* m_mdiArea = nullptr;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void RestorePlacement();
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    void CreateColorBar();
    QMenu* NewMenu(const QString& title, std::initializer_list<int> ids);
    // Appends the items (ID_SEPARATOR for a separator) to a menu.
    void AddItems(QMenu* menu, std::initializer_list<int> ids);
    void FillWindowMenu(QMenu* menu);
    void ArrangeIcons();

    std::map<int, QAction*> m_actions;
    QList<QMenu*> m_menuNoDocument;  // menu 128
    QList<QMenu*> m_menuDocument;    // menu 129
    bool m_documentMenuShown = false;
    QAction* m_recentPlaceholder = nullptr;
    QLabel* m_panes[3] = {};
    QRect m_normalGeometry;  // the last placement while neither maximised nor minimised
    QString m_strTitle;      // the caption, whatever a maximised document window makes of it
};
