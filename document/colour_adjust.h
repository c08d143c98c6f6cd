// The colour adjustments of the Colors menu, and the palette commands that reorder or compact a
// palette while every pixel keeps its colour.
//
// An adjustment is a rule from a colour to a colour. On true-colour pixels (3 or 4 bytes; the
// fourth, the opacity, is kept, and a transparent pixel stays all zero bytes) it changes the
// pixels; on an 8-bit image it changes the palette, or, for a part of the image, maps the part's
// indices to the entries nearest the new colours. An 8-bit image's entry opacities (`entryAlpha`,
// null when all are opaque) stay with their colours.
#pragma once

#include <cstddef>
#include <cstdint>

#include "document/image_buffer.h"

struct ColourAdjustment {
    enum Kind { Invert, Greyscale, BrightnessContrast, Posterize };
    Kind kind = Invert;
    int brightness = 0;  // -100..100: added as that percentage of full scale
    int contrast = 0;    // -100..100: -100 flat grey, 0 unchanged, 100 a threshold at the middle
    int levels = 4;      // Posterize: 2..64 evenly spaced values per channel
};

// An adjustment made into tables for the pixel loops.
class CColourMap {
public:
    explicit CColourMap(const ColourAdjustment& adjustment);

    RGBQUAD Apply(const RGBQUAD& colour) const;
    // Adjusts `rows` rows of `width` pixels (3 or 4 bytes each) from `src` into `dst`, which may be
    // the same block.
    void ApplyToPixels(const uint8_t* src, ptrdiff_t srcStride, uint8_t* dst, ptrdiff_t dstStride, int width,
                       int rows, int bytesPerPixel) const;
    // Every entry of a palette adjusted.
    void ApplyToPalette(RGBQUAD* palette) const;
    // For an 8-bit part: index i becomes the entry of `palette` nearest the adjusted colour of entry i
    // among the entries as opaque as entry i (all of them when no other is).
    void IndexMap(const RGBQUAD* palette, const uint8_t* entryAlpha, uint8_t map[kPaletteEntries]) const;

private:
    bool m_bGrey;
    bool m_bInvert;
    uint8_t m_table[256];  // per channel, when not greyscale
};

// Writes each index of `rows` rows of `width` 8-bit pixels through `map`, from `src` into `dst`
// (which may be the same block).
void RemapIndices(const uint8_t* src, ptrdiff_t srcStride, uint8_t* dst, ptrdiff_t dstStride, int width,
                  int rows, const uint8_t map[kPaletteEntries]);

// How many pixels use each palette entry: for 8-bit rows each index; for true-colour rows each
// entry whose colour a pixel has exactly (a colour held by several entries counts for the first;
// a transparent pixel counts for none).
void CountEntryUse(const uint8_t* bits, ptrdiff_t stride, int width, int rows, int bytesPerPixel,
                   const RGBQUAD* palette, uint64_t counts[kPaletteEntries]);

// Which of the 256 indices `rows` rows of `width` 8-bit pixels use; stops looking once all are.
void FindUsedEntries(const uint8_t* bits, ptrdiff_t stride, int width, int rows, bool used[kPaletteEntries]);

enum class PaletteOrder {
    Hue,         // greys first (dark to light), then by hue from red, equal hues dark to light
    Brightness,  // dark to light
    UseCount,    // most used first
};

// A palette rearranged: the new entries with their opacities, and for each old index the new index
// of its colour.
struct PaletteRemap {
    RGBQUAD palette[kPaletteEntries];
    uint8_t alpha[kPaletteEntries];
    uint8_t map[kPaletteEntries];
    // True when some index moves, so that the pixels of an 8-bit image must be remapped.
    bool MovesIndices() const;
};

// Each takes the entries' opacities (null when all are opaque), which move with their entries.
// The entries sorted; equal keys keep their order. `counts` (CountEntryUse) is needed for UseCount.
PaletteRemap SortPalette(const RGBQUAD* palette, const uint8_t* entryAlpha, PaletteOrder order,
                         const uint64_t* counts);
// Each colour of each opacity once, in the order of its first entry; the later entries of a colour
// go to the first, and the entries left over at the end become opaque black.
PaletteRemap MergeDuplicateEntries(const RGBQUAD* palette, const uint8_t* entryAlpha);
// The entries in use, in their order; the unused ones follow, opaque black.
PaletteRemap RemoveUnusedEntries(const RGBQUAD* palette, const uint8_t* entryAlpha,
                                 const bool used[kPaletteEntries]);
