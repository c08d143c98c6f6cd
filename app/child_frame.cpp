#include "app/child_frame.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMdiArea>
#include <QStyle>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "colour/color_palette_dlg.h"
#include "document/orvik_doc.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/orvik_view2.h"

CHideSplitterWnd::CHideSplitterWnd(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {
    setChildrenCollapsible(false);
}

void CHideSplitterWnd::childEvent(QChildEvent* event) {
    QSplitter::childEvent(event);
    // Columns keep their widths when the window is resized; the last one takes the difference.
    for (int i = 0; i < count(); ++i)
        setStretchFactor(i, i == count() - 1 ? 1 : 0);
}

void CHideSplitterWnd::SetColumnWidths(const QList<int>& widths) {
    m_idealWidths = widths;
    if (m_hiddenCol >= 0) m_hiddenWidth = widths.value(m_hiddenCol);
    setSizes(widths);
}

int CHideSplitterWnd::ColumnExtent(int col) const {
    const int width = col == m_hiddenCol ? m_hiddenWidth : sizes().value(col);
    return width + handleWidth();
}

void CHideSplitterWnd::HideColumn(int col) {
    if (m_hiddenCol != -1 || count() < 2 || col < 0 || col >= count()) return;
    QWidget* pane = widget(col);
    // The activation moves to the next visible column, or to the first.
    if (pane->isAncestorOf(QApplication::focusWidget()) || pane->hasFocus()) {
        QWidget* next = widget(col + 1 < count() ? col + 1 : 0);
        next->setFocus(Qt::OtherFocusReason);
    }
    // Before the splitter was ever laid out its columns have their first widths.
    const int width = isVisible() ? sizes().value(col) : 0;
    m_hiddenWidth = width > 0 ? width : m_idealWidths.value(col);
    m_hiddenCol = col;
    pane->hide();
}

void CHideSplitterWnd::ShowColumn() {
    if (m_hiddenCol < 0) return;
    const int col = m_hiddenCol;
    m_hiddenCol = -1;
    widget(col)->show();
    // The shown column takes its former width; the others share what is left.
    const int room = std::max(width() - handleWidth() * (count() - 1), 2);
    QList<int> widths = sizes();
    const int others = std::max(room - m_hiddenWidth, 1);
    for (int i = 0; i < widths.size(); ++i)
        widths[i] = i == col ? m_hiddenWidth : others / (count() - 1);
    setSizes(widths);
}

CChildFrame::CChildFrame(COrvikDoc* doc, QWidget* parent) : QMdiSubWindow(parent), m_pDocument(doc) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The first size of a document window, before its document fits it to the image.
    const QSize area = FirstSize();
    resize(area);

    m_wndSplitter = new CHideSplitterWnd(this);
    m_pView2 = new COrvikView2(doc, m_wndSplitter);
    m_pView = new COrvikView(doc, m_wndSplitter);
    m_wndSplitter->addWidget(m_pView2);
    m_wndSplitter->addWidget(m_pView);
    SetFirstColumnWidths();
    setWidget(m_wndSplitter);
    m_pActiveView = m_pView;
    m_pView->OnInitialUpdate();
    m_pView2->OnInitialUpdate();
    for (QWidget* view : {static_cast<QWidget*>(m_pView), static_cast<QWidget*>(m_pView2)}) {
        view->installEventFilter(this);
        view->setFocusPolicy(Qt::StrongFocus);
        view->setMinimumSize(1, 1);  // the splitter keeps the widths it is given
    }
    g_lastChildFrame = this;
    m_wndSplitter->HideColumn(0);

    OnCommand(ID_NEXT_PANE, [this] { OnNextPane(); });
    OnCommand(ID_PREV_PANE, [this] { OnNextPane(); });
    RegisterZoomCommands();
}

QSize CChildFrame::FirstSize() const {
    const QSize area = theApp->m_mainFrame->m_mdiArea->viewport()->size();
    return {std::max(area.width() * 3 / 4, 200), std::max(area.height() * 3 / 4, 150)};
}

void CChildFrame::SetFirstColumnWidths() {
    // The client area: the actual-size pane gets a fifth of the width, the editing view the rest.
    const int w = std::max(FirstSize().width() - contentsMargins().left() - contentsMargins().right(), 5);
    m_wndSplitter->SetColumnWidths({w / 5, w - w / 5});
}

void CChildFrame::RegisterZoomCommands() {
    // Whichever pane has the focus, the commands zoom the editing view.
    for (const int steps : {1, -1}) {
        const int id = steps > 0 ? ID_VIEW_ZOOM_IN : ID_VIEW_ZOOM_OUT;
        OnCommand(id, [this, steps] { m_pView->ZoomTo(ZoomStep(m_pView->Level(), steps)); });
        OnUpdate(id, [this, steps](CCmdUI& ui) {
            ui.Enable(m_pView && ZoomStep(m_pView->Level(), steps) != m_pView->Level());
        });
    }
    OnCommand(ID_VIEW_FIT_WINDOW, [this] { m_pView->FitInWindow(); });
    OnCommand(ID_VIEW_ACTUAL_PIXELS, [this] { m_pView->ZoomTo(kActualPixels); });
    OnCommand(ID_VIEW_PIXEL_GRID, [this] {
        m_pView->m_bPixelGrid = !m_pView->m_bPixelGrid;
        m_pView->viewport()->update();
    });
    OnUpdate(ID_VIEW_PIXEL_GRID, [this](CCmdUI& ui) {
        ui.Enable(m_pView != nullptr);
        ui.SetCheck(m_pView && m_pView->m_bPixelGrid);
    });
}

CChildFrame::~CChildFrame() {
    // The views go first: they still look at their document while they are destroyed.
    delete m_wndSplitter;
    m_wndSplitter = nullptr;
    m_pView = nullptr;
    m_pView2 = nullptr;
    m_pActiveView = nullptr;
    if (g_lastChildFrame == this) g_lastChildFrame = nullptr;
    // The frame no longer answers for its document while that goes.
    COrvikDoc* doc = m_pDocument;
    m_pDocument = nullptr;
    if (theApp) theApp->RemoveDocument(doc);
    delete doc;
}

void CChildFrame::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    UpdateMinimumSize();
    if (m_bFitWhenShown && m_pDocument) {
        // Made before the workspace had its size: the pane's width is measured again now, while it
        // is still hidden.
        if (m_wndSplitter->m_hiddenCol == 0 && m_pView->Level() == kActualPixels) SetFirstColumnWidths();
        m_pDocument->SizeFrameToImage();
    }
    // A picture just opened that does not fit shows whole, once the window has its room.
    if (m_bOpenWhole && m_pDocument && !m_bFitWhenShown) {
        m_bOpenWhole = false;
        m_pView->ShowWhole();
    }
}

void CChildFrame::UpdateMinimumSize() {
    // The caption's buttons (as the shown window measures them), and both scroll bars around at
    // least one pixel of the image.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_pView);
    const QMargins frame = contentsMargins();
    const QSize caption = minimumSizeHint();
    setMinimumSize(std::max(caption.width(), frame.left() + frame.right() + bar + 1),
                   std::max(caption.height(), frame.top() + frame.bottom() + bar + 1));
}

QWidget* CChildFrame::GetActiveView() const {
    return m_pActiveView;
}

void CChildFrame::ActivateEditingView() {
    m_pActiveView = m_pView;
    m_pView->setFocus(Qt::OtherFocusReason);
}

void CChildFrame::OnUpdateFrameTitle() {
    setWindowTitle(m_pDocument->WindowTitle());
    setWindowModified(m_pDocument->IsModified());
    if (theApp && theApp->m_mainFrame) theApp->m_mainFrame->OnUpdateFrameTitle();
}

void CChildFrame::OnNextPane() {
    if (m_wndSplitter->m_hiddenCol != -1) return;  // only one pane is visible
    QWidget* next = m_pActiveView == m_pView ? static_cast<QWidget*>(m_pView2) : m_pView;
    next->setFocus(Qt::TabFocusReason);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!m_pDocument->SaveModified()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

void CChildFrame::focusInEvent(QFocusEvent* event) {
    QMdiSubWindow::focusInEvent(event);
    OnSetFocus();
}

bool CChildFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        m_pActiveView = static_cast<QWidget*>(watched);
        OnSetFocus();
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

void CChildFrame::OnSetFocus() {
    g_activeDoc = m_pDocument;
    if (theApp && theApp->m_mainFrame) theApp->m_mainFrame->m_wndPaletteDlg->Refresh();
}
