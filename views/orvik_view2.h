// The actual-size pane: the image at one window pixel per image pixel, scrolled on its own and
// panned by dragging with the left button. It shows the document's image only, never the
// floating selection.
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>

#include "app/command_target.h"

class COrvikDoc;

class COrvikView2 : public QAbstractScrollArea, public CCommandTarget {
    Q_OBJECT

public:
    COrvikView2(COrvikDoc* doc, QWidget* parent);
    ~COrvikView2() override;

    void OnInitialUpdate();
    void OnUpdate();
    void UpdateScrollRanges();
    void UpdateStatus(int x, int y);

    bool m_bPanning = false;
    QPoint m_ptAnchor;
    int m_nScrollX = 0;
    int m_nScrollY = 0;
    int m_nMaxScrollX = 0;
    int m_nMaxScrollY = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetScrollPositions();

    COrvikDoc* m_pDocument;
    bool m_bSettingScroll = false;
};
