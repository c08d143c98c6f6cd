// The Image menu's flips, rotations and crops, and File > Export Scaled. Each change is one step
// of the history: a new picture keeps the old one there, a floating image the one it replaced, and
// the selection its place.
#include <QFileInfo>
#include <QStatusBar>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/file_dialog.h"
#include "app/main_frame.h"
#include "app/messages.h"
#include "app/orvik_app.h"
#include "dialogs/export_scaled_dlg.h"
#include "document/image_ops.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "res/resource.h"
#include "views/orvik_view.h"
#include "views/orvik_view2.h"

namespace {

constexpr int kMessageMilliseconds = 10000;

struct TurnCommand {
    int id;
    Turn turn;
};

constexpr TurnCommand kTurns[] = {
    {ID_IMAGE_FLIP_HORIZONTAL, Turn::FlipHorizontal}, {ID_IMAGE_FLIP_VERTICAL, Turn::FlipVertical},
    {ID_IMAGE_ROTATE_CW, Turn::Rotate90Clockwise},    {ID_IMAGE_ROTATE_CCW, Turn::Rotate90CounterClockwise},
    {ID_IMAGE_ROTATE_180, Turn::Rotate180},
};

int TurnId(Turn turn) {
    for (const TurnCommand& c : kTurns) {
        if (c.turn == turn) return c.id;
    }
    return 0;
}

// A copy of a header block (with its colour table for 8 bit), or null when memory is short.
BITMAPINFOHEADER* CopyHeaderBlock(const BITMAPINFOHEADER* header) {
    const size_t bytes = header->biBitCount == 8 ? kHeaderBlockBytes8 : kHeaderBytes;
    auto* copy = static_cast<BITMAPINFOHEADER*>(std::malloc(bytes));
    if (copy) std::memcpy(copy, header, bytes);
    return copy;
}

RECT Offset(const RECT& r, int dx, int dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

void COrvikDoc::RegisterTransformCommands() {
    for (const TurnCommand& c : kTurns) {
        const Turn turn = c.turn;
        OnCommand(c.id, [this, turn] { TurnImage(turn); });
        OnUpdate(c.id, [this](CCmdUI& ui) { ui.Enable(HasImage()); });
    }
    OnCommand(ID_IMAGE_CROP, [this] { CropToSelection(); });
    OnUpdate(ID_IMAGE_CROP, [this](CCmdUI& ui) { ui.Enable(CanCropToSelection()); });
    OnCommand(ID_IMAGE_AUTOCROP, [this] { Autocrop(); });
    OnUpdate(ID_IMAGE_AUTOCROP, [this](CCmdUI& ui) { ui.Enable(HasImage()); });
    OnCommand(ID_FILE_EXPORT_SCALED, [this] {
        CExportScaledDlg dialog(this, theApp->m_mainFrame);
        if (dialog.exec() != QDialog::Accepted) return;
        const QString path = COrvikFileDialog::GetSaveFileName(SaveAsStart(false));
        if (!path.isEmpty()) ExportScaled(path, dialog.Factor());
    });
    OnUpdate(ID_FILE_EXPORT_SCALED, [this](CCmdUI& ui) { ui.Enable(HasImage()); });
}

void COrvikDoc::ReplaceFloat(BITMAPINFOHEADER* header, uint8_t* bits, const RECT& place) {
    KeepFloat();
    m_pFloatHeader = header;
    m_pFloatBits = bits;
    if (m_pView) m_pView->m_rcSelection = place;
}

bool COrvikDoc::PlaceSelection(const RECT& place) {
    if (HasFloat()) {
        // The history takes the floating image as it is, so it goes on as a copy.
        BITMAPINFOHEADER* header = nullptr;
        uint8_t* bits = nullptr;
        if (!CopyFloatingImage(m_pFloatHeader, m_pFloatBits, &header, &bits)) return false;
        ReplaceFloat(header, bits, place);
        return true;
    }
    KeepFloat();  // no floating image: the step notes the selection's place
    if (m_pView) m_pView->m_rcSelection = place;
    return true;
}

bool COrvikDoc::TurnImage(Turn turn) {
    if (!HasImage()) return false;
    const CCommandStep step(this);
    const auto refuse = [](ImageStatus status) {
        OrvikMessage(tr("The picture could not be turned: %1.").arg(StatusText(status)));
        return false;
    };
    if (HasFloat()) {
        // The floating image turns about its centre.
        BITMAPINFOHEADER* header = CopyHeaderBlock(m_pFloatHeader);
        uint8_t* bits = m_pFloatBits;
        const ImageStatus status = header ? TurnImageKeepingRows(header, &bits, turn) : ImageStatus::NoMemory;
        if (status != ImageStatus::Ok) {
            std::free(header);
            return refuse(status);
        }
        const RECT old = m_pView ? NormalizeRect(m_pView->m_rcSelection) : RECT{0, 0, 0, 0};
        const int left = old.left + (m_pFloatHeader->biWidth - header->biWidth) / 2;
        const int top = old.top + (m_pFloatHeader->biHeight - header->biHeight) / 2;
        ReplaceFloat(header, bits, RECT{left, top, left + header->biWidth, top + header->biHeight});
        SetModifiedFlag();
        UpdateAllViews();
        return true;
    }
    const int width = Width();
    const int height = Height();
    const ImageStatus status = ReplaceRows(
        [turn](BITMAPINFOHEADER* header, uint8_t** bits) { return TurnImageKeepingRows(header, bits, turn); },
        TurnId(turn));
    if (status != ImageStatus::Ok) return refuse(status);
    // A selection stays around the same pixels.
    if (m_pView && m_pView->m_bSelection)
        PlaceSelection(TurnRect(NormalizeRect(m_pView->m_rcSelection), width, height, turn));
    if (TurnSwapsSides(turn)) {
        SizeFrameToImage();
        if (m_pView) m_pView->UpdateScrollRanges();
        if (m_pView2) m_pView2->UpdateScrollRanges();
    }
    SetModifiedFlag();
    ImageReplaced();
    return true;
}

bool COrvikDoc::CanCropToSelection() const {
    if (!HasImage() || !m_pView || !m_pView->m_bSelection) return false;
    return !IsEmptyRect(SelectionArea());
}

bool COrvikDoc::CropToSelection() {
    if (!CanCropToSelection()) return false;
    const CCommandStep step(this);
    const RECT area = SelectionArea();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    // The floating image is part of what the selection shows: it is dropped into the new picture.
    const RECT place = NormalizeRect(m_pView->m_rcSelection);
    const BITMAPINFOHEADER* floating = m_pFloatHeader;
    const uint8_t* floatBits = m_pFloatBits;
    const ImageStatus status = ReplaceRows(
        [&](BITMAPINFOHEADER* header, uint8_t** bits) {
            const ImageStatus placed =
                PlaceOnCanvasKeepingRows(header, bits, width, height, -area.left, -area.top);
            if (placed != ImageStatus::Ok || !floating || floating->biBitCount != header->biBitCount)
                return placed;
            // The floating image's top-left corner lands at (place - area) in the new picture.
            const int n = header->biBitCount / 8;
            const RECT over = ClipRect(Offset(RECT{place.left, place.top, place.left + floating->biWidth,
                                                   place.top + floating->biHeight},
                                              -area.left, -area.top),
                                       width, height);
            const int srcX = over.left - (place.left - area.left);
            const int srcY = over.top - (place.top - area.top);
            CopyBlock(floatBits, srcX, floating->biHeight - srcY - (over.bottom - over.top),
                      floating->biXPelsPerMeter, over.right - over.left, over.bottom - over.top, n,
                      *bits + static_cast<ptrdiff_t>(height - over.bottom) * header->biXPelsPerMeter +
                          static_cast<ptrdiff_t>(over.left) * n,
                      header->biXPelsPerMeter);
            return placed;
        },
        ID_IMAGE_CROP);
    if (status != ImageStatus::Ok) {
        OrvikMessage(tr("The picture could not be cropped: %1.").arg(StatusText(status)));
        return false;
    }
    // The selection ends; undo brings it back with its floating image.
    KeepFloat();
    m_pView->m_bSelection = false;
    m_pView->m_bMoving = false;
    m_pView->m_rcSelection = RECT{0, 0, 0, 0};
    m_pView->UpdateScrollRanges();
    if (m_pView2) m_pView2->UpdateScrollRanges();
    SetModifiedFlag();
    ImageReplaced();
    return true;
}

bool COrvikDoc::Autocrop() {
    if (!HasImage()) return false;
    const RECT area = AutocropArea(*m_pHeader, m_pBits, m_pEntryAlpha);
    if (IsEmptyRect(area) || (area.right - area.left == Width() && area.bottom - area.top == Height())) {
        theApp->m_mainFrame->statusBar()->showMessage(
            IsEmptyRect(area) ? tr("The whole picture is one colour: Autocrop leaves it as it is.")
                              : tr("The picture has no border of one colour to remove."),
            kMessageMilliseconds);
        return false;
    }
    const CCommandStep step(this);
    const ImageStatus status = ReplaceRows(
        [&](BITMAPINFOHEADER* header, uint8_t** bits) {
            return PlaceOnCanvasKeepingRows(header, bits, area.right - area.left, area.bottom - area.top,
                                            -area.left, -area.top);
        },
        ID_IMAGE_AUTOCROP);
    if (status != ImageStatus::Ok) {
        OrvikMessage(tr("The picture could not be cropped: %1.").arg(StatusText(status)));
        return false;
    }
    if (m_pView && (m_pView->m_bSelection || HasFloat()))
        PlaceSelection(Offset(m_pView->m_rcSelection, -area.left, -area.top));
    if (m_pView) m_pView->UpdateScrollRanges();
    if (m_pView2) m_pView2->UpdateScrollRanges();
    SetModifiedFlag();
    ImageReplaced();
    return true;
}

bool COrvikDoc::ExportScaled(const QString& path, int factor) {
    if (!HasImage()) return false;
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
    const ImageStatus status = MagnifiedCopy(*m_pHeader, m_pBits, factor, &header, &bits);
    if (status != ImageStatus::Ok) {
        OrvikMessage(tr("Cannot export %1 at %2 times: %3.")
                         .arg(QFileInfo(path).fileName())
                         .arg(factor)
                         .arg(StatusText(status)));
        return false;
    }
    const bool written = WriteImageFile(path, *header, m_pPalette, bits);
    std::free(header);
    std::free(bits);
    return written;
}
