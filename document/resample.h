// Smooth rescaling of true-colour pixel rows, for Resize Image's "Smooth" method.
//
// Each axis on its own: shrinking is a box filter (each output pixel the exact mean of the input
// area it covers, fractional pixels at its edges counted by the part covered), enlarging is
// bilinear between the centres of the input pixels (edges held), an unchanged length is copied.
// The means are taken in linear light: the sRGB values are decoded to light before they are
// averaged and encoded again after, so a fine black-and-white pattern shrinks to the grey it shows
// from afar rather than to a darker one. With 4 bytes a pixel the fourth is the opacity: colours
// are weighted by it, and it is averaged as it is.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes src (srcWidth x srcHeight, 3 or 4 bytes a pixel) rescaled into dst (dstWidth x
// dstHeight, the same bytes a pixel). Other pixel sizes, or a size below 1, write nothing. The
// padding bytes of dst are left as they are.
void ResampleSmooth(const uint8_t* src, int srcWidth, int srcHeight, ptrdiff_t srcStride, uint8_t* dst,
                    int dstWidth, int dstHeight, ptrdiff_t dstStride, int bytesPerPixel);

// The sRGB value 0..255 of a linear-light value 0..1 (rounded; outside 0..1 clamped), and the
// linear-light value of an sRGB value: the two conversions ResampleSmooth uses.
uint8_t EncodeSrgb(float linear);
float DecodeSrgb(uint8_t value);
