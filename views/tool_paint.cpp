#include "views/tool_paint.h"

#include <QCursor>
#include <QGuiApplication>

#include "document/orvik_doc.h"
#include "document/pixel_routines.h"

PaintCanvas CanvasOf(COrvikDoc* doc) {
    return PaintCanvas{doc->m_pBits,        doc->Width(),    doc->Height(),     doc->Stride(),
                       doc->BitCount() / 8, doc->m_pPalette, doc->m_pEntryAlpha};
}

namespace {

// Announces the part of `set` over the image, span by span (a long diagonal stroke keeps only the
// pixels along it for undo); false when none of it is over the image.
bool TouchSet(COrvikDoc* doc, const CSpanSet& set) {
    doc->SetModifiedFlag();
    bool any = false;
    set.ForEach([&](int y, int x0, int x1) {
        const RECT span = ClipRect(RECT{x0, y, x1 + 1, y + 1}, doc->Width(), doc->Height());
        if (IsEmptyRect(span)) return;
        doc->Touch(span);
        any = true;
    });
    return any;
}

}  // namespace

void PaintSet(COrvikDoc* doc, const CSpanSet& set, int index) {
    if (!TouchSet(doc, set)) return;
    const PaintCanvas target = CanvasOf(doc);
    PaintSpans(target, set, InkOf(target, index));
}

void EraseSet(COrvikDoc* doc, const CSpanSet& set, int background) {
    if (!TouchSet(doc, set)) return;
    const PaintCanvas target = CanvasOf(doc);
    EraseSpans(target, set, background);
}

bool FloatCanvas(COrvikDoc* doc, const CToolState& state, PaintCanvas* canvas, QPoint* origin) {
    if (!doc->HasFloat()) return false;
    const BITMAPINFOHEADER& floating = *doc->m_pFloatHeader;
    *canvas = PaintCanvas{doc->m_pFloatBits,
                          floating.biWidth,
                          floating.biHeight,
                          static_cast<int>(floating.biXPelsPerMeter),
                          floating.biBitCount / 8,
                          doc->m_pPalette,
                          floating.biBitCount == 8 ? doc->m_pEntryAlpha : nullptr};
    const RECT place = NormalizeRect(state.m_rcSelection);
    *origin = QPoint(place.left, place.top);
    return true;
}

uint32_t ShownPixel(COrvikDoc* doc, const CToolState& state, const QPoint& p) {
    PaintCanvas floating;
    QPoint origin;
    if (FloatCanvas(doc, state, &floating, &origin)) {
        const QPoint at = p - origin;
        if (at.x() >= 0 && at.y() >= 0 && at.x() < floating.width && at.y() < floating.height)
            return ReadPixel(floating, at.x(), at.y());
    }
    return ReadPixel(CanvasOf(doc), p.x(), p.y());
}

bool ReplaceColourInSelection(COrvikDoc* doc, const CToolState& state, uint32_t from, int index) {
    PaintCanvas floating;
    QPoint origin;
    if (FloatCanvas(doc, state, &floating, &origin)) {
        const RECT all{0, 0, floating.width, floating.height};
        const uint32_t to = InkOf(CanvasOf(doc), index);
        if (IsEmptyRect(FindColour(floating, all, from)) || !doc->KeepFloatPixels()) return false;
        return ReplaceColour(floating, all, from, to);
    }
    const PaintCanvas target = CanvasOf(doc);
    const RECT area = state.m_bSelection
                          ? ClipRect(NormalizeRect(state.m_rcSelection), doc->Width(), doc->Height())
                          : RECT{0, 0, doc->Width(), doc->Height()};
    const RECT found = FindColour(target, area, from);
    if (IsEmptyRect(found)) return false;
    doc->Touch(found);
    if (!ReplaceColour(target, found, from, InkOf(target, index))) return false;
    doc->SetModifiedFlag();
    return true;
}

void PaintDot(COrvikDoc* doc, int x, int y, int index) {
    CSpanSet dot;
    dot.Add(y, x, x);
    PaintSet(doc, dot, index);
}

void PaintLine(COrvikDoc* doc, int x0, int y0, int x1, int y1, int index) {
    CSpanSet line;
    AddStroke(line, x0, y0, x1, y1, Brush(1, BrushShape::Round));
    PaintSet(doc, line, index);
}

void PaintRectOutline(COrvikDoc* doc, const RECT& r, int index) {
    doc->SetModifiedFlag();
    if (r.right == r.left || r.bottom == r.top) return;
    CSpanSet outline;
    AddRectangle(&outline, nullptr, r, 1);
    PaintSet(doc, outline, index);
}

void FillAt(COrvikDoc* doc, int x, int y, int index) {
    if (x < 0 || y < 0 || x >= doc->Width() || y >= doc->Height()) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    doc->SetModifiedFlag();
    doc->FloodFillAt(x, y, index);
    QGuiApplication::restoreOverrideCursor();
}
