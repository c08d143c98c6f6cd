// What the tools write into a document's image, through the core's pixel routines: each write is
// announced to the document first (Touch, for the undo history and the reduced copies) and marks it
// modified. Points are image pixels (x from the left, y from the top); colours are palette indices,
// painted as the index in an 8-bit image and as the entry's colour in a 24-bit one (opaque in a
// 32-bit one), blended while painting is translucent (PaintPixel). Nothing outside the image is written.
#pragma once

#include "document/image_buffer.h"

class COrvikDoc;

void PaintDot(COrvikDoc* doc, int x, int y, int index);
// A one-pixel line, both end points included (document/line_steps.h).
void PaintLine(COrvikDoc* doc, int x0, int y0, int x1, int y1, int index);
// The outline of the normalised rectangle `r` with both corners included: nothing when it is one
// row or one column, otherwise each outline pixel written once.
void PaintRectOutline(COrvikDoc* doc, const RECT& r, int index);
// The flood fill of the 4-connected area of equal pixels around (x, y), with the wait cursor.
void FillAt(COrvikDoc* doc, int x, int y, int index);
