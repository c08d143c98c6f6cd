// The actual-size pane: the image at one window pixel per image pixel (on a scaled screen the
// whole number of device pixels nearest to that, as the editing view shows 1:1), scrolled on its
// own and panned by dragging with the left or the middle button. It shows the document's image only, never
// the floating selection.
#pragma once

#include <QPoint>

#include "document/zoom_level.h"
#include "views/image_pane.h"

class COrvikView2 : public CImagePane {
    Q_OBJECT

public:
    COrvikView2(COrvikDoc* doc, QWidget* parent);
    ~COrvikView2() override;

    void OnInitialUpdate();
    void UpdateScrollRanges() override;
    void UpdateStatus(int x, int y);
    DeviceScale Scale() const override;

    bool m_bPanning = false;
    Qt::MouseButton m_panButton = Qt::NoButton;
    QPoint m_ptAnchor;  // in image pixels from the client area's top-left corner

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect DeviceRectOfImage(const RECT& area) const override;
    // The image pixel (from the client area's top-left) drawn under client point `p`.
    QPoint ClientPixel(const QPointF& p) const;
};
