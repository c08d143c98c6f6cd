// Conversions between the image model and QImage, for printing, the clipboard and other programs.
#pragma once

#include <QImage>

#include "document/image_buffer.h"

// A top-down QImage with the same pixels: indexed with the colour table for 8 bit (the entries'
// opacities from `entryAlpha` when it is not null), BGR888 for 24 bit, ARGB32 (straight alpha) for
// 32 bit.
QImage ImageToQImage(const BITMAPINFOHEADER& header, const RGBQUAD* colours, const uint8_t* bits,
                     const uint8_t* entryAlpha = nullptr);

// A QImage in the model's form: an indexed image (at most 256 colours) as 8 bit with its colour table,
// anything else as 24 bit; transparency is composited over white. On Ok stores a calloc'd header
// block (1064 bytes for 8 bit, 40 otherwise) and pixel block for the caller; otherwise nothing.
// With `entryAlpha` transparency is kept instead: an indexed image's table alphas go into an entry
// alpha block stored through it (null when all are opaque), and any other image with a pixel that
// is not opaque becomes a 32-bit one.
ImageStatus QImageToImage(const QImage& image, BITMAPINFOHEADER** header, uint8_t** bits,
                          uint8_t** entryAlpha = nullptr);
