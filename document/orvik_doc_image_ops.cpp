// The whole-image commands: Resize Canvas, Resize Image, Decrease Color Depth through the colour-
// reduction library, Increase Color Depth, and the Setup dialog. Each change is one step of the
// history, which keeps the image it replaced.
#include <QGuiApplication>

#include <cstdlib>
#include <cstring>

#include "app/main_frame.h"
#include "app/messages.h"
#include "app/orvik_app.h"
#include "app/recovery.h"
#include "colour/color_palette_dlg.h"
#include "dialogs/canvas_size_dlg.h"
#include "dialogs/decrease_depth_dlg.h"
#include "dialogs/resize_image_dlg.h"
#include "dialogs/setup_dlg.h"
#include "document/colour_reduction.h"
#include "document/image_ops.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "document/plugin_library.h"
#include "quantz/quantz.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/orvik_view2.h"

namespace {

// The wait cursor and the status bar's progress bar for the length of one reduction, taken away
// again however the reduction ends.
class ReductionProgress {
public:
    ReductionProgress() {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        theApp->m_mainFrame->BeginProgress();
    }
    ~ReductionProgress() {
        theApp->m_mainFrame->EndProgress();
        QGuiApplication::restoreOverrideCursor();
    }
    ReductionProgress(const ReductionProgress&) = delete;
    ReductionProgress& operator=(const ReductionProgress&) = delete;
};

}  // namespace

void COrvikDoc::RegisterImageCommands() {
    OnCommand(ID_IMAGE_CANVAS, [this] {
        CCanvasSizeDlg dialog(this, theApp->m_mainFrame);
        dialog.exec();
    });
    OnCommand(ID_IMAGE_RESIZE, [this] {
        CResizeImageDlg dialog(this, theApp->m_mainFrame);
        dialog.exec();
    });
    OnCommand(ID_COLORS_DECREASE, [this] { RunReductionDialog(ID_COLORS_DECREASE); });
    OnCommand(ID_COLORS_REMAP, [this] { RunReductionDialog(ID_COLORS_REMAP); });
    OnCommand(ID_COLORS_INCREASE, [this] { IncreaseColorDepth(); });
    OnCommand(ID_MISC_OPTION, [] {
        CSetupDlg dialog(theApp->m_mainFrame);
        CRecoveryManager* recovery = theApp->Recovery();
        dialog.SetRecovery(recovery->Enabled(), recovery->IntervalSeconds());
        if (dialog.exec() == QDialog::Accepted) recovery->SetSettings(dialog.m_bRecovery, dialog.m_nRecoverySeconds);
    });

    for (int id : {ID_IMAGE_CANVAS, ID_IMAGE_RESIZE, ID_MISC_OPTION})
        OnUpdate(id, [](CCmdUI& ui) { ui.Enable(); });
    OnUpdate(ID_COLORS_DECREASE, [this](CCmdUI& ui) { ui.Enable(HasImage() && BitCount() > 8); });
    OnUpdate(ID_COLORS_REMAP, [this](CCmdUI& ui) { ui.Enable(HasImage() && BitCount() == 8); });
    OnUpdate(ID_COLORS_INCREASE,
             [this](CCmdUI& ui) { ui.Enable(HasImage() && BitCount() == 8 && !HasFloat()); });
}

void COrvikDoc::RunReductionDialog(int command) {
    const bool remap = command == ID_COLORS_REMAP;
    if (!HasImage() || (remap ? BitCount() != 8 : BitCount() <= 8)) return;
    int paletteMethod = 0;
    int ditherMethod = 0;
    ReductionSource source;
    source.image = {m_pHeader, m_pBits, m_pEntryAlpha};
    source.currentPalette = remap ? nullptr : m_pPalette;
    source.remap = remap;
    CDecreaseDepthDlg dialog(theApp->m_mainFrame, &source);
    dialog.m_pPaletteMethod = &paletteMethod;
    dialog.m_pDitherMethod = &ditherMethod;
    if (dialog.exec() != QDialog::Accepted) return;
    // A GIF saved from a true-colour picture is reduced the way this dialog was last used.
    if (!remap) {
        theApp->m_nLastPaletteMethod = paletteMethod;
        theApp->m_nLastDitherMethod = ditherMethod;
    }
    // What the preview showed; without one (no library, or it failed) the reduction runs again
    // here and says what went wrong.
    if (CReducedImage result = dialog.TakeResult()) {
        ApplyReduction(std::move(result), command);
    } else if (!remap && BitCount() == 24 && dialog.IsPlainChoice()) {
        ReduceColorDepth(paletteMethod, ditherMethod);
    } else {
        ReduceColours(dialog.Choice(), command);
    }
}

ImageStatus COrvikDoc::ReplaceRows(const RowsOperation& operation, int command) {
    ImageBlocks previous;
    if (!previous.CopyHeader(m_pHeader, m_pPalette, m_pEntryAlpha)) return ImageStatus::NoMemory;
    uint8_t* const rows = m_pBits;
    const ImageStatus status = operation(m_pHeader, &m_pBits);
    if (status != ImageStatus::Ok) return status;
    previous.bits = rows;
    m_history.KeepImage(std::move(previous), command);
    return ImageStatus::Ok;
}

ImageStatus COrvikDoc::ResizeCanvas(int64_t width, int64_t height, CanvasAnchor anchor) {
    if (!HasImage()) return ImageStatus::BadSize;
    if (width == Width() && height == Height()) return ImageStatus::Ok;  // nothing to change or undo
    const CCommandStep step(this);
    int64_t left = 0;
    int64_t top = 0;
    CanvasOffset(anchor, Width(), Height(), width, height, &left, &top);
    // The new area is transparent on an image that can be (zero bytes are, at 32 bits).
    const uint32_t fill = BitCount() == 8 && ErasesToTransparent(Target()) ? ErasedValue(Target(), 0) : 0;
    const ImageStatus status = ReplaceRows(
        [&](BITMAPINFOHEADER* header, uint8_t** bits) {
            return PlaceOnCanvasKeepingRows(header, bits, width, height, left, top, fill);
        },
        ID_IMAGE_CANVAS);
    if (status != ImageStatus::Ok) return status;
    if (m_pView) m_pView->UpdateScrollRanges();
    if (m_pView2) m_pView2->UpdateScrollRanges();
    SetModifiedFlag();
    ImageReplaced();
    return ImageStatus::Ok;
}

ImageStatus COrvikDoc::ResizeImage(int64_t width, int64_t height, bool smooth) {
    if (!HasImage()) return ImageStatus::BadSize;
    if (width == Width() && height == Height()) return ImageStatus::Ok;  // nothing to change or undo
    const CCommandStep step(this);
    const ImageStatus status = ReplaceRows(
        [&](BITMAPINFOHEADER* header, uint8_t** bits) {
            return smooth ? ResizeSmoothKeepingRows(header, bits, width, height)
                          : ResizeImageKeepingRows(header, bits, width, height);
        },
        ID_IMAGE_RESIZE);
    if (status != ImageStatus::Ok) return status;
    SizeFrameToImage();
    // A maximised frame keeps its size, so the views must drop scroll positions past the image.
    if (m_pView) m_pView->UpdateScrollRanges();
    if (m_pView2) m_pView2->UpdateScrollRanges();
    SetModifiedFlag();
    ImageReplaced();
    return ImageStatus::Ok;
}

bool COrvikDoc::ReduceColorDepth(int paletteMethod, int ditherMethod) {
    if (!HasImage() || BitCount() != 24) return false;
    const CCommandStep step(this);
    // Both functions are looked up before anything is called.
    const CPluginLibrary library(kColourLibrary);
    const auto convert = RequireExport<QuantzConvert>(library, kColourLibrary, "Convert24To256");
    if (!convert) return false;
    const auto setProgress = RequireExport<QuantzSetProgress>(library, kColourLibrary, "SetProgressFunction");
    if (!setProgress) return false;

    uint8_t* bits = m_pBits;
    BITMAPINFOHEADER* header = nullptr;
    {
        const ReductionProgress progress;
        setProgress(&ProgressCallback);
        header = convert(&bits, m_pHeader, paletteMethod, ditherMethod);
    }

    // Take only a result the program can hold; otherwise the 24-bit image stays as it was.
    if (!IsReducedImage(header, bits, *m_pHeader, m_pBits)) {
        if (header != m_pHeader) std::free(header);
        if (bits != m_pBits) std::free(bits);
        OrvikMessage(header
                         ? tr("The colours could not be reduced: %1 returned an image Orvik cannot hold.\n\n"
                              "The image was left as it was.")
                               .arg(kColourLibrary)
                         : tr("The colours could not be reduced: %1 failed, perhaps for lack of memory.\n\n"
                              "The image was left as it was.")
                               .arg(kColourLibrary));
        return false;
    }
    return TakeReducedImage(header, bits, ID_COLORS_DECREASE);
}

bool COrvikDoc::ReduceColours(const ReductionChoice& choice, int command) {
    if (!HasImage() || (command == ID_COLORS_REMAP ? BitCount() != 8 : BitCount() <= 8)) return false;
    const CPluginLibrary library(kColourLibrary);
    const auto reduce = RequireExport<QuantzReduce>(library, kColourLibrary, "ReduceColours");
    if (!reduce) return false;
    ReductionRun run;
    run.header = m_pHeader;
    run.bits = m_pBits;
    run.entryAlpha = m_pEntryAlpha;
    run.choice = choice;
    run.progress = [](void*, int percent) {
        ProgressCallback(percent);
        return 0;
    };
    CReducedImage result;
    ReductionResult outcome;
    {
        const ReductionProgress progress;
        outcome = run.Run(reduce, &result);
    }
    switch (outcome) {
        case ReductionResult::Ok:
            return ApplyReduction(std::move(result), command);
        case ReductionResult::Malformed:
            OrvikMessage(tr("The colours could not be reduced: %1 returned an image Orvik cannot hold.\n\n"
                            "The image was left as it was.")
                             .arg(kColourLibrary));
            return false;
        default:
            OrvikMessage(tr("The colours could not be reduced: %1 failed, perhaps for lack of memory.\n\n"
                            "The image was left as it was.")
                             .arg(kColourLibrary));
            return false;
    }
}

bool COrvikDoc::ApplyReduction(CReducedImage result, int command) {
    if (!HasImage() || !result || result.Header()->biWidth != Width() ||
        result.Header()->biHeight != Height())
        return false;
    const CCommandStep step(this);
    // Entry opacities only where an entry is less than opaque (the one transparent pixels became).
    uint8_t* entryAlpha = nullptr;
    if (!EntriesOpaque(result.EntryAlpha())) {
        entryAlpha = static_cast<uint8_t*>(std::malloc(kPaletteEntries));
        if (!entryAlpha) {
            OrvikMessage(tr("The colours could not be reduced: %1.\n\nThe image was left as it was.")
                             .arg(StatusText(ImageStatus::NoMemory)));
            return false;
        }
        std::memcpy(entryAlpha, result.EntryAlpha(), kPaletteEntries);
    }
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
    result.Release(&header, &bits);
    return TakeReducedImage(header, bits, command, entryAlpha);
}

bool COrvikDoc::TakeReducedImage(BITMAPINFOHEADER* header, uint8_t* bits, int command, uint8_t* entryAlpha) {
    // A floating block goes onto the new palette in the same step, so it can later be dropped
    // into the 8-bit rows; the history keeps a copy of it as it was.
    FloatingImage floating;
    if (HasFloat() && !(CopyFloatingImage(m_pFloatHeader, m_pFloatBits, &floating.header, &floating.bits) &&
                        MapOntoPalette(&m_pFloatHeader, &m_pFloatBits, HeaderPalette(header), entryAlpha,
                                       m_pEntryAlpha))) {
        std::free(floating.header);
        std::free(floating.bits);
        std::free(header);
        std::free(bits);
        std::free(entryAlpha);
        OrvikMessage(tr("The colours could not be reduced: %1.\n\nThe image was left as it was.")
                         .arg(StatusText(ImageStatus::NoMemory)));
        return false;
    }

    if (floating.header) m_history.KeepFloat(floating, false);
    ReplaceImage(header, HeaderPalette(header), bits, command, entryAlpha);
    MakeBrushes();
    theApp->m_mainFrame->m_wndPaletteDlg->Refresh();
    SetModifiedFlag();
    ImageReplaced();
    return true;
}

bool COrvikDoc::IncreaseColorDepth() {
    if (!HasImage() || BitCount() != 8 || HasFloat()) return false;
    const CCommandStep step(this);
    // The 24-bit image keeps the colours to paint with in a palette block of its own; transparent
    // entries make it a 32-bit one, whose pixels keep their entries' opacities.
    auto* palette = static_cast<RGBQUAD*>(std::malloc(kPaletteBytes));
    uint8_t* bits = m_pBits;
    BITMAPINFOHEADER* header = m_pHeader;
    // Three or four bytes a pixel may take the rows past the model's limit; otherwise only memory
    // fails.
    ImageStatus status = CheckImageSize(Width(), Height(), EntriesOpaque(m_pEntryAlpha) ? 24 : 32);
    if (status == ImageStatus::Ok && (!palette || !Expand8To24(&bits, &header, false, m_pEntryAlpha)))
        status = ImageStatus::NoMemory;
    if (status != ImageStatus::Ok) {
        std::free(palette);
        OrvikMessage(tr("The colour depth could not be increased: %1.\n\nThe image was left as it was.")
                         .arg(StatusText(status)));
        return false;
    }
    std::memcpy(palette, m_pPalette, kPaletteBytes);
    ReplaceImage(header, palette, bits, ID_COLORS_INCREASE);
    MakeBrushes();
    theApp->m_mainFrame->m_wndPaletteDlg->Refresh();
    SetModifiedFlag();
    ImageReplaced();
    return true;
}
