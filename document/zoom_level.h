// The magnifications of the editing view. Above 1:1 the document's m_nZoom holds the factor (6, 8,
// 16, 24 or 32) and its m_nShrink is 1; below 1:1 m_nZoom is 1 and m_nShrink holds the divisor n, and each
// window pixel stands for an n x n block of image pixels.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

struct ZoomLevel {
    int zoom = 1;
    int shrink = 1;

    friend constexpr bool operator==(ZoomLevel, ZoomLevel) = default;
};

// Every level, from the smallest picture to the largest.
inline constexpr ZoomLevel kZoomLevels[] = {{1, 32}, {1, 24}, {1, 16}, {1, 12}, {1, 8},
                                            {1, 6},  {1, 4},  {1, 3},  {1, 2},  {1, 1},
                                            {6, 1},  {8, 1},  {16, 1}, {24, 1}, {32, 1}};
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

// How the editing view lays image pixels on the screen's device pixels: each image pixel is
// `magnify` x `magnify` device pixels, or each device pixel shows the mean of a `shrink` x `shrink`
// block of image pixels. One of the two is 1.
struct DeviceScale {
    int magnify = 1;
    int shrink = 1;

    friend constexpr bool operator==(DeviceScale, DeviceScale) = default;
};

// A level on a screen of `dpr` device pixels per window pixel: the level's ratio times `dpr`,
// rounded to the nearest whole ratio (halves up), so every image pixel covers the same whole number
// of device pixels (or every device pixel the same whole block). Magnified at least 1:1; reduced
// by at most the smallest level's divisor. 6:1 at 1.25 is 8 device pixels an image pixel, 1:1 at
// 1.5 is 2, 1:3 at 2 is a block of 2 (1.5 rounded up), 1:2 at 1.5 is 1:1.
inline DeviceScale DeviceScaleFor(ZoomLevel level, double dpr) {
    if (!(dpr > 0)) dpr = 1;
    constexpr double kSlack = 1e-9;  // 2 x (1 / 2) must not fall short of 1
    const double magnify = dpr * level.zoom / level.shrink;
    if (magnify + kSlack >= 1) return {static_cast<int>(std::floor(magnify + 0.5 + kSlack)), 1};
    const int shrink = static_cast<int>(std::floor(level.shrink / (dpr * level.zoom) + 0.5 + kSlack));
    return {1, std::min(std::max(shrink, 1), kZoomLevels[0].shrink)};
}

// The device pixels that `length` image pixels take: whole blocks when reduced.
constexpr int64_t DeviceLength(int64_t length, DeviceScale scale) {
    return (length + scale.shrink - 1) / scale.shrink * scale.magnify;
}

// The quotient rounded toward minus infinity (b > 0), for points left of or above the image.
constexpr int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The pixel a coordinate (in device pixels, fractional) lies in: rounded down, with a little slack
// for coordinates that arrive divided by the scale factor and multiplied back.
inline int FloorPixel(double position) {
    return static_cast<int>(std::floor(position + 1.0 / 1024));
}
