// Octree colour quantisation.
#pragma once

#include <vector>

#include "quantz/colour_types.h"
#include "quantz/progress.h"

// Sorts the points into an octree six levels deep (a leaf holds the points of a cube of 4 x 4 x 4
// colours), then reduces it to at most `maxColours` leaves: again and again the node whose children
// are all leaves and whose merge adds the least squared error becomes a leaf itself. When a whole
// merge would leave fewer than `maxColours` leaves, only the closest of its children are joined,
// so the palette is used in full. Returns each leaf's mean in `centres` and each point's leaf in
// `labels`. Moves `progress` on to `progressEnd` as the leaves go.
void OctreeQuantise(const std::vector<ColourPoint>& points, int maxColours, std::vector<Centre>& centres,
                    std::vector<uint8_t>& labels, Progress& progress, int progressEnd);
