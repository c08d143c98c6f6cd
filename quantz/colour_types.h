// Types shared by the palette builders and the pixel mappers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/image_buffer.h"

// The input image: bottom-up rows of blue, green, red bytes.
struct Image24 {
    const uint8_t* bits;
    int width;
    int height;
    ptrdiff_t stride;

    const uint8_t* Row(int row) const { return bits + row * stride; }
};

// The output rows: one palette index per pixel.
struct Image8 {
    uint8_t* bits;
    int width;
    int height;
    ptrdiff_t stride;

    uint8_t* Row(int row) const { return bits + row * stride; }
};

// A group of similar pixels: their mean colour and how many there are.
struct ColourPoint {
    float red;
    float green;
    float blue;
    uint32_t weight;
};

// A palette under construction, with exact (unrounded) colours.
struct Centre {
    double red;
    double green;
    double blue;
};

// The palette handed to the mappers: `count` entries in use, the rest zero.
struct Palette {
    RGBQUAD entries[kPaletteEntries] = {};
    int count = 0;
};

inline double SquaredDistance(const ColourPoint& p, const Centre& c) {
    const double dr = p.red - c.red;
    const double dg = p.green - c.green;
    const double db = p.blue - c.blue;
    return dr * dr + dg * dg + db * db;
}
