// The tool buttons and the Translucent toggle, which change only process-wide state (the current
// tool of the main frame and bit 0 of g_bTranslucent), and the fill the fill tool makes.
#include <algorithm>
#include <cstring>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "res/resource.h"
#include "views/orvik_view.h"

void COrvikDoc::RegisterToolCommands() {
    for (int tool : {ID_TOOL_ZOOM, ID_TOOL_BRUSH, ID_TOOL_SELECT, ID_TOOL_LINE, ID_TOOL_RECT, ID_TOOL_FILL}) {
        OnCommand(tool, [tool] { theApp->m_mainFrame->m_currentTool = tool; });
        OnUpdate(tool, [tool](CCmdUI& ui) {
            ui.Enable();
            ui.SetCheck(theApp->m_mainFrame->m_currentTool == tool);
        });
    }
    OnCommand(ID_MISC_TRANSLUCENT, [] { g_bTranslucent ^= 1; });
    OnUpdate(ID_MISC_TRANSLUCENT, [](CCmdUI& ui) {
        ui.Enable();
        ui.SetCheck(g_bTranslucent & 1);
    });
}

namespace {

// Hands each run a fill paints to the history, and notes the area they cover.
class CFillRecorder final : public CFillRuns {
public:
    CFillRecorder(CUndoHistory& history, const BITMAPINFOHEADER& header) : m_history(history), m_header(header) {}
    void Run(int row, int firstX, int lastX) override {
        const int y = m_header.biHeight - 1 - row;
        m_history.FillRun(m_header, y, firstX, lastX);
        m_area = UnionRect(m_area, RECT{firstX, y, lastX + 1, y + 1});
    }
    RECT Area() const { return m_area; }

private:
    CUndoHistory& m_history;
    const BITMAPINFOHEADER& m_header;
    RECT m_area{0, 0, 0, 0};
};

}  // namespace

void COrvikDoc::FloodFillAt(int x, int y, int index) {
    if (!HasImage() || (BitCount() != 8 && BitCount() != 24)) return;
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    EndStep();
    const int row = Height() - 1 - y;
    const int bytes = BitCount() / 8;
    const uint8_t* start = m_pBits + int64_t{row} * Stride() + int64_t{x} * bytes;
    uint8_t before[4];
    std::memcpy(before, start, bytes);
    CFillRecorder recorder(m_history, *m_pHeader);
    if (BitCount() == 8)
        FloodFill8(m_pBits, m_pHeader, x, row, index, 0, 0, Width() - 1, Height() - 1, m_pPalette, &recorder);
    else
        FloodFill24(m_pBits, m_pHeader, x, row, PaletteColour(m_pPalette[index]), 0, 0, Width() - 1,
                    Height() - 1, &recorder);
    m_history.FillDone(before, start);
    if (m_pView) m_pView->ImageChanged(recorder.Area());
    EndStep();
}
