// Types shared by the palette builders and the pixel mappers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/image_buffer.h"

// The input image: bottom-up rows of 1, 3 or 4 bytes per pixel. 3 is blue, green, red; 4 adds an
// alpha byte (straight, 255 opaque); 1 is an index into `palette`, whose entries may carry an
// opacity each in `entryAlpha`. A pixel of opacity 0 is transparent: it takes no part in the
// palette and becomes the transparent entry; any other is taken for its colour alone.
struct SourceImage {
    const uint8_t* bits;
    int width;
    int height;
    ptrdiff_t stride;
    int bytesPerPixel = 3;
    const RGBQUAD* palette = nullptr;     // the colours of an 8-bit image
    const uint8_t* entryAlpha = nullptr;  // an 8-bit image's 256 opacities, or null: all opaque

    const uint8_t* Row(int row) const { return bits + row * stride; }
    // Whether any pixel may be transparent.
    bool HasAlpha() const { return bytesPerPixel == 4 || (bytesPerPixel == 1 && entryAlpha); }
    // For an image that HasAlpha(): whether pixel x of `row` (as Row() gives it) is transparent.
    bool TransparentAt(const uint8_t* row, int x) const {
        return bytesPerPixel == 4 ? row[4 * x + 3] == 0 : entryAlpha[row[x]] == 0;
    }
};

// Row `row` of the image as blue, green, red triplets: the rows themselves for 3 bytes per pixel,
// otherwise the colours written into `scratch` (3 * width bytes). A transparent pixel gives the
// colour it carries.
inline const uint8_t* ColourRow(const SourceImage& image, int row, uint8_t* scratch) {
    const uint8_t* in = image.Row(row);
    if (image.bytesPerPixel == 3) return in;
    uint8_t* out = scratch;
    if (image.bytesPerPixel == 4) {
        for (int x = 0; x < image.width; ++x, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    } else {
        for (int x = 0; x < image.width; ++x, out += 3) {
            const RGBQUAD& e = image.palette[in[x]];
            out[0] = e.rgbBlue;
            out[1] = e.rgbGreen;
            out[2] = e.rgbRed;
        }
    }
    return scratch;
}

// The output rows: one palette index per pixel. Only rows firstY..endY - 1, counted from the top,
// need to be filled in; the mappers may fill others too, with what they would hold in a whole image.
struct Image8 {
    uint8_t* bits;
    int width;
    int height;
    ptrdiff_t stride;
    int firstY = 0;
    int endY = height;

    uint8_t* Row(int row) const { return bits + row * stride; }
    // Whether memory row `row` (0 the bottom one) is among those to fill.
    bool Wanted(int row) const {
        const int y = height - 1 - row;
        return y >= firstY && y < endY;
    }
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

// The palette handed to the mappers: `count` entries to map onto, the rest zero. Transparent
// pixels are given `transparent`, an entry no opaque pixel can be given (one past the colours, or
// one that repeats an earlier colour, which the nearest search never picks), and pass no error on.
struct Palette {
    RGBQUAD entries[kPaletteEntries] = {};
    int count = 0;
    int transparent = -1;
};

inline double SquaredDistance(const ColourPoint& p, const Centre& c) {
    const double dr = p.red - c.red;
    const double dg = p.green - c.green;
    const double db = p.blue - c.blue;
    return dr * dr + dg * dg + db * db;
}
