#include "quantz/median_cut.h"

#include <algorithm>
#include <array>

#include "quantz/colour_histogram.h"

namespace {

inline int AxisCell(const ColourPoint& p, int axis) {
    return AxisValueCell(axis == 0 ? p.red : axis == 1 ? p.green : p.blue);
}

inline float AxisValue(const ColourPoint& p, int axis) {
    return axis == 0 ? p.red : axis == 1 ? p.green : p.blue;
}

struct Box {
    size_t begin;
    size_t end;
    double weight = 0;
    std::array<double, 3> sum{};
    std::array<double, 3> squares{};
    std::array<int, 3> lowCell{};
    std::array<int, 3> highCell{};

    // Weighted sum of squared distances to the mean, per axis.
    double AxisError(int axis) const { return std::max(0.0, squares[axis] - sum[axis] * sum[axis] / weight); }
    double Error() const { return AxisError(0) + AxisError(1) + AxisError(2); }
    bool Splittable() const {
        return lowCell[0] < highCell[0] || lowCell[1] < highCell[1] || lowCell[2] < highCell[2];
    }
};

Box MakeBox(const std::vector<ColourPoint>& points, size_t begin, size_t end) {
    Box box{begin, end};
    box.lowCell = {kCellAxis, kCellAxis, kCellAxis};
    box.highCell = {-1, -1, -1};
    for (size_t i = begin; i < end; ++i) {
        const ColourPoint& p = points[i];
        const double w = p.weight;
        box.weight += w;
        for (int axis = 0; axis < 3; ++axis) {
            const double v = AxisValue(p, axis);
            box.sum[axis] += w * v;
            box.squares[axis] += w * v * v;
            const int cell = AxisCell(p, axis);
            box.lowCell[axis] = std::min(box.lowCell[axis], cell);
            box.highCell[axis] = std::max(box.highCell[axis], cell);
        }
    }
    return box;
}

// Splits between histogram cells: each point lies in one cell position of the axis, so the weighted
// median is found among those positions without sorting the points.
size_t SplitBox(std::vector<ColourPoint>& points, const Box& box) {
    int axis = -1;
    double widest = -1;
    for (int a = 0; a < 3; ++a) {
        if (box.lowCell[a] == box.highCell[a]) continue;
        const double error = box.AxisError(a);
        if (error > widest) {
            widest = error;
            axis = a;
        }
    }
    std::array<double, kCellAxis> weights{};
    for (size_t i = box.begin; i < box.end; ++i)
        weights[AxisCell(points[i], axis)] += points[i].weight;
    // The lower part takes the cells up to the one where half the weight is reached, but never
    // all of them.
    int last = box.lowCell[axis];
    double below = weights[last];
    while (last + 1 < box.highCell[axis] && below < box.weight / 2)
        below += weights[++last];
    const auto middle = std::partition(points.begin() + box.begin, points.begin() + box.end,
                                       [&](const ColourPoint& p) { return AxisCell(p, axis) <= last; });
    return static_cast<size_t>(middle - points.begin());
}

}  // namespace

void MedianCut(std::vector<ColourPoint>& points, int maxColours, std::vector<Centre>& centres,
               std::vector<uint8_t>& labels, Progress& progress) {
    std::vector<Box> boxes;
    boxes.reserve(maxColours);
    boxes.push_back(MakeBox(points, 0, points.size()));
    std::vector<double> errors{boxes[0].Splittable() ? boxes[0].Error() : -1};
    while (static_cast<int>(boxes.size()) < maxColours) {
        const auto worst = std::max_element(errors.begin(), errors.end()) - errors.begin();
        if (errors[worst] < 0) break;  // every box holds a single cell
        const Box box = boxes[worst];
        const size_t middle = SplitBox(points, box);
        boxes[worst] = MakeBox(points, box.begin, middle);
        boxes.push_back(MakeBox(points, middle, box.end));
        errors[worst] = boxes[worst].Splittable() ? boxes[worst].Error() : -1;
        errors.push_back(boxes.back().Splittable() ? boxes.back().Error() : -1);
        progress.Advance();
    }

    centres.clear();
    labels.assign(points.size(), 0);
    for (size_t b = 0; b < boxes.size(); ++b) {
        const Box& box = boxes[b];
        centres.push_back(Centre{box.sum[0] / box.weight, box.sum[1] / box.weight, box.sum[2] / box.weight});
        std::fill(labels.begin() + box.begin, labels.begin() + box.end, static_cast<uint8_t>(b));
    }
}
