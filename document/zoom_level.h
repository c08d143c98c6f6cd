// The magnifications of the editing view. Above 1:1 the document's m_nZoom holds the factor (6, 8
// or 16) and its m_nShrink is 1; below 1:1 m_nZoom is 1 and m_nShrink holds the divisor n, and each
// window pixel stands for an n x n block of image pixels.
#pragma once

#include <cstdint>
#include <iterator>

struct ZoomLevel {
    int zoom = 1;
    int shrink = 1;

    friend constexpr bool operator==(ZoomLevel, ZoomLevel) = default;
};

// Every level, from the smallest picture to the largest.
inline constexpr ZoomLevel kZoomLevels[] = {{1, 32}, {1, 24}, {1, 16}, {1, 12}, {1, 8}, {1, 6}, {1, 4},
                                            {1, 3},  {1, 2},  {1, 1},  {6, 1},  {8, 1}, {16, 1}};
inline constexpr int kZoomLevelCount = static_cast<int>(std::size(kZoomLevels));
inline constexpr ZoomLevel kActualPixels{1, 1};

// The index of `level` in kZoomLevels; -1 when it is none of them.
constexpr int ZoomLevelIndex(ZoomLevel level) {
    for (int i = 0; i < kZoomLevelCount; ++i)
        if (kZoomLevels[i] == level) return i;
    return -1;
}

// The level `steps` further in (positive) or out (negative), stopping at either end.
constexpr ZoomLevel ZoomStep(ZoomLevel level, int steps) {
    const int index = ZoomLevelIndex(level);
    if (index < 0) return level;
    const int next = index + steps;
    return kZoomLevels[next < 0 ? 0 : next >= kZoomLevelCount ? kZoomLevelCount - 1 : next];
}

// The window pixels that `length` image pixels take at `level`: whole blocks below 1:1.
constexpr int64_t ZoomedLength(int64_t length, ZoomLevel level) {
    return (length + level.shrink - 1) / level.shrink * level.zoom;
}
