// The tool commands (one for each tool of the table) and the Translucent toggle, which change only
// process-wide state (the current tool of the main frame and bit 0 of g_bTranslucent), and the fill
// the fill tool makes.
#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/tool_table.h"

void COrvikDoc::RegisterToolCommands() {
    for (const CToolInfo& info : ToolTable()) {
        const int tool = info.id;
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

void COrvikDoc::FloodFillAt(int x, int y, int index) {
    if (!HasImage()) return;
    EndStep();
    const RECT area = RecordedFloodFill(m_history, Target(), x, y, index);
    if (m_pView) m_pView->ImageChanged(area);
    m_history.NoteChange();  // the step changes what a save writes (the tool's mark came before it)
    EndStep();
}
