#include "document/orvik_doc.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMessageBox>
#include <QStatusBar>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/child_frame.h"
#include "app/file_dialog.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/orvik_app.h"
#include "app/recovery.h"
#include "colour/color_palette_dlg.h"
#include "dialogs/new_image_dlg.h"
#include "document/file_types.h"
#include "document/pixel_routines.h"
#include "document/plugin_library.h"
#include "imgkit/imgkit.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/orvik_view2.h"

COrvikDoc::COrvikDoc() : m_history(theApp->m_undoBudget) {
    OnCommand(ID_FILE_SAVE, [this] { OnFileSave(); });
    OnCommand(ID_FILE_SAVE_AS, [this] { OnFileSaveAs(); });
    OnCommand(ID_FILE_CLOSE, [this] {
        if (m_pChildFrame) m_pChildFrame->close();
    });
    RegisterToolCommands();
    RegisterImageCommands();
    RegisterClipboardCommands();
    RegisterUndoCommands();
    RegisterTransformCommands();
    RegisterColourCommands();
}

COrvikDoc::~COrvikDoc() {
    if (theApp && theApp->Recovery()) theApp->Recovery()->DocumentClosed(this);
    // Another document may have become the active one while this one closes: it stays so.
    if (g_activeDoc == this) g_activeDoc = nullptr;
    if (theApp && theApp->m_mainFrame) theApp->m_mainFrame->m_wndPaletteDlg->Refresh();
    FreeFloat();
    FreeImage();
}

void COrvikDoc::FreeImage() {
    if (m_pHeader && m_pHeader->biBitCount != 8) std::free(m_pPalette);
    std::free(m_pHeader);
    std::free(m_pBits);
    std::free(m_pEntryAlpha);
    m_pHeader = nullptr;
    m_pPalette = nullptr;
    m_pBits = nullptr;
    m_pEntryAlpha = nullptr;
}

void COrvikDoc::FreeFloat() {
    std::free(m_pFloatHeader);
    std::free(m_pFloatBits);
    m_pFloatHeader = nullptr;
    m_pFloatBits = nullptr;
}

void COrvikDoc::SetImage(BITMAPINFOHEADER* header, RGBQUAD* palette, uint8_t* bits, uint8_t* entryAlpha) {
    FreeImage();
    m_pHeader = header;
    m_pPalette = palette;
    m_pBits = bits;
    m_pEntryAlpha = entryAlpha;
}

ImageStatus COrvikDoc::CreateBlankImage(int width, int height, int type) {
    BITMAPINFOHEADER* header = nullptr;
    RGBQUAD* palette = nullptr;
    uint8_t* bits = nullptr;
    const ImageStatus status = ::CreateBlankImage(width, height, type, &header, &palette, &bits);
    if (status == ImageStatus::Ok) SetImage(header, palette, bits);
    return status;
}

bool COrvikDoc::OnNewDocument() {
    m_pChildFrame = g_lastChildFrame;
    m_bModified = false;
    if (g_pasteAsNew) {
        // Cleared whatever the clipboard holds by now, so the next File > New asks again.
        g_pasteAsNew = 0;
        if (!TakeClipboardImage()) return false;
    } else {
        CNewImageDlg dialog(this, theApp->m_mainFrame);
        if (dialog.exec() != QDialog::Accepted || !HasImage()) return false;
    }
    SizeFrameToImage();
    MakeBrushes();
    theApp->m_mainFrame->m_wndPaletteDlg->Refresh();
    return true;
}

namespace {

const char kCodecLibrary[] = "libimgkit.so";

const char* ReaderName(FileType type) {
    switch (type) {
        case FileType::Bmp:
            return "ReadBMP";
        case FileType::Pcx:
            return "LoadPCX";
        case FileType::Jpeg:
            return "ReadJpeg";
        case FileType::Png:
            return "ReadPNG";
        case FileType::Unknown:
            break;
    }
    return nullptr;
}

const char* WriterName(FileType type) {
    switch (type) {
        case FileType::Bmp:
            return "SaveBitmap";
        case FileType::Pcx:
            return "SavePCX";
        case FileType::Jpeg:
            return "SaveJpeg";
        case FileType::Png:
            return "SavePNG";
        case FileType::Unknown:
            break;
    }
    return nullptr;
}

QString UnknownTypeMessage(const QString& path) {
    return COrvikDoc::tr(
               "%1 is not a file type Orvik knows.\n\nOrvik reads and writes BMP (.bmp), PCX (.pcx), "
               "JPEG (.jpg, .jpeg) and PNG (.png) files.")
        .arg(QFileInfo(path).fileName());
}

// The blocks a reader delivered, released together unless the document takes them.
struct ReadBlocks {
    BITMAPINFOHEADER* header = nullptr;
    RGBQUAD* palette = nullptr;
    uint8_t* bits = nullptr;
    ~ReadBlocks() {
        // An 8-bit palette lives inside the header block; a separate one is its own block.
        if (palette &&
            (!header || reinterpret_cast<uint8_t*>(palette) != reinterpret_cast<uint8_t*>(header) + 40))
            std::free(palette);
        std::free(header);
        std::free(bits);
    }
};

}  // namespace

bool COrvikDoc::OnOpenDocument(const QString& path) {
    m_pChildFrame = g_lastChildFrame;
    m_bModified = false;
    const QString name = QFileInfo(path).fileName();
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            OrvikMessage(tr("Cannot open %1.\n\n%2").arg(path, file.errorString()));
            return false;
        }
    }
    const FileType type = FileTypeOfPath(path.toStdString());
    if (type == FileType::Unknown) {
        OrvikMessage(UnknownTypeMessage(path));
        return false;
    }
    ReadBlocks blocks;
    {
        const CPluginLibrary library(kCodecLibrary);
        const auto reader = RequireExport<ReadImageFn>(library, kCodecLibrary, ReaderName(type));
        if (!reader) return false;
        blocks.header = reader(QFile::encodeName(path).constData(), &blocks.bits, &blocks.palette);
    }
    if (!blocks.header || !blocks.bits) {
        const QString reason = QFileInfo(path).size() == 0
                                   ? tr("The file is empty.")
                                   : tr("It is damaged, too large, or a kind of %1 file Orvik cannot read.")
                                         .arg(QFileInfo(path).suffix().toUpper());
        OrvikMessage(tr("Cannot open %1.\n\n%2").arg(name, reason));
        return false;
    }
    // Take only what the rest of the program can hold.
    const bool eightBit = blocks.header->biBitCount == 8;
    if (!IsModelHeader(*blocks.header) || (eightBit && blocks.palette != HeaderPalette(blocks.header))) {
        OrvikMessage(
            tr("Cannot open %1.\n\nThe codec library returned an image Orvik cannot hold.").arg(name));
        return false;
    }
    if (eightBit) blocks.palette = HeaderPalette(blocks.header);
    // PCX and JPEG rows come top-down; BMP and PNG rows are in the program's order already.
    if (type == FileType::Pcx || type == FileType::Jpeg)
        FlipRows(blocks.bits, blocks.header->biXPelsPerMeter, blocks.header->biHeight);
    if (!blocks.palette) blocks.palette = MakeDefaultPalette();
    if (!blocks.palette) {
        OrvikMessage(tr("Cannot open %1.\n\n%2").arg(name, StatusText(ImageStatus::NoMemory)));
        return false;
    }
    SetImage(blocks.header, blocks.palette, blocks.bits);
    blocks.header = nullptr;
    blocks.palette = nullptr;
    blocks.bits = nullptr;

    SizeFrameToImage();
    MakeBrushes();
    theApp->m_mainFrame->m_wndPaletteDlg->Refresh();
    return true;
}

bool COrvikDoc::SaveToFile(const QString& path) {
    EndStep();  // the file takes the image as it is now, after the last step
    if (!WriteImageFile(path, *m_pHeader, m_pPalette, m_pBits)) return false;
    // The file holds the document now: nothing is unsaved, and its recovery copy goes.
    SetModifiedFlag(false);
    return true;
}

bool COrvikDoc::WriteImageFile(const QString& path, const BITMAPINFOHEADER& header, const RGBQUAD* palette,
                               const uint8_t* bits) {
    const FileType type = FileTypeOfPath(path.toStdString());
    if (type == FileType::Unknown) {
        OrvikMessage(UnknownTypeMessage(path));
        return false;
    }
    const CPluginLibrary library(kCodecLibrary);
    const auto writer = RequireExport<SaveImageFn>(library, kCodecLibrary, WriterName(type));
    if (!writer) return false;
    if (writer(QFile::encodeName(path).constData(), bits, header, palette) != 1) {
        OrvikMessage(tr("Could not save %1.\n\nThe disk may be full or the folder may not be writable; the "
                        "file on disk was left as it was.")
                         .arg(path));
        return false;
    }
    return true;
}

void COrvikDoc::OnFileSave() {
    const QString path = m_strPathName;
    if (path.isEmpty())
        OnFileSaveAs();
    else
        SaveToFile(path);
}

void COrvikDoc::OnFileSaveAs() {
    const QString path = COrvikFileDialog::GetSaveFileName(theApp->m_startDir);
    if (path.isEmpty()) return;
    if (SaveToFile(path)) SetPathName(path);
}

bool COrvikDoc::SaveModified() {
    if (!m_bModified) return true;
    const auto answer =
        QMessageBox::question(theApp->m_mainFrame, QStringLiteral("Orvik"),
                              tr("%1의 변경 내용을 저장하시겠습니까?").arg(m_strTitle),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::No) return true;
    if (m_strPathName.isEmpty()) {
        const QString path = COrvikFileDialog::GetSaveFileName(theApp->m_startDir);
        if (path.isEmpty() || !SaveToFile(path)) return false;
        SetPathName(path);
        return true;
    }
    // A save that failed was reported; keep the document open so nothing is lost.
    return SaveToFile(m_strPathName);
}

void COrvikDoc::SetTitle(const QString& title) {
    const int bracket = title.indexOf('[');
    const QString zoom = QString::number(m_nZoom);
    const QString shrink = QString::number(m_nShrink);
    QString text = bracket >= 0 ? QStringLiteral("%1[%2:%3]").arg(title.left(bracket), zoom, shrink)
                                : QStringLiteral("%1 [%2:%3]").arg(title, zoom, shrink);
    m_strTitle = text.left(259);
    if (m_pChildFrame) m_pChildFrame->OnUpdateFrameTitle();
}

void COrvikDoc::SetPathName(const QString& path, bool addToRecentFiles) {
    m_strPathName = path;
    SetTitle(QFileInfo(path).fileName());
    if (addToRecentFiles) theApp->AddToRecentFileList(path);
}

void COrvikDoc::UpdateAllViews(const void* sender) {
    if (m_pView && m_pView != sender) m_pView->OnUpdate();
    if (m_pView2 && m_pView2 != sender) m_pView2->OnUpdate();
}

void COrvikDoc::Touch(const RECT& area) {
    if (IsEmptyRect(area)) return;
    m_history.Touch(*m_pHeader, m_pBits, area);
    // The editing view's reduced copies learn of every change, also of those it makes itself.
    if (m_pView) m_pView->ImageChanged(area);
}

void COrvikDoc::ImageReplaced() {
    if (m_pView) {
        if (HasImage()) m_pView->ImageChanged(RECT{0, 0, Width(), Height()});
        m_pView->ForgetToolPoints();
    }
    UpdateAllViews();
}

void COrvikDoc::MeasureFrameExtra() {
    if (!m_pChildFrame) return;
    const QMargins margins = m_pChildFrame->contentsMargins();
    m_cxFrameExtra = margins.left() + margins.right();
    m_cyFrameExtra = margins.top() + margins.bottom();
}

void COrvikDoc::SizeFrameToImage() {
    CMainFrame* main = theApp->m_mainFrame;
    if (!m_pChildFrame || !m_pView || !HasImage()) return;
    QMdiSubWindow* active = main->m_mdiArea->activeSubWindow();
    if ((active && active->isMaximized()) || m_pChildFrame->isMaximized()) return;
    MeasureFrameExtra();

    // The workspace has its size only once the main window is shown: fitted then.
    const QWidget* workspace = main->m_mdiArea->viewport();
    m_pChildFrame->m_bFitWhenShown = !workspace->isVisible();
    if (m_pChildFrame->m_bFitWhenShown) return;

    const QSize zoomed = m_pView->ZoomedSize();
    int64_t w = int64_t{zoomed.width()} + m_cxFrameExtra;
    int64_t h = int64_t{zoomed.height()} + m_cyFrameExtra;
    // The room is what the workspace shows right and below of the window's corner, measured in the
    // workspace itself: a window's place on the screen is not known everywhere (Wayland).
    // A window placed partly above or left of it comes down to its edge.
    const QPoint corner(std::max(m_pChildFrame->x(), 0), std::max(m_pChildFrame->y(), 0));
    if (corner != m_pChildFrame->pos()) m_pChildFrame->move(corner);
    w = std::min<int64_t>(w, workspace->width() - corner.x());
    h = std::min<int64_t>(h, workspace->height() - corner.y());
    m_pChildFrame->resize(static_cast<int>(std::max<int64_t>(w, 1)),
                          static_cast<int>(std::max<int64_t>(h, 1)));
    m_pChildFrame->raise();
    // Lay the frame out now, so the views know their new size before anyone asks.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

void COrvikDoc::MakeBrushes() {
    for (int i = 0; i < kPaletteEntries; ++i)
        m_hBrush[i] = QColor(m_pPalette[i].rgbRed, m_pPalette[i].rgbGreen, m_pPalette[i].rgbBlue,
                             EntryAlpha(m_pEntryAlpha, i));
    m_bBrushesMade = 1;
}

bool COrvikDoc::WriteEntryAlpha(int index, int alpha) {
    if (!HasImage() || BitCount() != 8 || index < 0 || index >= kPaletteEntries) return false;
    if (!m_pEntryAlpha) {
        if (alpha == kOpaque) return true;
        m_pEntryAlpha = static_cast<uint8_t*>(std::malloc(kPaletteEntries));
        if (!m_pEntryAlpha) return false;
        std::memset(m_pEntryAlpha, kOpaque, kPaletteEntries);
    }
    m_pEntryAlpha[index] = static_cast<uint8_t>(std::clamp(alpha, 0, 255));
    m_hBrush[index].setAlpha(m_pEntryAlpha[index]);
    return true;
}
