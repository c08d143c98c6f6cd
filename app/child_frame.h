// A document window: a splitter with the actual-size pane on the left (hidden at zoom 1) and the
// editing view on the right.
#pragma once

#include <QMdiSubWindow>
#include <QSplitter>

#include "app/command_target.h"

class COrvikDoc;
class COrvikView;
class COrvikView2;

// A splitter whose column can be hidden and shown again at its former width, keeping its view.
class CHideSplitterWnd : public QSplitter {
public:
    explicit CHideSplitterWnd(QWidget* parent = nullptr);

    // Hides column `col`; the others share the width. Nothing happens while a column is hidden.
    void HideColumn(int col);
    // Shows the hidden column again at its former index and width.
    void ShowColumn();
    // The widths the columns start with; a column hidden before it was ever laid out keeps this one.
    void SetColumnWidths(const QList<int>& widths);
    // The width column `col` takes from the others while it is shown, its splitter bar included.
    int ColumnExtent(int col) const;

    int m_hiddenCol = -1;

protected:
    void childEvent(QChildEvent* event) override;

private:
    QList<int> m_idealWidths;
    int m_hiddenWidth = 0;
};

class CChildFrame : public QMdiSubWindow, public CCommandTarget {
    Q_OBJECT

public:
    // Builds the splitter and both views for the document and records itself as the last frame.
    CChildFrame(COrvikDoc* doc, QWidget* parent);
    ~CChildFrame() override;

    COrvikDoc* GetActiveDocument() const { return m_pDocument; }
    // The pane that last held the focus: the editing view unless the actual-size pane took it.
    QWidget* GetActiveView() const;
    COrvikView* EditingView() const { return m_pView; }
    COrvikView2* ActualSizeView() const { return m_pView2; }
    void ActivateEditingView();
    // A document window never gets smaller than what shows its caption's buttons and scroll bars.
    void UpdateMinimumSize();
    // Takes the caption from the document's title.
    void OnUpdateFrameTitle();
    // The frame got the focus: its document becomes the active one for the palette bar.
    void OnSetFocus();

    CHideSplitterWnd* m_wndSplitter = nullptr;
    bool m_bFitWhenShown = false;  // fitted to its picture before the workspace had its size
    bool m_bOpenWhole = false;     // its picture was just opened: shown whole once fitted

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnNextPane();
    // Zoom In, Zoom Out, Fit in Window, Actual Pixels and Pixel Grid of the View menu.
    void RegisterZoomCommands();
    // The size a new document window starts with: three quarters of the workspace.
    QSize FirstSize() const;
    // The columns' first widths, from the first size.
    void SetFirstColumnWidths();

    COrvikDoc* m_pDocument;
    COrvikView2* m_pView2 = nullptr;
    COrvikView* m_pView = nullptr;
    QWidget* m_pActiveView = nullptr;
};
