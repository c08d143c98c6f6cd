// The editing view: the image magnified by the document's zoom factor, composed at image scale in
// the main frame's off-screen surface with the floating image, the selection frame, the rubber
// bands and the hatch outside the image, then stretched into the window by pixel replication.
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>

#include "app/command_target.h"
#include "document/image_buffer.h"

class COrvikDoc;
class QPrinter;

class COrvikView : public QAbstractScrollArea, public CCommandTarget {
    Q_OBJECT

public:
    COrvikView(COrvikDoc* doc, QWidget* parent);
    ~COrvikView() override;

    COrvikDoc* GetDocument() const { return m_pDocument; }
    void OnInitialUpdate();
    // The document changed: repaint in full.
    void OnUpdate();

    void UpdateScrollRanges();
    // A client point as an image point inside the image, scrolling first while a drag runs.
    QPoint ClientToImage(int px, int py);
    void ScrollBy(int dx, int dy);
    void CenterOn(int x, int y);
    void ZoomIn(int x, int y);
    void ZoomOut(int x, int y);
    void UpdateStatus(int x, int y);

    // Composes the visible part into the off-screen surface; the image columns and rows drawn are
    // left in m_nDrawnWidth and m_nDrawnHeight.
    void Compose(QImage& surface, int cols, int rows);

    int m_nScrollX = 0;
    int m_nScrollY = 0;
    int m_nMaxScrollX = 0;
    int m_nMaxScrollY = 0;
    QPoint m_ptLast;
    int m_nDrawnWidth = 0;
    int m_nDrawnHeight = 0;
    bool m_bSelection = false;
    bool m_bDragging = false;
    bool m_bMoving = false;
    RECT m_rcSelection{0, 0, 0, 0};
    RECT m_rcDrag{0, 0, 0, 0};

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    void SetScrollPositions();
    void UpdateCursor();
    void OnFilePrint();
    void OnFilePrintPreview();
    // Prints the whole image on one page of `printer`.
    void PrintImage(QPrinter* printer);

    COrvikDoc* m_pDocument;
    bool m_bSettingScroll = false;  // the view itself moves the scroll bars
};
