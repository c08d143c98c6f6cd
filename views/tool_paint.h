// What the tools write into a document's image, through the core's routines (document/
// paint_routines.h): each write is announced to the document first (Touch, for the undo history and
// the reduced copies) and marks it modified. Points are image pixels (x from the left, y from the
// top); colours are palette indices, painted as the index in an 8-bit image and as the entry's
// colour in a 24-bit one (opaque in a 32-bit one), blended while painting is translucent. Nothing
// outside the image is written.
#pragma once

#include <QPoint>

#include "document/image_buffer.h"
#include "document/paint_routines.h"
#include "views/tool.h"

class COrvikDoc;

PaintCanvas CanvasOf(COrvikDoc* doc);
// Paints every pixel of `set` once with palette entry `index`.
void PaintSet(COrvikDoc* doc, const CSpanSet& set, int index);
// What the eraser writes over `set`: transparent pixels on an image with transparency, the
// background entry `background` on any other (EraseSpans).
void EraseSet(COrvikDoc* doc, const CSpanSet& set, int background);
// The floating image as a canvas (painted with the image's palette), with the image point its
// top-left lies on; false when there is none.
bool FloatCanvas(COrvikDoc* doc, const CToolState& state, PaintCanvas* canvas, QPoint* origin);
// The value (as ReadPixel gives it) shown at image point `p`: the floating image's where it lies
// over the point, the image's elsewhere.
uint32_t ShownPixel(COrvikDoc* doc, const CToolState& state, const QPoint& p);
// Every pixel of the colour `from` (as ReadPixel gives it) painted with entry `index`: in the
// selection, which is the floating image when there is one, or in the whole image. Only what
// changes is recorded. False when nothing changed (or memory was short for the floating image's
// copy).
bool ReplaceColourInSelection(COrvikDoc* doc, const CToolState& state, uint32_t from, int index);

void PaintDot(COrvikDoc* doc, int x, int y, int index);
// A one-pixel line, both end points included (document/line_steps.h).
void PaintLine(COrvikDoc* doc, int x0, int y0, int x1, int y1, int index);
// The outline of the normalised rectangle `r` with both corners included: nothing when it is one
// row or one column, otherwise each outline pixel written once.
void PaintRectOutline(COrvikDoc* doc, const RECT& r, int index);
// The flood fill of the 4-connected area of equal pixels around (x, y), with the wait cursor.
void FillAt(COrvikDoc* doc, int x, int y, int index);
