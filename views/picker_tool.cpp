#include "views/picker_tool.h"

#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "views/tool_paint.h"

void CPickerTool::Press(const CToolEvent& event) {
    COrvikDoc* doc = Document();
    const bool fore = event.Left();
    const uint32_t value = ShownPixel(doc, State(), event.point);
    if (doc->BitCount() == 8) {
        m_host.ChooseColour(fore, static_cast<int>(value));
        return;
    }
    // A fully transparent pixel has no colour to pick.
    if (doc->BitCount() == 32 && (value >> 24) == 0) return;
    for (int i = 0; i < kPaletteEntries; ++i) {
        if (PaletteColour(doc->m_pPalette[i]) == (value & 0xFFFFFF)) {
            m_host.ChooseColour(fore, i);
            return;
        }
    }
    m_host.SetColourEntry(fore, static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                          static_cast<uint8_t>(value));
}
