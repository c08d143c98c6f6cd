// Undo and Redo: the document's side of its history. The history (document/undo_history.h) keeps
// the steps; here they are recorded from the document's blocks, its floating image and the editing
// view's selection, and after one is applied everything that shows the document is brought up to
// date as the operation itself would have done.
#include <QStatusBar>

#include "app/main_frame.h"
#include "app/orvik_app.h"
#include "app/recovery.h"
#include "colour/color_palette_dlg.h"
#include "document/orvik_doc.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/orvik_view2.h"

namespace {

constexpr int kMessageMilliseconds = 10000;

}  // namespace

void COrvikDoc::RegisterUndoCommands() {
    OnCommand(ID_EDIT_UNDO, [this] { OnEditUndo(); });
    OnCommand(ID_EDIT_REDO, [this] { OnEditRedo(); });
    OnUpdate(ID_EDIT_UNDO, [this](CCmdUI& ui) { ui.Enable(CanUndo()); });
    OnUpdate(ID_EDIT_REDO, [this](CCmdUI& ui) { ui.Enable(CanRedo()); });
}

// --- Recording -----------------------------------------------------------------------------------

UndoTarget COrvikDoc::UndoState() const {
    UndoTarget state{m_pHeader, m_pPalette, m_pBits, {m_pFloatHeader, m_pFloatBits}, m_pEntryAlpha};
    if (m_pView) {
        state.floating.selected = m_pView->m_bSelection;
        state.floating.place = m_pView->m_rcSelection;
    }
    return state;
}

void COrvikDoc::SetUndoState(const UndoTarget& state) {
    m_pHeader = state.header;
    m_pPalette = state.palette;
    m_pBits = state.bits;
    m_pEntryAlpha = state.entryAlpha;
    m_pFloatHeader = state.floating.header;
    m_pFloatBits = state.floating.bits;
    if (m_pView) {
        m_pView->m_bSelection = state.floating.selected;
        m_pView->m_rcSelection = state.floating.place;
    }
}

void COrvikDoc::EndStep() {
    const StepOutcome outcome = m_history.EndStep(UndoState());
    // A change that left everything as it was is none.
    UpdateModified(m_history.Modified());
    if (outcome != StepOutcome::TooLarge) return;
    if (theApp && theApp->m_mainFrame)
        theApp->m_mainFrame->statusBar()->showMessage(
            tr("This change is too large to undo; the undo history was emptied."), kMessageMilliseconds);
}

void COrvikDoc::KeepFloat() {
    m_history.KeepFloat(UndoState().floating, true);
    m_pFloatHeader = nullptr;
    m_pFloatBits = nullptr;
}

bool COrvikDoc::KeepFloatPixels() {
    FloatingImage before;
    if (!HasFloat() || !CopyFloatingImage(m_pFloatHeader, m_pFloatBits, &before.header, &before.bits))
        return false;
    m_history.KeepFloat(before, false);
    return true;
}

void COrvikDoc::KeepPalette() {
    if (HasImage()) m_history.KeepPalette(m_pPalette, m_pEntryAlpha);
}

void COrvikDoc::ReplaceImage(BITMAPINFOHEADER* header, RGBQUAD* palette, uint8_t* bits, int command,
                             uint8_t* entryAlpha) {
    m_history.KeepImage(ImageBlocks(m_pHeader, m_pPalette, m_pBits, m_pEntryAlpha), command);
    m_pHeader = header;
    m_pPalette = palette;
    m_pBits = bits;
    m_pEntryAlpha = entryAlpha;
}

// --- Undo and Redo -------------------------------------------------------------------------------

void COrvikDoc::OnEditUndo() {
    ApplyStep(true);
}

void COrvikDoc::OnEditRedo() {
    ApplyStep(false);
}

void COrvikDoc::EndToolStep() {
    EndStep();
    const std::vector<bool> waiting = std::move(m_waitingSteps);
    m_waitingSteps.clear();
    for (const bool undo : waiting)
        ApplyStep(undo);
}

void COrvikDoc::ApplyStep(bool undo) {
    // A stroke still going on ends first, when the buttons are up.
    if (m_pView && m_pView->ButtonHeld()) {
        m_waitingSteps.push_back(undo);
        return;
    }
    EndStep();
    if (undo ? !m_history.CanUndo() : !m_history.CanRedo()) return;
    UndoTarget state = UndoState();
    const UndoEffect effect = undo ? m_history.Undo(state) : m_history.Redo(state);
    SetUndoState(state);
    UpdateModified(m_history.Modified());
    if (m_bModified && theApp->Recovery()) theApp->Recovery()->DocumentChanged(this);

    if (effect.floating && m_pView) m_pView->m_bMoving = false;
    if (effect.image || effect.palette) {
        MakeBrushes();
        theApp->m_mainFrame->m_wndPaletteDlg->Refresh();
    }
    if (effect.image) {
        // The window follows the size as the operation made it do.
        if (effect.command == ID_IMAGE_RESIZE || effect.command == ID_IMAGE_ROTATE_CW ||
            effect.command == ID_IMAGE_ROTATE_CCW)
            SizeFrameToImage();
        if (m_pView) m_pView->UpdateScrollRanges();
        if (m_pView2) m_pView2->UpdateScrollRanges();
    }
    // An 8-bit image is drawn through its palette; a 24-bit one only paints with it.
    if (effect.image || (effect.palette && BitCount() == 8)) {
        ImageReplaced();
        return;
    }
    if (m_pView) {
        m_pView->ImageChanged(effect.area);
        m_pView->ForgetToolPoints();
    }
    UpdateAllViews();
}
