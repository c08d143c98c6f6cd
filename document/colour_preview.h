// A colour adjustment shown on the picture while its dialog is open, and taken away again: the
// part the Colors commands change (COrvikDoc::ColourTarget) is kept as it was, each Show draws the
// adjustment from that, and Restore (or the end of the preview) puts it back. Nothing of it goes
// into the history; the dialog's OK restores and then runs the adjustment as one step.
#pragma once

#include <cstdint>
#include <vector>

#include "document/colour_adjust.h"
#include "document/orvik_doc.h"

class CColourPreview {
public:
    explicit CColourPreview(COrvikDoc* doc);
    ~CColourPreview();
    CColourPreview(const CColourPreview&) = delete;
    CColourPreview& operator=(const CColourPreview&) = delete;

    void Show(const ColourAdjustment& adjustment);
    void Restore();

private:
    // The part's pixels as they are now (floating image, selection or picture), or for a whole
    // 8-bit picture its palette.
    void Write(const ColourAdjustment* adjustment);

    COrvikDoc* m_pDocument;
    COrvikDoc::ColourPart m_part;
    RECT m_area;
    std::vector<uint8_t> m_original;  // the part's rows, tight; or the 256 entries
    bool m_bShown = false;
};
