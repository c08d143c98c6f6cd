#include "document/qimage_convert.h"

#include <cstring>

#include "document/clipboard_dib.h"

QImage ImageToQImage(const BITMAPINFOHEADER& header, const RGBQUAD* colours, const uint8_t* bits,
                     const uint8_t* entryAlpha) {
    const int width = header.biWidth;
    const int height = header.biHeight;
    const int bytes = header.biBitCount / 8;
    const bool eightBit = bytes == 1;
    QImage image(width, height,
                 eightBit     ? QImage::Format_Indexed8
                 : bytes == 4 ? QImage::Format_ARGB32
                              : QImage::Format_BGR888);
    if (image.isNull()) return image;
    if (eightBit) {
        QList<QRgb> table(256);
        for (int i = 0; i < 256; ++i)
            table[i] =
                qRgba(colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue, EntryAlpha(entryAlpha, i));
        image.setColorTable(table);
    }
    // Our rows are stored bottom-up in blue, green, red (and alpha) order, as BGR888 and, on a
    // little-endian machine, ARGB32 hold them.
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN);
    const size_t rowBytes = static_cast<size_t>(width) * bytes;
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), bits + static_cast<ptrdiff_t>(height - 1 - y) * header.biXPelsPerMeter,
                    rowBytes);
    return image;
}

ImageStatus QImageToImage(const QImage& image, BITMAPINFOHEADER** header, uint8_t** bits,
                          uint8_t** entryAlpha) {
    if (image.isNull()) return ImageStatus::BadSize;
    const QImage::Format format = image.format();
    const bool indexed = (format == QImage::Format_Mono || format == QImage::Format_MonoLSB ||
                          format == QImage::Format_Indexed8) &&
                         image.colorCount() <= kPaletteEntries;
    // Refuse what the model cannot hold before converting anything.
    const ImageStatus size = CheckImageSize(image.width(), image.height(),
                                            indexed      ? 8
                                            : entryAlpha ? 32
                                                         : 24);
    if (size != ImageStatus::Ok) return size;
    if (indexed) {
        const QImage eightBit = image.convertToFormat(QImage::Format_Indexed8);
        if (eightBit.isNull()) return ImageStatus::NoMemory;
        const QList<QRgb> table = eightBit.colorTable();
        static_assert(sizeof(QRgb) == sizeof(uint32_t));
        return ImageFromIndexedRows(eightBit.constBits(), eightBit.bytesPerLine(), eightBit.width(),
                                    eightBit.height(), table.constData(), static_cast<int>(table.size()),
                                    header, bits, entryAlpha);
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull()) return ImageStatus::NoMemory;
    bool keepAlpha = false;
    if (entryAlpha) {
        *entryAlpha = nullptr;
        for (int y = 0; y < argb.height() && !keepAlpha && argb.hasAlphaChannel(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width() && !keepAlpha; ++x)
                keepAlpha = qAlpha(row[x]) != 255;
        }
    }
    return ImageFromArgbRows(argb.constBits(), argb.bytesPerLine(), argb.width(), argb.height(), header, bits,
                             keepAlpha);
}
