#include "views/tool_paint.h"

#include <QCursor>
#include <QGuiApplication>

#include "document/line_steps.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"

void PaintDot(COrvikDoc* doc, int x, int y, int index) {
    doc->SetModifiedFlag();
    if (x < 0 || y < 0 || x >= doc->Width() || y >= doc->Height()) return;
    doc->Touch(RECT{x, y, x + 1, y + 1});
    PaintPixel(doc->Target(), x, doc->Height() - 1 - y, index);
}

void PaintLine(COrvikDoc* doc, int x0, int y0, int x1, int y1, int index) {
    ForEachLinePoint(x0, y0, x1, y1, [&](int x, int y) { PaintDot(doc, x, y, index); });
}

void PaintRectOutline(COrvikDoc* doc, const RECT& r, int index) {
    doc->SetModifiedFlag();
    if (r.right == r.left || r.bottom == r.top) return;
    // Each outline pixel once, which matters when painting is translucent.
    PaintLine(doc, r.left, r.top, r.right, r.top, index);
    PaintLine(doc, r.left, r.bottom, r.right, r.bottom, index);
    if (r.bottom - r.top > 1) {
        PaintLine(doc, r.left, r.top + 1, r.left, r.bottom - 1, index);
        PaintLine(doc, r.right, r.top + 1, r.right, r.bottom - 1, index);
    }
}

void FillAt(COrvikDoc* doc, int x, int y, int index) {
    if (x < 0 || y < 0 || x >= doc->Width() || y >= doc->Height()) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    doc->SetModifiedFlag();
    doc->FloodFillAt(x, y, index);
    QGuiApplication::restoreOverrideCursor();
}
