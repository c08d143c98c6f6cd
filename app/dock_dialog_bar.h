// A dock widget that hosts one dialog and draws its own frame. Docked, it has a gripper strip with
// a close and a float button, a raised edge on the side facing the main window's interior and
// thin borders elsewhere, and is exactly as thick as its dialog plus that frame. Floating, it has a
// small caption with its title and a close button, and can be resized from its corners and edges.
// Dragging the gripper moves it to another side or floats it; a double click on the gripper or
// the float button floats it, a double click on the floating caption docks it again.
#pragma once

#include <QColor>
#include <QDockWidget>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "app/dock_geometry.h"

class CDockDialogBar;
class QMainWindow;

// The strip across the top of the bar (the gripper when docked, the caption when floating). It
// draws nothing itself: the bar draws its whole frame, and the strip passes the mouse to it.
class CDockBarTitle : public QWidget {
    Q_OBJECT

public:
    explicit CDockBarTitle(CDockDialogBar* bar);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return QSize(0, 0); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CDockDialogBar* m_bar;
};

// The rest of the bar: the hosted dialog inside the frame's margins, clipped to them.
class CDockBarClient : public QWidget {
    Q_OBJECT

public:
    explicit CDockBarClient(CDockDialogBar* bar);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return QSize(0, 0); }
    // Where the dialog lives: the client area inside the frame.
    QWidget* View() const { return m_view; }
    // Places the view inside the frame's margins and fills it with the dialog, as far as the
    // dialog's own limits allow.
    void FitDialog();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CDockDialogBar* m_bar;
    QWidget* m_view;
};

class CDockDialogBar : public QDockWidget {
    Q_OBJECT

public:
    explicit CDockDialogBar(QWidget* parent = nullptr);

    // Puts `dialog` into the bar, titles it, allows the given sides and takes the bar's sizes from
    // the dialog's. False when there is no main window or no dialog. The caller docks the bar.
    bool Create(QMainWindow* parent, QWidget* dialog, const QString& title, Qt::DockWidgetAreas areas);

    void HideBar() { hide(); }
    void ShowBar() { show(); }
    // Floats a docked bar; docks a floating one where it was.
    void ToggleDocking();

    DockSide Side() const { return m_dockSide; }
    QWidget* Dialog() const { return m_dialog; }
    CDockBarTitle* Title() const { return m_title; }
    CDockBarClient* Client() const { return m_client; }
    // The frame's margins around the dialog, in the client strip's own coordinates.
    QMargins ClientMargins() const;
    FloatMetrics Metrics() const;

    // What the point (bar coordinates) of the bar's frame is.
    int HitTest(QPoint point) const;
    // A left press on the frame; false when the dock widget should take it (to drag the bar).
    bool OnFramePress(QPoint point, QPoint globalPoint);
    // A left double click on the frame: floats or docks the bar when it and its first press
    // were on `toggleHit` (the gripper or caption, or the client's own background).
    bool OnFrameDoubleClick(QPoint point, int toggleHit);
    // Mouse movement over the frame: resizes while a resize runs, sets the cursor otherwise.
    // False when the dock widget should have it (the drag of the gripper).
    bool OnFrameMove(QWidget* part, QPoint point, QPoint globalPoint, bool leftDown);
    // False when the dock widget should have it.
    bool OnFrameRelease();
    bool IsResizing() const { return m_resizeHit != kHitNowhere; }

    QColor m_hiliteColor;
    QColor m_shadowColor;
    QSize m_minSize{32, 32};
    QSize m_horzSize{200, 200};   // docked top or bottom; only the height counts
    QSize m_vertSize{200, 200};   // docked left or right; only the width counts
    QSize m_floatSize{200, 200};  // client size while floating
    QRect m_edgeRect;             // the raised edge; empty until the bar is docked
    DockSide m_dockSide = DockSide::None;
    QRect m_undockRect;  // the float button; empty until the bar is docked
    QRect m_closeRect;
    QRect m_gripperRect;
    QRect m_gripLines[2];
    unsigned m_borders = 0;
    QColor m_backColor;
    int m_floatMinWidth;
    int m_floatMinHeight;
    int m_smallCaption;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The bar was moved to another side, floated or docked: the frame, the sizes and the dialog's
    // place follow.
    void UpdateFrame();
    void UpdateLayoutRects();
    void PaintDocked(QPainter& painter);
    void PaintFloating(QPainter& painter);

    QWidget* m_dialog = nullptr;  // the hosted dialog
    CDockBarTitle* m_title;
    CDockBarClient* m_client;
    int m_resizeHit = kHitNowhere;  // the corner or edge being dragged, if any
    QRect m_resizeStart;            // the window when the resize began
    QPoint m_resizeOffset;          // from the cursor to the point the resize follows
    bool m_bPassedOn = false;       // a press on the gripper went to the dock widget
    int m_nPressHit = kHitNowhere;  // what the last press hit
};
