// The one drawing pass for what lies over the picture: the selection's frame and the tools' rubber
// bands. Everything is given in image pixels and drawn into the view's off-screen surface, which
// holds the visible part at image scale (each surface pixel one image pixel, magnified later) or,
// zoomed out, one surface pixel a block of n x n image pixels; either way a line stays one surface
// pixel wide and what falls outside the surface is not drawn.
#pragma once

#include <QPoint>

class QImage;

#include <vector>

#include "document/image_buffer.h"
#include "document/paint_routines.h"
#include "views/surface_raster.h"

class COverlay {
public:
    // The surface's pixel (0, 0) shows image pixel (scrollX, scrollY), the top-left of a block
    // of `shrink` x `shrink` image pixels (1 at image scale).
    COverlay(const SurfaceRef& surface, int scrollX, int scrollY, int shrink);

    // The surface pixel over image pixel (x, y).
    QPoint Map(int x, int y) const;
    // The line from one image pixel to another, each surface pixel on it inverted.
    void Line(int x0, int y0, int x1, int y1);
    // The outline of a normalised rectangle whose corners are both included, each of its surface
    // pixels inverted once; nothing when it is one row or one column.
    void RectOutline(const RECT& rect);
    // The dotted frame around a normalised selection (right and bottom exclusive): white dots on
    // black, or with `invert` dots that invert what is under them.
    void Frame(const RECT& selection, bool invert);
    // Inverts the surface pixels over the given image pixels, each surface pixel once however many
    // image pixels lie under it.
    void InvertPixels(const std::vector<QPoint>& pixels);
    void InvertSet(const CSpanSet& pixels);
    // Shows `mask` (coverage, one byte a pixel, 255 full) with its top-left on image pixel `at` in
    // the colour `rgb` (0xRRGGBB), mixed with what is under it by the coverage.
    void Cover(const QImage& mask, const QPoint& at, uint32_t rgb);

private:
    // Image columns from..to-1 as surface columns first..last+1, from the surface's origin `first`.
    std::pair<int, int> Span(int from, int to, int first) const;

    SurfaceRef m_surface;
    int m_nScrollX;
    int m_nScrollY;
    int m_nShrink;
};
