// The modified flag and recovery of unsaved work: the document's side. The history knows which of
// its states the file holds; the recovery manager (app/recovery.h) keeps a copy of the document
// while it has unsaved changes.
#include <QFile>
#include <QDateTime>

#include "app/child_frame.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/orvik_app.h"
#include "app/recovery.h"
#include "colour/color_palette_dlg.h"
#include "document/orvik_doc.h"
#include "document/recovery_file.h"
#include "document/zoom_level.h"
#include "views/orvik_view.h"

void COrvikDoc::SetModifiedFlag(bool modified) {
    CRecoveryManager* recovery = theApp ? theApp->Recovery() : nullptr;
    if (modified) {
        m_history.NoteChange();
        UpdateModified(true);
        if (recovery) recovery->DocumentChanged(this);
        return;
    }
    m_history.MarkSaved();
    UpdateModified(false);
}

void COrvikDoc::UpdateModified(bool modified) {
    if (!modified && theApp && theApp->Recovery()) theApp->Recovery()->DocumentClean(this);
    if (modified == m_bModified) return;
    m_bModified = modified;
    if (m_pChildFrame) m_pChildFrame->OnUpdateFrameTitle();
}

QString COrvikDoc::WindowTitle() const {
    // The title is the name, then the zoom from its first '[' on (SetTitle cut the name there).
    const int zoom = m_strTitle.indexOf('[');
    const int end = zoom < 0 ? m_strTitle.size() : zoom > 0 && m_strTitle.at(zoom - 1) == ' ' ? zoom - 1 : zoom;
    return QString(m_strTitle).insert(end, QLatin1String("[*]"));
}

bool COrvikDoc::CopyForRecovery(RecoveryImage* copy) const {
    if (!HasImage() || !::CopyForRecovery(m_pHeader, m_pPalette, EntriesOpaque(m_pEntryAlpha) ? nullptr : m_pEntryAlpha,
                                          m_pBits, copy))
        return false;
    copy->zoom = m_nZoom;
    copy->shrink = m_nShrink;
    copy->time = QDateTime::currentMSecsSinceEpoch();
    copy->path = m_strPathName.toStdString();
    return true;
}

bool COrvikDoc::OnRecoverDocument(RecoveryImage& recovered) {
    m_pChildFrame = g_lastChildFrame;
    const QString name = recovered.path.empty() ? QString() : QString::fromStdString(recovered.path);
    if (!IsModelHeader(*recovered.image.header)) {
        OrvikMessage(tr("Could not recover %1: this version of Orvik cannot hold its image.")
                         .arg(name.isEmpty() ? tr("an untitled image") : name));
        return false;
    }
    ImageBlocks& blocks = recovered.image;
    uint8_t* entryAlpha = nullptr;
    if (blocks.header->biBitCount == 8 && recovered.hasEntryAlpha &&
        !CopyEntryAlpha(recovered.entryAlpha, &entryAlpha)) {
        OrvikMessage(tr("Could not recover %1: %2.")
                         .arg(name.isEmpty() ? tr("an untitled image") : name, StatusText(ImageStatus::NoMemory)));
        return false;
    }
    SetImage(std::exchange(blocks.header, nullptr), std::exchange(blocks.palette, nullptr),
             std::exchange(blocks.bits, nullptr), entryAlpha);
    // The file, if any, does not hold this: no state of the (empty) history is the saved one.
    m_history.ForgetSaved();
    UpdateModified(true);
    SizeFrameToImage();
    MakeBrushes();
    theApp->m_mainFrame->m_wndPaletteDlg->Refresh();
    return true;
}
