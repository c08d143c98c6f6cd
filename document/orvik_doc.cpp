#include "document/orvik_doc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMessageBox>
#include <QStatusBar>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/child_frame.h"
#include "app/file_dialog.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/orvik_app.h"
#include "app/recovery.h"
#include "colour/color_palette_dlg.h"
#include "dialogs/new_image_dlg.h"
#include "document/file_job.h"
#include "document/file_types.h"
#include "document/image_file.h"
#include "document/image_ops.h"
#include "document/pixel_routines.h"
#include "document/plugin_library.h"
#include "document/save_checks.h"
#include "imgkit/imgkit.h"
#include "quantz/quantz.h"
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

// "BMP, PCX, JPEG, ..." of the formats that read (or write).
QString FormatNames(bool writing) {
    QStringList names;
    for (const FileFormat& format : FileFormats()) {
        if (writing ? format.writes : format.reads) names.append(QLatin1String(format.name));
    }
    return names.join(QStringLiteral(", "));
}

QString UnknownTypeMessage(const QString& path) {
    QStringList kinds;
    for (const FileFormat& format : FileFormats()) {
        if (!format.writes) continue;
        QStringList extensions;
        for (const std::string& ext : Words(format.extensions))
            extensions.append(QStringLiteral(".") + QString::fromStdString(ext));
        kinds.append(
            QStringLiteral("%1 (%2)").arg(QLatin1String(format.name), extensions.join(QStringLiteral(", "))));
    }
    return COrvikDoc::tr("%1 is not a file type Orvik knows.\n\nOrvik writes %2 files.")
        .arg(QFileInfo(path).fileName(), kinds.join(QStringLiteral(", ")));
}

// A reason of the core as a sentence of its own.
QString Sentence(ImageFileStatus status) {
    QString text = QCoreApplication::translate("ImageFileStatus", ImageFileStatusText(status));
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text + QLatin1Char('.');
}

// The status bar's note that a file holds more than was opened.
QString FramesNote(const ImageFileInfo& info, const QString& name) {
    const FileFormat* format = FormatOf(info.type);
    if (info.frames <= 1 || !format) return {};
    switch (format->frames) {
        case FramesKind::Frames:
            return COrvikDoc::tr("Only the first of the %1 frames of %2 was opened.")
                .arg(info.frames)
                .arg(name);
        case FramesKind::Pages:
            return COrvikDoc::tr("Only the first of the %1 pages of %2 was opened.")
                .arg(info.frames)
                .arg(name);
        case FramesKind::Images:
            return COrvikDoc::tr("Only the largest of the %1 images of %2 was opened.")
                .arg(info.frames)
                .arg(name);
        case FramesKind::None:
            break;
    }
    return {};
}

// A text of the save checks with its format name (%1) and number (%2); either may be missing.
QString SaveLossText(const char* text, const FileFormat& format, int number) {
    return QCoreApplication::translate("SaveLoss", text)
        .replace(QLatin1String("%1"), QLatin1String(format.name))
        .replace(QLatin1String("%2"), QString::number(number));
}

// The colour-reduction library's progress, into the job that runs it (one job at a time reduces).
CFileJob* g_reducingJob = nullptr;
int ReductionProgress(int percent) {
    if (g_reducingJob) g_reducingJob->Report(percent, 0, 50);
    return 0;
}

// What a save hands to the worker: the picture, the writer, and the colour-reduction library's
// functions when the file gets a copy reduced to 256 colours.
struct WriteRequest {
    ImgkitWriteFn write;
    QuantzConvert convert;  // null: the picture is written as it is
    QuantzSetProgress setProgress;
    int paletteMethod;
    int ditherMethod;
    std::string file;
    const FileFormat* format;
    ImgkitWriteOptions options;
    ImgkitPicture picture;
    bool reductionFailed = false;
};

// On the worker thread: fits a copy to what the format holds of transparency and reduces it when
// asked (the first half of the progress), then writes.
ImageFileStatus WritePicture(WriteRequest& request, CFileJob& job) {
    ImgkitPicture picture = request.picture;
    ImageFileBlocks fitted;
    if (NeedsFitting(*request.format, picture.header->biBitCount, picture.entryAlpha)) {
        if (!CopyPicture(picture, &fitted) || !FitForFormat(*request.format, &fitted))
            return ImageFileStatus::NoMemory;
        picture = ImgkitPicture{fitted.header, fitted.bits, fitted.palette, fitted.entryAlpha};
    }
    ImageFileBlocks reduced;  // the copy reduced to 256 colours
    if (request.convert) {
        uint8_t* bits = picture.bits;
        g_reducingJob = &job;
        request.setProgress(&ReductionProgress);
        BITMAPINFOHEADER* header =
            request.convert(&bits, picture.header, request.paletteMethod, request.ditherMethod);
        request.setProgress(nullptr);
        g_reducingJob = nullptr;
        if (!IsReducedImage(header, bits, *picture.header, picture.bits)) {
            if (header != picture.header) std::free(header);
            if (bits != picture.bits) std::free(bits);
            request.reductionFailed = true;
            return ImageFileStatus::NoMemory;
        }
        reduced.header = header;
        reduced.bits = bits;
        reduced.palette = HeaderPalette(header);
        // The fully transparent pixels of a 32-bit picture stay transparent, through one entry.
        const ImgkitPicture& source = request.picture;
        if (source.header->biBitCount == 32 &&
            !MarkTransparentPixels(*source.header, source.bits, reduced.header, reduced.bits,
                                   &reduced.entryAlpha))
            return ImageFileStatus::NoMemory;
        picture = ImgkitPicture{reduced.header, reduced.bits, reduced.palette, reduced.entryAlpha};
    }
    struct Part {
        CFileJob* job;
        int from;
    } part{&job, request.convert ? 50 : 0};
    const ImgkitProgress progress = [](void* context, int percent) {
        auto* p = static_cast<Part*>(context);
        p->job->Report(percent, p->from, 100);
        return 0;
    };
    const ImageFileStatus status = WriteImageFile(request.write, request.file, request.format->type,
                                                  request.options, picture, progress, &part);
    return status;
}

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
    const CPluginLibrary library(kCodecLibrary);
    const auto read = RequireExport<ImgkitReadFn>(library, kCodecLibrary, "ImgkitReadImage");
    if (!read) return false;
    // The file's content decides how it is read, whatever its name says.
    ImageFileBlocks blocks;
    ImageFileInfo info;
    const std::string file = QFile::encodeName(path).toStdString();
    const auto status = static_cast<ImageFileStatus>(CFileJob::Run([&](CFileJob& job) {
        return static_cast<int>(ReadImageFile(read, file, &blocks, &info, &CFileJob::OnCodecProgress, &job));
    }));
    if (status != ImageFileStatus::Ok) {
        QString reason = Sentence(status);
        if (status == ImageFileStatus::UnknownFormat)
            reason += QStringLiteral("\n\n") + tr("Orvik reads %1 files.").arg(FormatNames(false));
        OrvikMessage(tr("Cannot open %1.\n\n%2").arg(name, reason));
        return false;
    }
    SetImage(blocks.header, blocks.palette, blocks.bits, blocks.entryAlpha);
    blocks.Release();
    m_fileType = info.type;
    m_nFileFrames = info.frames;
    m_bFileReducedDepth = info.reducedDepth;

    SizeFrameToImage();
    MakeBrushes();
    theApp->m_mainFrame->m_wndPaletteDlg->Refresh();
    const QString note = FramesNote(info, name);
    if (!note.isEmpty()) theApp->m_mainFrame->SetPaneText(0, note);
    return true;
}

bool COrvikDoc::IsSourceFile(const QString& path) const {
    return !m_strPathName.isEmpty() && QFileInfo(path) == QFileInfo(m_strPathName);
}

bool COrvikDoc::AskBeforeLosing(const FileFormat& format, const SaveSubject& subject, bool* reduce) {
    const std::vector<const SaveLossRule*> losses = SaveLosses(format, subject);
    *reduce = false;
    if (losses.empty()) return true;
    QStringList texts;
    for (const SaveLossRule* rule : losses) {
        texts.append(SaveLossText(rule->message, format, subject.sourceFrames));
        *reduce = *reduce || rule->reducesColours;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Orvik"), texts.join(QStringLiteral("\n\n")),
                    QMessageBox::Save | QMessageBox::Cancel, theApp->m_mainFrame);
    box.setInformativeText(tr("Save it all the same?"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Save;
}

bool COrvikDoc::SaveToFile(const QString& path, bool lossy) {
    EndStep();  // the file takes the image as it is now, after the last step
    if (!WriteImageFile(path, *m_pHeader, m_pPalette, m_pBits, lossy)) return false;
    // The file now holds just this picture.
    if (IsSourceFile(path)) {
        m_nFileFrames = 1;
        m_bFileReducedDepth = false;
        m_fileType = FileTypeOfPath(path.toStdString());
    }
    // The file holds the document now: nothing is unsaved, and its recovery copy goes.
    SetModifiedFlag(false);
    return true;
}

bool COrvikDoc::WriteImageFile(const QString& path, const BITMAPINFOHEADER& header, const RGBQUAD* palette,
                               const uint8_t* bits, bool lossy) {
    // The typed name's extension decides the format.
    const FileFormat* format = FormatOf(FileTypeOfPath(path.toStdString()));
    if (!format || !format->writes) {
        OrvikMessage(UnknownTypeMessage(path));
        return false;
    }
    SaveSubject subject;
    const bool indexed = header.biBitCount == 8;
    subject.bitCount = header.biBitCount;
    subject.width = header.biWidth;
    subject.height = header.biHeight;
    subject.palette = palette;
    subject.entryAlpha = indexed ? m_pEntryAlpha : nullptr;
    DescribeTransparency(header, bits, subject.entryAlpha, &subject);
    subject.lossy = lossy;
    if (IsSourceFile(path)) {
        subject.sourceType = m_fileType;
        subject.sourceFrames = m_nFileFrames;
        subject.sourceReducedDepth = m_bFileReducedDepth;
    }
    if (const char* refusal = SaveRefusal(*format, subject)) {
        OrvikMessage(
            tr("Could not save %1.\n\n%2").arg(path, SaveLossText(refusal, *format, format->maxSide)));
        return false;
    }
    bool reduce = false;
    if (!AskBeforeLosing(*format, subject, &reduce)) return false;

    const CPluginLibrary library(kCodecLibrary);
    const auto write = RequireExport<ImgkitWriteFn>(library, kCodecLibrary, "ImgkitWriteImage");
    if (!write) return false;
    // A GIF of a true-colour picture gets a copy reduced with the last choices of Decrease Color Depth.
    std::unique_ptr<CPluginLibrary> colours;
    QuantzConvert convert = nullptr;
    QuantzSetProgress setProgress = nullptr;
    if (reduce) {
        colours = std::make_unique<CPluginLibrary>(kColourLibrary);
        convert = RequireExport<QuantzConvert>(*colours, kColourLibrary, "Convert24To256");
        if (!convert) return false;
        setProgress = RequireExport<QuantzSetProgress>(*colours, kColourLibrary, "SetProgressFunction");
        if (!setProgress) return false;
    }

    WriteRequest request{write,
                         convert,
                         setProgress,
                         theApp->m_nLastPaletteMethod,
                         theApp->m_nLastDitherMethod,
                         QFile::encodeName(path).toStdString(),
                         format,
                         ImgkitWriteOptions{lossy ? 1 : 0, 0},
                         // The writer and the worker only read the blocks.
                         ImgkitPicture{const_cast<BITMAPINFOHEADER*>(&header), const_cast<uint8_t*>(bits),
                                       indexed ? const_cast<RGBQUAD*>(palette) : nullptr,
                                       indexed ? m_pEntryAlpha : nullptr}};
    const auto status = static_cast<ImageFileStatus>(
        CFileJob::Run([&](CFileJob& job) { return static_cast<int>(WritePicture(request, job)); }));
    const bool reductionFailed = request.reductionFailed;
    if (reductionFailed) {
        OrvikMessage(
            tr("Could not save %1.\n\nThe colours could not be reduced: %2 failed, perhaps for lack of "
               "memory. The file on disk was left as it was.")
                .arg(path, QLatin1String(kColourLibrary)));
        return false;
    }
    if (status != ImageFileStatus::Ok) {
        OrvikMessage(
            status == ImageFileStatus::WriteFailed
                ? tr("Could not save %1.\n\nThe disk may be full or the folder may not be writable; the "
                     "file on disk was left as it was.")
                      .arg(path)
                : tr("Could not save %1.\n\n%2 The file on disk was left as it was.")
                      .arg(path, Sentence(status)));
        return false;
    }
    theApp->SetLastSaveFolder(QFileInfo(path).absolutePath());
    return true;
}

void COrvikDoc::OnFileSave() {
    const QString path = m_strPathName;
    if (path.isEmpty())
        OnFileSaveAs();
    else
        SaveToFile(path, m_bSaveLossy);
}

SaveDialogStart COrvikDoc::SaveAsStart(bool withName) const {
    SaveDialogStart start;
    if (!m_strPathName.isEmpty()) {
        const QFileInfo file(m_strPathName);
        if (file.absoluteDir().exists()) {
            start.folder = file.absolutePath();
            if (withName) start.fileName = file.fileName();
        }
        // The name's extension decides what is written, so its filter is the one that agrees.
        const FileType named = FileTypeOfPath(m_strPathName.toStdString());
        start.type = named != FileType::Unknown ? named : m_fileType;
        start.lossy = m_bSaveLossy;
    }
    if (start.folder.isEmpty()) start.folder = theApp->LastSaveFolder();
    return start;
}

void COrvikDoc::OnFileSaveAs() {
    bool lossy = false;
    const QString path = COrvikFileDialog::GetSaveFileName(SaveAsStart(), &lossy);
    if (path.isEmpty()) return;
    if (SaveToFile(path, lossy)) SavedAs(path, lossy);
}

void COrvikDoc::SavedAs(const QString& path, bool lossy) {
    SetPathName(path);
    m_bSaveLossy = lossy;
    m_fileType = FileTypeOfPath(path.toStdString());
    m_nFileFrames = 1;
    m_bFileReducedDepth = false;
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
        bool lossy = false;
        const QString path = COrvikFileDialog::GetSaveFileName(SaveAsStart(), &lossy);
        if (path.isEmpty() || !SaveToFile(path, lossy)) return false;
        SavedAs(path, lossy);
        return true;
    }
    // A save that failed was reported; keep the document open so nothing is lost.
    return SaveToFile(m_strPathName, m_bSaveLossy);
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

void COrvikDoc::UpdateAllViewsOver(const RECT& changed) {
    if (IsEmptyRect(changed)) return;
    if (m_pView) m_pView->OnUpdatePixels(changed);
    if (m_pView2) m_pView2->OnUpdatePixels(changed);
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
