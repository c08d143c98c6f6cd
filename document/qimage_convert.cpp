#include "document/qimage_convert.h"

#include <cstring>

QImage ImageToQImage(const BITMAPINFOHEADER& header, const RGBQUAD* colours, const uint8_t* bits) {
    const int width = header.biWidth;
    const int height = header.biHeight;
    const bool eightBit = header.biBitCount == 8;
    QImage image(width, height, eightBit ? QImage::Format_Indexed8 : QImage::Format_BGR888);
    if (image.isNull()) return image;
    if (eightBit) {
        QList<QRgb> table(256);
        for (int i = 0; i < 256; ++i) table[i] = qRgb(colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue);
        image.setColorTable(table);
    }
    // Our rows are stored bottom-up in blue, green, red order, as BGR888 holds them.
    const size_t rowBytes = static_cast<size_t>(width) * (eightBit ? 1 : 3);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), bits + static_cast<ptrdiff_t>(height - 1 - y) * header.biXPelsPerMeter, rowBytes);
    return image;
}
