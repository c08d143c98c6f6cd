// The tool buttons and the Translucent toggle: they change only process-wide state, the current
// tool of the main frame and bit 0 of g_bTranslucent.
#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "res/resource.h"

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
