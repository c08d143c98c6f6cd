// One pass over the image that gathers what the adaptive palettes are built from.
#pragma once

#include <vector>

#include "quantz/colour_types.h"
#include "quantz/progress.h"

// Each axis is cut into 128 steps of 2 levels; a cell of 2 x 2 x 2 colours becomes one point at
// the exact mean of its pixels. Treating a cell's pixels as its mean costs far less than the
// distance between the colours of a 256-entry palette, and a photograph has some ten times fewer
// cells than colours.
constexpr int kCellShift = 1;
constexpr int kCellBits = 8 - kCellShift;
constexpr int kCellAxis = 1 << kCellBits;

struct ColourSummary {
    std::vector<ColourPoint> points;  // the non-empty cells
    // Whether the image has at most 256 distinct colours (transparent pixels aside), and then
    // those colours in rising 0x00RRGGBB order (a palette that reproduces the image exactly);
    // otherwise empty.
    bool exact = false;
    std::vector<RGBQUAD> exactColours;
    int64_t transparentPixels = 0;  // pixels of alpha 0, left out of the rest
};

// Advances `progress` by one step per row.
ColourSummary SummariseColours(const SourceImage& image, Progress& progress);

// A point's cell position on one axis (0 red, 1 green, 2 blue); a point's mean lies inside the cell
// it came from.
inline int AxisValueCell(float value) {
    return static_cast<int>(value) >> kCellShift;
}
