// The points of a one-pixel line, shared by the line tool and its rubber band.
#pragma once

#include <cstdlib>

// Visits the points from (x0, y0) to (x1, y1), both included, one per pixel of the longer axis.
// Each axis steps when its accumulator exceeds the point count, so (0, 0) to (5, 2) visits (0, 0),
// (1, 0), (2, 1), (3, 1), (4, 2), (5, 2).
template <class Visit>
void ForEachLinePoint(int x0, int y0, int x1, int y1, Visit visit) {
    const int dx = x1 - x0;
    const int dy = y1 - y0;
    const int sx = dx > 0 ? 1 : -1;
    const int sy = dy > 0 ? 1 : -1;
    const int ax = std::abs(dx) + 1;
    const int ay = std::abs(dy) + 1;
    const int n = ax > ay ? ax : ay;
    int ex = 0;
    int ey = 0;
    int x = x0;
    int y = y0;
    for (int i = 0; i < n; ++i) {
        ex += ax;
        ey += ay;
        if (ex > n) {
            x += sx;
            ex -= n;
        }
        if (ey > n) {
            y += sy;
            ey -= n;
        }
        visit(x, y);
    }
}
