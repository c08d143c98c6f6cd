// The pictures of the Decrease Color Depth dialog's preview: a part of the image (or all of it,
// shrunk) at a zoom factor, either as it is or as a reduction makes it. Every view of the dialog
// shows the part around one shared point at one zoom, so they can be compared side by side;
// dragging any of them moves that point, the wheel zooms.
#pragma once

#include <QFrame>
#include <QImage>
#include <QRect>
#include <QString>

#include "dialogs/reduction_worker.h"

// Where the views look: the image point at their middle and the zoom, 1, 2, 4 or 8 screen pixels a
// side per image pixel, or 0 for the whole image shrunk to fit.
class CPreviewPlace : public QObject {
    Q_OBJECT

public:
    CPreviewPlace(int imageWidth, int imageHeight, QObject* parent)
        : QObject(parent), m_width(imageWidth), m_height(imageHeight) {}

    int Zoom() const { return m_zoom; }
    QPoint Centre() const { return m_centre; }
    int ImageWidth() const { return m_width; }
    int ImageHeight() const { return m_height; }
    void SetZoom(int zoom);
    void SetCentre(QPoint centre);  // kept inside the image

    // The part of the image a view of `size` logical pixels shows.
    QRect Visible(QSize size) const;

signals:
    void Changed();

private:
    int m_width;
    int m_height;
    int m_zoom = 1;
    QPoint m_centre;
};

class CPreviewView : public QFrame {
    Q_OBJECT

public:
    CPreviewView(CPreviewPlace* place, const ReductionImage& original, QWidget* parent);

    // Shows a reduction of the image (the view does not own it; null shows the original), or,
    // with null and a text, that text in place of a picture.
    void Show(const CReducedImage* reduced, const QString& text = {});
    // A heading drawn over the picture's top-left corner, and whether the view is the chosen one.
    void SetCaption(const QString& caption);
    void SetChosen(bool chosen);

    // The picture last drawn at image scale (one pixel per image pixel, or per block of them when
    // shrunk) and the part of the image it shows; a null image when no picture was drawn.
    const QImage& Shown() const { return m_shown; }
    QRect ShownRect() const { return m_shownRect; }
    // The rows of the image the view shows now, counted from the top.
    QRect Visible() const { return m_place->Visible(contentsRect().size()); }

    // The size the view asks for; it may be made smaller, down to its minimum.
    void SetPreferredSize(QSize size) { m_preferred = size; }
    QSize sizeHint() const override { return m_preferred; }

signals:
    void Clicked();
    void Resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // The colour of image pixel x, y (from the top) as shown.
    QRgb Pixel(int x, int y) const;
    void Render();

    CPreviewPlace* m_place;
    ReductionImage m_original;
    const CReducedImage* m_reduced = nullptr;
    QString m_text;
    QString m_caption;
    bool m_chosen = false;
    QImage m_shown;
    QRect m_shownRect;
    int m_shownZoom = -1;
    bool m_dirty = true;
    QPoint m_pressAt;
    QPoint m_pressCentre;
    bool m_dragged = false;
    QSize m_preferred{160, 120};
};
