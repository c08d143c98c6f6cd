// Conversions between the image model and QImage, for printing and for other programs.
#pragma once

#include <QImage>

#include "document/image_buffer.h"

// A top-down QImage with the same pixels: indexed with the colour table for 8 bit, BGR888 for 24 bit.
QImage ImageToQImage(const BITMAPINFOHEADER& header, const RGBQUAD* colours, const uint8_t* bits);
