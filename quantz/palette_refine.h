// Lloyd's k-means passes over the points, and the step from exact centres to palette entries.
#pragma once

#include <vector>

#include "quantz/colour_types.h"
#include "quantz/progress.h"

// Each pass gives every point to its nearest centre and moves each centre to the mean of its
// points; a centre that loses all its points stays where it was. `labels` holds each point's
// centre on entry (the palette builder's grouping) and on return. Stops after `passes` passes or
// when a pass no longer lowers the error noticeably; advances `progress` by up to
// RefineSteps(points.size(), passes) steps. Returns the mean squared error per pixel of the last
// assignment.
double RefineCentres(const std::vector<ColourPoint>& points, std::vector<uint8_t>& labels,
                     std::vector<Centre>& centres, int passes, Progress& progress);

int64_t RefineSteps(size_t points, int passes);

// The weighted mean squared distance from each point to its labelled centre.
double MeanSquaredError(const std::vector<ColourPoint>& points, const std::vector<uint8_t>& labels,
                        const std::vector<Centre>& centres);

// Joins groups of points two at a time until `target` remain, each time the two whose union adds the
// least squared error (Ward's rule: w1 w2 / (w1 + w2) |c1 - c2|^2). `labels` give each point's group
// on entry and on return, `centres` the groups' means; groups that hold no point are dropped.
void MergeClosestGroups(const std::vector<ColourPoint>& points, std::vector<uint8_t>& labels,
                        std::vector<Centre>& centres, int target);

// Rounds the centres into palette entries 0..count-1; the other entries stay zero.
Palette ToPalette(const std::vector<Centre>& centres);
