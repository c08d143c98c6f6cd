// The Edit commands: Copy, Cut, Clear and Paste As New Selection, and reading the clipboard's picture
// into the floating image (also for Paste As New Image, which the application runs).
//
// Copy places the block as "image/bmp" (a BMP file image, which is how bitmaps travel between
// programs here) and the same pixels as an ordinary image for programs that want another type. A
// picture with transparency goes as "image/png" instead, which keeps it. Pasting reads a PNG with
// transparency as it is, a bitmap through the program's own parser and any other picture through
// Qt's image readers.
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QMimeData>

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "app/messages.h"
#include "document/clipboard_dib.h"
#include "document/dib_parser.h"
#include "document/image_ops.h"
#include "document/orvik_doc.h"
#include "document/pixel_routines.h"
#include "document/qimage_convert.h"
#include "res/resource.h"
#include "views/orvik_view.h"

namespace {

const QString kBmpType = QStringLiteral("image/bmp");
const QString kPngType = QStringLiteral("image/png");
const QString kQtImageType = QStringLiteral("application/x-qt-image");  // an image held by this process

// The names other programs give a BMP file image.
bool IsBitmapType(const QString& type) {
    for (const char* name : {"image/bmp", "image/x-bmp", "image/x-ms-bmp", "image/x-win-bitmap"}) {
        if (type.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

// The encoded picture types on offer that Qt can decode (bitmaps aside), PNG first.
QStringList DecodableTypes(const QMimeData* data) {
    const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
    QStringList types;
    for (const QString& type : data->formats()) {
        if (IsBitmapType(type) || !readable.contains(type.toLatin1().toLower())) continue;
        if (type.compare(QLatin1String("image/png"), Qt::CaseInsensitive) == 0)
            types.prepend(type);
        else
            types.append(type);
    }
    return types;
}

// What Copy places: the bitmap block, and on request the same pixels as a QImage, which Qt encodes
// into whatever picture type another program asks for. The block is a snapshot, so later changes
// of the image do not reach the clipboard; the QImage is made the first time it is asked for.
class CClipboardBitmap : public QMimeData {
public:
    explicit CClipboardBitmap(QByteArray block) : m_block(std::move(block)) {
        std::memcpy(&m_header, m_block.constData() + kBmpFileHeaderBytes, kHeaderBytes);
    }

    QStringList formats() const override {
        QStringList types{kBmpType};
        if (m_header.biWidth > 0 && m_header.biHeight > 0) types << kQtImageType;
        return types;
    }
    bool hasFormat(const QString& type) const override { return formats().contains(type); }

protected:
    QVariant retrieveData(const QString& type, QMetaType) const override {
        if (type == kBmpType) return m_block;
        if (type != kQtImageType || !formats().contains(type)) return {};
        if (m_image.isNull()) {
            const auto* block = reinterpret_cast<const uint8_t*>(m_block.constData());
            const size_t offset =
                kBmpFileHeaderBytes + (m_header.biBitCount == 8 ? kHeaderBlockBytes8 : kHeaderBytes);
            BITMAPINFOHEADER rows = m_header;
            rows.biXPelsPerMeter = static_cast<int32_t>(RowStride(rows.biWidth, rows.biBitCount));
            m_image = ImageToQImage(
                rows, reinterpret_cast<const RGBQUAD*>(block + kBmpFileHeaderBytes + kHeaderBytes),
                block + offset);
        }
        return m_image;
    }

private:
    QByteArray m_block;
    BITMAPINFOHEADER m_header;  // the block's own, as written by WriteClipboardBmp
    mutable QImage m_image;
};

// What Copy places for a picture with transparency: the pixels as a QImage (straight alpha, or
// indexed with the entries' opacities), a snapshot like the bitmap block, and on request as PNG.
class CClipboardPicture : public QMimeData {
public:
    explicit CClipboardPicture(QImage image) : m_image(std::move(image)) {}

    QStringList formats() const override { return {kPngType, kQtImageType}; }
    bool hasFormat(const QString& type) const override { return formats().contains(type); }

protected:
    QVariant retrieveData(const QString& type, QMetaType) const override {
        if (type == kQtImageType) return m_image;
        if (type != kPngType) return {};
        if (m_png.isEmpty()) {
            QBuffer buffer(&m_png);
            buffer.open(QIODevice::WriteOnly);
            m_image.save(&buffer, "PNG");
        }
        return m_png;
    }

private:
    QImage m_image;
    mutable QByteArray m_png;
};

void RefusePaste(const QString& reason) {
    OrvikMessage(COrvikDoc::tr("Cannot paste the picture on the clipboard: %1.").arg(reason));
}

}  // namespace

void COrvikDoc::RegisterClipboardCommands() {
    OnCommand(ID_EDIT_COPY, [this] { OnEditCopy(); });
    OnCommand(ID_EDIT_CUT, [this] { OnEditCut(); });
    OnCommand(ID_EDIT_PASTE_SELECTION, [this] { OnEditPasteSelection(); });
    OnCommand(ID_IMAGE_CLEAR, [this] { OnImageClear(); });
    // Paste As New Image belongs to the application; the document only keeps it enabled. Paste As
    // New Selection stays enabled too and checks the clipboard when it runs, so the clipboard owner
    // is not asked for its types every time the program waits for input.
    for (int id : {ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_PASTE_SELECTION, ID_IMAGE_CLEAR})
        OnUpdate(id, [](CCmdUI& ui) { ui.Enable(); });
}

RECT COrvikDoc::SelectionArea() const {
    if (!m_pView || !m_pView->m_bSelection || !HasImage()) return RECT{0, 0, 0, 0};
    return ClipRect(NormalizeRect(m_pView->m_rcSelection), Width(), Height());
}

// --- Copy, Cut, Clear ------------------------------------------------------------------------------

bool COrvikDoc::OnEditCopy() {
    if (!HasImage()) return false;
    const BITMAPINFOHEADER* source = m_pHeader;
    const RGBQUAD* colours = m_pPalette;
    const uint8_t* bits = m_pBits;
    RECT area = SelectionArea();
    if (HasFloat()) {
        // The floating block whole, also where it hangs over the image's edges.
        if (!IsModelHeader(*m_pFloatHeader)) return false;
        source = m_pFloatHeader;
        colours = m_pFloatHeader->biBitCount == 8 ? m_pPalette : nullptr;
        bits = m_pFloatBits;
        area = RECT{0, 0, m_pFloatHeader->biWidth, m_pFloatHeader->biHeight};
    }
    const int bitCount = source->biBitCount;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width > 0 && height > 0 && (bitCount == 32 || (bitCount == 8 && !EntriesOpaque(m_pEntryAlpha)))) {
        // The area of the block as a picture of its own.
        BITMAPINFOHEADER part = *source;
        part.biWidth = width;
        part.biHeight = height;
        const int bytesPerPixel = bitCount / 8;
        const uint8_t* first =
            bits + static_cast<ptrdiff_t>(source->biHeight - area.bottom) * source->biXPelsPerMeter +
            static_cast<ptrdiff_t>(area.left) * bytesPerPixel;
        QImage image = ImageToQImage(part, colours, first, m_pEntryAlpha);
        if (image.isNull()) return false;
        QGuiApplication::clipboard()->setMimeData(new CClipboardPicture(std::move(image)));
        return true;
    }
    if (bitCount != 8 && bitCount != 24) return false;
    const size_t bytes = ClipboardBmpBytes(width, height, bitCount);

    QByteArray block;
    try {
        block = QByteArray(static_cast<qsizetype>(bytes), Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        OrvikMessage(tr("Cannot place the picture on the clipboard: %1.\n\n"
                        "The image and the clipboard were left as they were.")
                         .arg(StatusText(ImageStatus::NoMemory)));
        return false;
    }
    WriteClipboardBmp(reinterpret_cast<uint8_t*>(block.data()), *source, colours, bits, area);
    QGuiApplication::clipboard()->setMimeData(new CClipboardBitmap(std::move(block)));
    return true;
}

void COrvikDoc::OnEditCut() {
    const CCommandStep step(this);
    // Nothing is cleared or discarded unless the copy was placed.
    if (!OnEditCopy()) return;
    if (HasFloat()) {
        // The floating block goes (to the history); the image under it stays as it is.
        KeepFloat();
        if (m_pView) {
            m_pView->m_bMoving = false;
            m_pView->m_bSelection = false;
        }
    } else {
        const RECT area = SelectionArea();
        const int width = area.right - area.left;
        const int height = area.bottom - area.top;
        if (width > 0 && height > 0) {
            // Value 0 whatever the background colour: index 0, or black in a 24-bit image; on an image
            // with transparency a transparent pixel.
            const uint32_t value = ErasesToTransparent(Target()) ? ErasedValue(Target(), 0) : 0;
            Touch(area);
            FillBlock(m_pBits, area.left, Height() - area.bottom, Stride(), width, height, BitCount() / 8,
                      value);
            SetModifiedFlag();
        }
    }
    UpdateAllViews();
}

void COrvikDoc::OnImageClear() {
    if (!HasImage()) return;
    const CCommandStep step(this);
    SetModifiedFlag();
    const RECT area = m_pView && m_pView->m_bSelection ? SelectionArea() : RECT{0, 0, Width(), Height()};
    // The background colour, or transparent pixels on an image with transparency.
    const uint32_t value = ErasedValue(Target(), COrvikView::ColourIndex(false));
    // A floating block stays where it is.
    Touch(area);
    FillBlock(m_pBits, area.left, Height() - area.bottom, Stride(), area.right - area.left,
              area.bottom - area.top, BitCount() / 8, value);
    UpdateAllViews();
}

// --- Reading the clipboard -------------------------------------------------------------------------

bool COrvikDoc::ClipboardHasImage() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return false;
    for (const QString& type : data->formats()) {
        if (IsBitmapType(type) || type == kQtImageType) return true;
    }
    return !DecodableTypes(data).isEmpty();
}

bool COrvikDoc::ReadClipboardImage(BITMAPINFOHEADER** picture, uint8_t** pictureBits, uint8_t** entryAlpha) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return false;
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
    uint8_t* alpha = nullptr;
    QString reason;  // why the last picture on offer could not be read
    const auto take = [&](const QImage& image) {
        if (image.isNull()) {
            reason = tr("the picture could not be decoded");
            return false;
        }
        const ImageStatus status = QImageToImage(image, &header, &bits, &alpha);
        if (status != ImageStatus::Ok) reason = StatusText(status);
        return status == ImageStatus::Ok;
    };

    // A PNG with transparency first: a bitmap beside it holds the same picture without it.
    const QStringList decodable = DecodableTypes(data);
    if (!decodable.isEmpty() && decodable.first().compare(kPngType, Qt::CaseInsensitive) == 0) {
        if (take(QImage::fromData(data->data(decodable.first()))) && header->biBitCount != 32 && !alpha) {
            std::free(header);
            std::free(bits);
            header = nullptr;
            bits = nullptr;
        }
    }

    // A bitmap is read by our own parser only.
    const QStringList formats = data->formats();
    bool bitmapOffered = false;
    for (const QString& type : formats) {
        if (header) break;
        if (!IsBitmapType(type)) continue;
        bitmapOffered = true;
        const QByteArray block = data->data(type);
        const DibStatus status = ParseDib(reinterpret_cast<const uint8_t*>(block.constData()),
                                          static_cast<size_t>(block.size()), &header, &bits);
        if (status == DibStatus::Ok) break;
        reason = StatusText(status);
    }
    // Then any encoded picture Qt can decode, then an image this process placed as a QImage. (For
    // another program's data the platform offers that image too, decoded by Qt from whatever types
    // there are, bitmaps included; a bitmap our parser refused is not read that way.)
    if (!header) {
        for (const QString& type : decodable) {
            if (take(QImage::fromData(data->data(type)))) break;
        }
    }
    if (!header && !bitmapOffered && formats.contains(kQtImageType))
        take(qvariant_cast<QImage>(data->imageData()));

    if (!header) {
        if (!reason.isEmpty()) RefusePaste(reason);
        return false;
    }
    *picture = header;
    *pictureBits = bits;
    *entryAlpha = alpha;
    return true;
}

// --- Pasting -------------------------------------------------------------------------------------

void COrvikDoc::OnEditPasteSelection() {
    COrvikView* view = m_pView;
    if (!view || !HasImage()) return;
    // Without a picture to paste the selection stays as it is, and there is no step to undo.
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
    uint8_t* floatAlpha = nullptr;
    if (!ReadClipboardImage(&header, &bits, &floatAlpha)) return;
    const CCommandStep step(this);
    const bool dropped = view->m_bSelection;
    // Dropping the selection and pasting are one step: undo brings back the selection as it is now,
    // with its floating block (which a drop hands to the history itself).
    if (!dropped || !HasFloat()) KeepFloat();
    if (dropped) {
        view->DropSelection();
        view->m_bSelection = false;
        view->m_bMoving = false;
        UpdateAllViews();
    }
    FreeFloat();
    m_pFloatHeader = header;
    m_pFloatBits = bits;

    // The floating block always has the image's depth and an 8-bit one holds indices into the
    // image's palette, so what floats on screen is exactly what a drop writes.
    const bool fitted = FitFloatToImage(floatAlpha);
    std::free(floatAlpha);
    if (!fitted) {
        const int width = m_pFloatHeader->biWidth;
        const int height = m_pFloatHeader->biHeight;
        FreeFloat();
        const ImageStatus status = CheckImageSize(width, height, BitCount());
        RefusePaste(StatusText(status == ImageStatus::Ok ? ImageStatus::NoMemory : status));
        return;
    }
    view->ForgetToolPoints();
    view->m_bDragging = false;
    view->m_bMoving = true;
    view->m_bSelection = true;
    view->m_rcSelection = RECT{50, 50, 50 + m_pFloatHeader->biWidth, 50 + m_pFloatHeader->biHeight};
    // The pasted pixels reach the image only when the selection is dropped.
    view->viewport()->update();
}

bool COrvikDoc::FitFloatToImage(const uint8_t* ownAlpha) {
    const int depth = m_pFloatHeader->biBitCount;
    if (BitCount() == 8) {
        if (depth != 8) return Reduce24To8(&m_pFloatBits, &m_pFloatHeader, m_pPalette, m_pEntryAlpha);
        // 8 bit on 8 bit: the same indices when both tables hold the same colours and opacities (a
        // copy and paste inside one image stays exact), otherwise each entry's nearest colour in
        // the image's table.
        const RGBQUAD* own = HeaderPalette(m_pFloatHeader);
        bool same = true;
        for (int i = 0; i < kPaletteEntries && same; ++i)
            same = own[i].rgbRed == m_pPalette[i].rgbRed && own[i].rgbGreen == m_pPalette[i].rgbGreen &&
                   own[i].rgbBlue == m_pPalette[i].rgbBlue &&
                   EntryAlpha(ownAlpha, i) == EntryAlpha(m_pEntryAlpha, i);
        return same || MapOntoPalette(&m_pFloatHeader, &m_pFloatBits, m_pPalette, m_pEntryAlpha, ownAlpha);
    }
    // 24 or 32 bits: an 8-bit block through its own colours (and opacities), then to the image's
    // depth; transparency is composited over white on a 24-bit image.
    if (depth == 8 && !Expand8To24(&m_pFloatBits, &m_pFloatHeader, true, ownAlpha)) return false;
    return ConvertTrueColour(&m_pFloatBits, &m_pFloatHeader, BitCount());
}

bool COrvikDoc::TakeClipboardImage() {
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
    uint8_t* alpha = nullptr;
    if (!ReadClipboardImage(&header, &bits, &alpha)) return false;
    // An 8-bit picture keeps its own colours and their opacities; a 24 or 32-bit one gets the
    // default palette to paint with.
    RGBQUAD* palette = header->biBitCount == 8 ? HeaderPalette(header) : MakeDefaultPalette();
    if (!palette) {
        std::free(header);
        std::free(bits);
        std::free(alpha);
        RefusePaste(StatusText(ImageStatus::NoMemory));
        return false;
    }
    SetImage(header, palette, bits, alpha);
    return true;
}
