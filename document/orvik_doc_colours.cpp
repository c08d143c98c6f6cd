// The Colors menu's adjustments (Invert, Greyscale, Brightness / Contrast, Posterize) with their
// live preview, and the palette commands: Load Palette, Save Palette As, Sort Palette, Merge
// Duplicate Entries and Remove Unused Entries. Each change is one step of the history.
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdlib>
#include <cstring>

#include "app/main_frame.h"
#include "app/messages.h"
#include "app/orvik_app.h"
#include "colour/color_palette_dlg.h"
#include "dialogs/adjust_colours_dlg.h"
#include "document/colour_preview.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

// Adjusts width x rows pixels from `src` into `dst` (which may be the same): true-colour pixels
// themselves (their opacity kept), 8-bit indices to the entry of `palette` nearest their new colour
// among those as opaque.
void AdjustPart(const CColourMap& map, int bitCount, const RGBQUAD* palette, const uint8_t* entryAlpha,
                const uint8_t* src, ptrdiff_t srcStride, uint8_t* dst, ptrdiff_t dstStride, int width,
                int rows) {
    if (bitCount == 8) {
        uint8_t indices[kPaletteEntries];
        map.IndexMap(palette, entryAlpha, indices);
        RemapIndices(src, srcStride, dst, dstStride, width, rows, indices);
    } else {
        map.ApplyToPixels(src, srcStride, dst, dstStride, width, rows, bitCount / 8);
    }
}

ColourAdjustment Simple(ColourAdjustment::Kind kind) {
    ColourAdjustment adjustment;
    adjustment.kind = kind;
    return adjustment;
}

struct PaletteType {
    PaletteFormat format;
    const char* filter;
};

const PaletteType kPaletteTypes[] = {
    {PaletteFormat::Gimp, QT_TRANSLATE_NOOP("COrvikDoc", "GIMP Palettes (*.gpl)")},
    {PaletteFormat::Jasc, QT_TRANSLATE_NOOP("COrvikDoc", "JASC Palettes (*.pal)")},
    {PaletteFormat::Act, QT_TRANSLATE_NOOP("COrvikDoc", "Photoshop Color Tables (*.act)")},
    {PaletteFormat::Hex, QT_TRANSLATE_NOOP("COrvikDoc", "Hex Lists (*.hex)")},
};

QStringList PaletteFilters() {
    QStringList filters;
    for (const PaletteType& type : kPaletteTypes)
        filters << COrvikDoc::tr(type.filter);
    return filters;
}

// The palette file to load, or an empty string.
QString AskPaletteToLoad() {
    QFileDialog dialog(theApp->m_mainFrame, COrvikDoc::tr("Load Palette"), theApp->m_startDir);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(QStringList{COrvikDoc::tr("Palette Files (*.gpl *.pal *.act *.hex)")} +
                          PaletteFilters() + QStringList{COrvikDoc::tr("All Files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

// Save Palette As's dialog: a name without an extension gets the selected type's.
class CPaletteSaveDialog : public QFileDialog {
public:
    CPaletteSaveDialog()
        : QFileDialog(theApp->m_mainFrame, COrvikDoc::tr("Save Palette As"), theApp->m_startDir) {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        setNameFilters(PaletteFilters());
    }
    PaletteFormat SelectedType() const {
        return kPaletteTypes[std::max<qsizetype>(PaletteFilters().indexOf(selectedNameFilter()), 0)].format;
    }
    void accept() override {
        setDefaultSuffix(QString::fromLatin1(PaletteExtension(SelectedType()) + 1));
        QFileDialog::accept();
    }
};

// The file to save the palette to and its format (the extension's, else the selected type's), or
// an empty string.
QString AskPaletteToSave(PaletteFormat* format) {
    CPaletteSaveDialog dialog;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().constFirst();
    const PaletteFormat named = PaletteFormatOfPath(QFile::encodeName(path).toStdString());
    *format = named != PaletteFormat::Unknown ? named : dialog.SelectedType();
    return path;
}

}  // namespace

void COrvikDoc::RegisterColourCommands() {
    OnCommand(ID_COLORS_INVERT, [this] { AdjustColours(Simple(ColourAdjustment::Invert)); });
    OnCommand(ID_COLORS_GREYSCALE, [this] { AdjustColours(Simple(ColourAdjustment::Greyscale)); });
    for (const int id : {ID_COLORS_BRIGHTNESS_CONTRAST, ID_COLORS_POSTERIZE}) {
        const auto kind =
            id == ID_COLORS_POSTERIZE ? ColourAdjustment::Posterize : ColourAdjustment::BrightnessContrast;
        OnCommand(id, [this, kind] {
            CAdjustColoursDlg dialog(this, kind, theApp->m_mainFrame);
            dialog.exec();
        });
    }
    OnCommand(ID_COLORS_LOAD_PALETTE, [this] {
        const QString path = AskPaletteToLoad();
        if (!path.isEmpty()) LoadPalette(path);
    });
    OnCommand(ID_COLORS_SAVE_PALETTE, [this] {
        PaletteFormat format = PaletteFormat::Gimp;
        const QString path = AskPaletteToSave(&format);
        if (!path.isEmpty()) SavePalette(path, format);
    });
    for (const int id : {ID_COLORS_SORT_HUE, ID_COLORS_SORT_BRIGHTNESS, ID_COLORS_SORT_USE,
                         ID_COLORS_MERGE_DUPLICATES, ID_COLORS_REMOVE_UNUSED})
        OnCommand(id, [this, id] { RearrangePalette(id); });

    for (const int id :
         {ID_COLORS_INVERT, ID_COLORS_GREYSCALE, ID_COLORS_BRIGHTNESS_CONTRAST, ID_COLORS_POSTERIZE,
          ID_COLORS_LOAD_PALETTE, ID_COLORS_SAVE_PALETTE, ID_COLORS_SORT_HUE, ID_COLORS_SORT_BRIGHTNESS,
          ID_COLORS_SORT_USE, ID_COLORS_MERGE_DUPLICATES})
        OnUpdate(id, [this](CCmdUI& ui) { ui.Enable(HasImage()); });
    // A 24-bit image's palette holds only the colours to paint with, which no pixel refers to.
    OnUpdate(ID_COLORS_REMOVE_UNUSED, [this](CCmdUI& ui) { ui.Enable(HasImage() && BitCount() == 8); });
}

// --- Adjustments ---------------------------------------------------------------------------------

COrvikDoc::ColourPart COrvikDoc::ColourTarget(RECT* area) const {
    if (HasFloat()) {
        *area = RECT{0, 0, m_pFloatHeader->biWidth, m_pFloatHeader->biHeight};
        return ColourPart::Float;
    }
    const RECT selected = SelectionArea();
    if (!IsEmptyRect(selected)) {
        *area = selected;
        return ColourPart::Selection;
    }
    *area = RECT{0, 0, Width(), Height()};
    return ColourPart::Image;
}

bool COrvikDoc::AdjustColours(const ColourAdjustment& adjustment) {
    if (!HasImage()) return false;
    const CCommandStep step(this);
    const CColourMap map(adjustment);
    RECT area;
    const int n = BitCount() / 8;
    switch (ColourTarget(&area)) {
        case ColourPart::Float: {
            // The history keeps the floating image as it was; the adjusted copy takes its place.
            BITMAPINFOHEADER* header = nullptr;
            uint8_t* bits = nullptr;
            if (!CopyFloatingImage(m_pFloatHeader, m_pFloatBits, &header, &bits)) {
                OrvikMessage(
                    tr("The colours could not be changed: %1.").arg(StatusText(ImageStatus::NoMemory)));
                return false;
            }
            AdjustPart(map, header->biBitCount, m_pPalette, m_pEntryAlpha, bits, header->biXPelsPerMeter,
                       bits, header->biXPelsPerMeter, header->biWidth, header->biHeight);
            ReplaceFloat(header, bits, m_pView ? m_pView->m_rcSelection : RECT{0, 0, 0, 0});
            UpdateAllViews();
            break;
        }
        case ColourPart::Selection: {
            Touch(area);
            uint8_t* start = m_pBits + static_cast<ptrdiff_t>(Height() - area.bottom) * Stride() +
                             static_cast<ptrdiff_t>(area.left) * n;
            AdjustPart(map, BitCount(), m_pPalette, m_pEntryAlpha, start, Stride(), start, Stride(),
                       area.right - area.left, area.bottom - area.top);
            UpdateAllViews();
            break;
        }
        case ColourPart::Image:
            if (BitCount() == 8) {
                // The palette alone: exact, and the indices stay.
                KeepPalette();
                map.ApplyToPalette(m_pPalette);
                MakeBrushes();
                theApp->m_mainFrame->m_wndPaletteDlg->Refresh();
            } else {
                // Into new rows, which is quicker than keeping the old ones as tiles first.
                const ImageStatus status = ReplaceRows(
                    [&](BITMAPINFOHEADER* header, uint8_t** bits) {
                        uint8_t* rows = nullptr;
                        const ImageStatus made = AllocateImage(header->biWidth, header->biHeight,
                                                               header->biBitCount, nullptr, &rows);
                        if (made != ImageStatus::Ok) return made;
                        map.ApplyToPixels(*bits, header->biXPelsPerMeter, rows, header->biXPelsPerMeter,
                                          header->biWidth, header->biHeight, header->biBitCount / 8);
                        *bits = rows;
                        return ImageStatus::Ok;
                    },
                    ID_COLORS_INVERT);
                if (status != ImageStatus::Ok) {
                    OrvikMessage(tr("The colours could not be changed: %1.").arg(StatusText(status)));
                    return false;
                }
            }
            ImageReplaced();
            break;
    }
    SetModifiedFlag();
    return true;
}

CColourPreview::CColourPreview(COrvikDoc* doc) : m_pDocument(doc) {
    m_part = doc->ColourTarget(&m_area);
    const auto keepRows = [this](const uint8_t* start, ptrdiff_t stride, size_t rowBytes, int rows) {
        m_original.resize(rowBytes * size_t(rows));
        for (int r = 0; r < rows; ++r)
            std::memcpy(&m_original[size_t(r) * rowBytes], start + r * stride, rowBytes);
    };
    const int n = doc->BitCount() / 8;
    switch (m_part) {
        case COrvikDoc::ColourPart::Float:
            keepRows(doc->m_pFloatBits, doc->m_pFloatHeader->biXPelsPerMeter,
                     size_t(doc->m_pFloatHeader->biWidth) * n, doc->m_pFloatHeader->biHeight);
            break;
        case COrvikDoc::ColourPart::Selection:
        case COrvikDoc::ColourPart::Image:
            if (m_part == COrvikDoc::ColourPart::Image && n == 1) {
                const auto* entries = reinterpret_cast<const uint8_t*>(doc->m_pPalette);
                m_original.assign(entries, entries + kPaletteBytes);
            } else {
                keepRows(doc->m_pBits +
                             static_cast<ptrdiff_t>(doc->Height() - m_area.bottom) * doc->Stride() +
                             static_cast<ptrdiff_t>(m_area.left) * n,
                         doc->Stride(), size_t(m_area.right - m_area.left) * n, m_area.bottom - m_area.top);
            }
            break;
    }
}

CColourPreview::~CColourPreview() {
    Restore();
}

void CColourPreview::Show(const ColourAdjustment& adjustment) {
    Write(&adjustment);
    m_bShown = true;
}

void CColourPreview::Restore() {
    if (!m_bShown) return;
    Write(nullptr);
    m_bShown = false;
}

void CColourPreview::Write(const ColourAdjustment* adjustment) {
    COrvikDoc* doc = m_pDocument;
    const int bitCount = doc->BitCount();
    if (m_part == COrvikDoc::ColourPart::Image && bitCount == 8) {
        std::memcpy(doc->m_pPalette, m_original.data(), kPaletteBytes);
        if (adjustment) CColourMap(*adjustment).ApplyToPalette(doc->m_pPalette);
        doc->MakeBrushes();
        theApp->m_mainFrame->m_wndPaletteDlg->Refresh();
    } else {
        const bool floating = m_part == COrvikDoc::ColourPart::Float;
        const int n = bitCount / 8;
        const int width = m_area.right - m_area.left;
        const int rows = m_area.bottom - m_area.top;
        const ptrdiff_t stride = floating ? doc->m_pFloatHeader->biXPelsPerMeter : doc->Stride();
        uint8_t* start = floating
                             ? doc->m_pFloatBits
                             : doc->m_pBits + static_cast<ptrdiff_t>(doc->Height() - m_area.bottom) * stride +
                                   static_cast<ptrdiff_t>(m_area.left) * n;
        const ptrdiff_t tight = ptrdiff_t{width} * n;
        if (adjustment) {
            AdjustPart(CColourMap(*adjustment), bitCount, doc->m_pPalette, doc->m_pEntryAlpha,
                       m_original.data(), tight, start, stride, width, rows);
        } else {
            for (int r = 0; r < rows; ++r)
                std::memcpy(start + r * stride, &m_original[size_t(r) * size_t(tight)], size_t(tight));
        }
    }
    if (doc->m_pView && m_part != COrvikDoc::ColourPart::Float) doc->m_pView->ImageChanged(m_area);
    doc->UpdateAllViews();
}

// --- Palette files -------------------------------------------------------------------------------

bool COrvikDoc::LoadPalette(const QString& path) {
    if (!HasImage()) return false;
    const QString name = QFileInfo(path).fileName();
    const PaletteReadResult result = ReadPaletteFile(QFile::encodeName(path).toStdString());
    if (result.error != PaletteError::None) {
        OrvikMessage(tr("Cannot load the palette %1.\n\n%2").arg(name, StatusText(result)));
        return false;
    }
    {
        const CCommandStep step(this);
        KeepPalette();
        // The entries keep their opacities (a transparent entry stays the picture's transparent
        // parts), unless the file names a transparent entry: then that one is, and the others are
        // opaque. A 24-bit image's painting colours are all opaque.
        const int transparent = result.palette.transparentIndex;
        if (BitCount() == 8 && transparent >= 0 && transparent < kPaletteEntries) {
            if (!WriteEntryAlpha(transparent, 0)) {
                OrvikMessage(
                    tr("Cannot load the palette %1.\n\n%2").arg(name, StatusText(ImageStatus::NoMemory)));
                return false;
            }
            for (int i = 0; i < kPaletteEntries; ++i)
                m_pEntryAlpha[i] = i == transparent ? 0 : uint8_t{kOpaque};
        }
        const std::vector<RGBQUAD>& colours = result.palette.colours;
        for (size_t i = 0; i < colours.size(); ++i)
            m_pPalette[i] = RGBQUAD{colours[i].rgbBlue, colours[i].rgbGreen, colours[i].rgbRed, 0};
        // An 8-bit picture changes colour, and its palette is saved with it: the step changes the file.
        if (BitCount() == 8) SetModifiedFlag();
    }
    MakeBrushes();
    theApp->m_mainFrame->m_wndPaletteDlg->Refresh();
    if (BitCount() == 8) ImageReplaced();
    if (result.palette.Truncated())
        OrvikMessage(tr("%1 holds %2 colours; a palette has 256, so the first 256 were loaded.")
                         .arg(name)
                         .arg(qulonglong(result.palette.fileColours)));
    return true;
}

bool COrvikDoc::SavePalette(const QString& path, PaletteFormat format) {
    if (!HasImage()) return false;
    PaletteFile file = PaletteFromEntries(m_pPalette);
    file.name =
        (m_strPathName.isEmpty() ? QString() : QFileInfo(m_strPathName).completeBaseName()).toStdString();
    file.columns = 8;  // as the palette bar shows it
    if (BitCount() == 8) file.transparentIndex = TransparentEntry(m_pEntryAlpha);  // ACT keeps it
    const std::string bytes = FormatPalette(file, format);
    // Written to a new file that replaces the old one only once it is complete.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !out.commit()) {
        OrvikMessage(tr("Could not save the palette %1.\n\n%2\n\nThe file on disk was left as it was.")
                         .arg(path, out.errorString()));
        return false;
    }
    return true;
}

// --- Sort, merge, remove -------------------------------------------------------------------------

void COrvikDoc::RearrangePalette(int command) {
    if (!HasImage() || (command == ID_COLORS_REMOVE_UNUSED && BitCount() != 8)) return;
    const int n = BitCount() / 8;
    // How much each entry is used, by the picture and the floating image.
    const auto countUse = [&](uint64_t counts[kPaletteEntries]) {
        CountEntryUse(m_pBits, Stride(), Width(), Height(), n, m_pPalette, counts);
        if (!HasFloat()) return;
        uint64_t floating[kPaletteEntries];
        CountEntryUse(m_pFloatBits, m_pFloatHeader->biXPelsPerMeter, m_pFloatHeader->biWidth,
                      m_pFloatHeader->biHeight, n, m_pPalette, floating);
        for (int i = 0; i < kPaletteEntries; ++i)
            counts[i] += floating[i];
    };
    PaletteRemap remap;
    switch (command) {
        case ID_COLORS_SORT_HUE:
            remap = SortPalette(m_pPalette, m_pEntryAlpha, PaletteOrder::Hue, nullptr);
            break;
        case ID_COLORS_SORT_BRIGHTNESS:
            remap = SortPalette(m_pPalette, m_pEntryAlpha, PaletteOrder::Brightness, nullptr);
            break;
        case ID_COLORS_SORT_USE: {
            uint64_t counts[kPaletteEntries];
            countUse(counts);
            remap = SortPalette(m_pPalette, m_pEntryAlpha, PaletteOrder::UseCount, counts);
            break;
        }
        case ID_COLORS_MERGE_DUPLICATES:
            remap = MergeDuplicateEntries(m_pPalette, m_pEntryAlpha);
            break;
        case ID_COLORS_REMOVE_UNUSED: {
            bool used[kPaletteEntries];
            FindUsedEntries(m_pBits, Stride(), Width(), Height(), used);
            if (HasFloat()) {
                bool floating[kPaletteEntries];
                FindUsedEntries(m_pFloatBits, m_pFloatHeader->biXPelsPerMeter, m_pFloatHeader->biWidth,
                                m_pFloatHeader->biHeight, floating);
                for (int i = 0; i < kPaletteEntries; ++i)
                    used[i] = used[i] || floating[i];
            }
            // The current colours are in use too.
            const CColorPaletteDlg* current = theApp->m_mainFrame->m_wndPaletteDlg;
            used[current->m_foreIndex & 0xFF] = true;
            used[current->m_backIndex & 0xFF] = true;
            // So is the transparent entry that erasing leaves, and with it the image's transparency.
            if (TransparentEntry(m_pEntryAlpha) >= 0) used[TransparentEntry(m_pEntryAlpha)] = true;
            remap = RemoveUnusedEntries(m_pPalette, m_pEntryAlpha, used);
            break;
        }
        default:
            return;
    }

    {
        const CCommandStep step(this);
        if (n == 1 && remap.MovesIndices()) {
            // The floating image's indices move too, in a copy (the history keeps it as it was).
            BITMAPINFOHEADER* header = nullptr;
            uint8_t* bits = nullptr;
            if (HasFloat() && !CopyFloatingImage(m_pFloatHeader, m_pFloatBits, &header, &bits)) {
                OrvikMessage(
                    tr("The palette could not be rearranged: %1.").arg(StatusText(ImageStatus::NoMemory)));
                return;
            }
            // New rows with the indices moved; the history keeps the old picture with its palette.
            const ImageStatus status = ReplaceRows(
                [&](BITMAPINFOHEADER* image, uint8_t** rows) {
                    uint8_t* moved = nullptr;
                    const ImageStatus made =
                        AllocateImage(image->biWidth, image->biHeight, 8, nullptr, &moved);
                    if (made != ImageStatus::Ok) return made;
                    RemapIndices(*rows, image->biXPelsPerMeter, moved, image->biXPelsPerMeter, image->biWidth,
                                 image->biHeight, remap.map);
                    *rows = moved;
                    return ImageStatus::Ok;
                },
                command);
            if (status != ImageStatus::Ok) {
                std::free(header);
                std::free(bits);
                OrvikMessage(tr("The palette could not be rearranged: %1.").arg(StatusText(status)));
                return;
            }
            if (header) {
                RemapIndices(bits, header->biXPelsPerMeter, bits, header->biXPelsPerMeter, header->biWidth,
                             header->biHeight, remap.map);
                std::memcpy(HeaderPalette(header), remap.palette, kPaletteBytes);
                ReplaceFloat(header, bits, m_pView ? m_pView->m_rcSelection : RECT{0, 0, 0, 0});
            }
        } else {
            KeepPalette();
        }
        std::memcpy(m_pPalette, remap.palette, kPaletteBytes);
        if (m_pEntryAlpha) std::memcpy(m_pEntryAlpha, remap.alpha, kPaletteEntries);
        // An 8-bit image's palette is saved with it, so the step changes the file.
        if (n == 1) SetModifiedFlag();
    }
    // The current colours stay the same colours.
    CColorPaletteDlg* colours = theApp->m_mainFrame->m_wndPaletteDlg;
    colours->m_foreIndex = remap.map[colours->m_foreIndex & 0xFF];
    colours->m_backIndex = remap.map[colours->m_backIndex & 0xFF];
    MakeBrushes();
    colours->Refresh();
    if (n == 1) ImageReplaced();
}
