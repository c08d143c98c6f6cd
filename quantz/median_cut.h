// Heckbert's median cut.
#pragma once

#include <vector>

#include "quantz/colour_types.h"
#include "quantz/progress.h"

// Starts from one box around all points and splits boxes until there are `maxColours` of them or
// none can be split: each time the box with the largest squared error, across the axis along which
// it varies most, at the weighted median. Reorders the points; returns each box's mean in
// `centres` and each point's box in `labels`. Advances `progress` by one step per split
// (maxColours - 1 in all).
void MedianCut(std::vector<ColourPoint>& points, int maxColours, std::vector<Centre>& centres,
               std::vector<uint8_t>& labels, Progress& progress);
