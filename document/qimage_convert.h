// Conversions between the image model and QImage, for printing, the clipboard and other programs.
#pragma once

#include <QImage>

#include "document/image_buffer.h"

// A top-down QImage with the same pixels: indexed with the colour table for 8 bit, BGR888 for 24 bit.
QImage ImageToQImage(const BITMAPINFOHEADER& header, const RGBQUAD* colours, const uint8_t* bits);

// A QImage in the model's form: an indexed image (at most 256 colours) as 8 bit with its colour table,
// anything else as 24 bit; transparency is composited over white. On Ok stores a calloc'd header
// block (1064 bytes for 8 bit, 40 for 24 bit) and pixel block for the caller; otherwise nothing.
ImageStatus QImageToImage(const QImage& image, BITMAPINFOHEADER** header, uint8_t** bits);
