// The tool commands (one for each tool of the table) and the Translucent toggle, which change only
// process-wide state (the current tool of the main frame and bit 0 of g_bTranslucent), the fill the
// fill tool makes, and the commands that go with the tools: Select All, Select None and Replace
// Color.
#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/tool_paint.h"
#include "views/tool_table.h"

void COrvikDoc::RegisterToolCommands() {
    for (const CToolInfo& info : ToolTable()) {
        const int tool = info.id;
        OnCommand(tool, [tool] {
            theApp->m_mainFrame->m_currentTool = tool;
            // What the tool used before holds open (a text being typed) is finished in every window.
            for (COrvikDoc* doc : theApp->Documents())
                if (doc->m_pView) doc->m_pView->ToolChanged();
        });
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

    OnCommand(ID_EDIT_SELECT_ALL, [this] {
        const CCommandStep step(this);
        if (m_pView) m_pView->SelectAll();
    });
    OnCommand(ID_EDIT_SELECT_NONE, [this] {
        const CCommandStep step(this);
        if (m_pView) m_pView->SelectNone();
    });
    // The background colour's pixels take the foreground colour, in the selection or everywhere.
    OnCommand(ID_IMAGE_REPLACE_COLOR, [this] {
        if (!HasImage() || !m_pView) return;
        const CCommandStep step(this);
        const uint32_t from = InkOf(CanvasOf(this), COrvikView::ColourIndex(false));
        if (ReplaceColourInSelection(this, *m_pView, from, COrvikView::ColourIndex(true))) UpdateAllViews();
    });
    for (const int id : {ID_EDIT_SELECT_ALL, ID_EDIT_SELECT_NONE, ID_IMAGE_REPLACE_COLOR})
        OnUpdate(id, [](CCmdUI& ui) { ui.Enable(); });
}

void COrvikDoc::FloodFillAt(int x, int y, int index) {
    if (!HasImage()) return;
    EndStep();
    const RECT area = RecordedFloodFill(m_history, Target(), x, y, index);
    if (m_pView) m_pView->ImageChanged(area);
    m_history.NoteChange();  // the step changes what a save writes (the tool's mark came before it)
    EndStep();
}
