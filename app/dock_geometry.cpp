#include "app/dock_geometry.h"

#include <algorithm>

namespace {

int Right(const QRect& r) {
    return r.x() + r.width();
}
int Bottom(const QRect& r) {
    return r.y() + r.height();
}

bool IsLeftSide(int hit) {
    return hit == kHitLeft || hit == kHitTopLeft || hit == kHitBottomLeft;
}
bool IsRightSide(int hit) {
    return hit == kHitRight || hit == kHitTopRight || hit == kHitBottomRight;
}
bool IsTopSide(int hit) {
    return hit == kHitTop || hit == kHitTopLeft || hit == kHitTopRight;
}
bool IsBottomSide(int hit) {
    return hit == kHitBottom || hit == kHitBottomLeft || hit == kHitBottomRight;
}

}  // namespace

BarFrame BarFrameFor(DockSide side, QSize window) {
    const int w = window.width();
    const int h = window.height();
    BarFrame frame;
    switch (side) {
        case DockSide::Top:
            frame.client = QMargins(kGripperWidth, kBarBorder, kBarBorder, kEdgeWidth);
            frame.borders = kBorderAll & ~kBorderBottom;
            frame.edge = RectLTRB(0, h - kEdgeWidth, w, h);
            break;
        case DockSide::Bottom:
            frame.client = QMargins(kGripperWidth, kEdgeWidth, kBarBorder, kBarBorder);
            frame.borders = kBorderAll & ~kBorderTop;
            frame.edge = RectLTRB(0, 0, w, kEdgeWidth);
            break;
        case DockSide::Left:
            frame.client = QMargins(kBarBorder, kGripperWidth, kEdgeWidth, kBarBorder);
            frame.borders = kBorderAll & ~kBorderRight;
            frame.edge = RectLTRB(w - kEdgeWidth, 0, w, h);
            break;
        case DockSide::Right:
            frame.client = QMargins(kEdgeWidth, kGripperWidth, kBarBorder, kBarBorder);
            frame.borders = kBorderAll & ~kBorderLeft;
            frame.edge = RectLTRB(0, 0, kEdgeWidth, h);
            break;
        case DockSide::None:
        case DockSide::Floating:
            break;
    }
    return frame;
}

GripperLayout GripperLayoutFor(DockSide side, QSize window) {
    const int w = window.width();
    const int h = window.height();
    GripperLayout layout;
    if (side == DockSide::Top || side == DockSide::Bottom) {
        // The strip runs down the left end; buttons 12 x 12, the float button under the close one.
        layout.gripper = RectLTRB(0, 40, 20, h);
        layout.close = RectLTRB(7, 10, 19, 22);
        layout.undock = layout.close.translated(0, 13);
        layout.lines[0] = RectLTRB(10, 38, 13, h - 10);
        layout.lines[1] = layout.lines[0].translated(4, 0);
    } else if (side == DockSide::Left || side == DockSide::Right) {
        // The strip runs across the top; buttons 11 x 11 at its right end, the float button left of
        // the close one.
        layout.gripper = RectLTRB(0, 0, w - 40, 20);
        layout.close = RectLTRB(w - 21, 7, w - 10, 18);
        layout.undock = layout.close.translated(-13, 0);
        layout.lines[0] = RectLTRB(10, 10, w - 38, 13);
        layout.lines[1] = layout.lines[0].translated(0, 4);
    }
    return layout;
}

int DockedHitTest(const GripperLayout& layout, QPoint point) {
    if (layout.close.contains(point)) return kHitSysMenu;
    if (layout.undock.contains(point)) return kHitMinButton;
    if (layout.gripper.contains(point)) return kHitCaption;
    return kHitNowhere;
}

QSize FloatWindowSize(QSize client, int caption) {
    return QSize(client.width() + 2 * kFloatFrame, client.height() + caption + 2 * kFloatFrame);
}

QRect FloatCaptionRect(QSize window, int caption) {
    return RectLTRB(kFloatFrame, kFloatFrame, window.width() - kFloatFrame, kFloatFrame + caption);
}

QRect FloatCloseRect(QSize window, int caption) {
    const int side = std::max(caption - 4, 1);
    const int right = window.width() - kFloatFrame - 2;
    const int top = kFloatFrame + (caption - side) / 2;
    return RectLTRB(right - side, top, right, top + side);
}

int FloatHitTest(QSize window, QPoint point, int caption, int grip) {
    const int w = window.width();
    const int h = window.height();
    const int x = point.x();
    const int y = point.y();
    if (x < 0 || y < 0 || x >= w || y >= h) return kHitNowhere;
    const bool left = x < grip;
    const bool right = x >= w - grip;
    const bool top = y < grip;
    const bool bottom = y >= h - grip;
    // A corner reaches along both of its edges.
    const bool nearLeft = x < caption;
    const bool nearRight = x >= w - caption;
    const bool nearTop = y < caption;
    const bool nearBottom = y >= h - caption;
    if ((top && nearLeft) || (left && nearTop)) return kHitTopLeft;
    if ((top && nearRight) || (right && nearTop)) return kHitTopRight;
    if ((bottom && nearLeft) || (left && nearBottom)) return kHitBottomLeft;
    if ((bottom && nearRight) || (right && nearBottom)) return kHitBottomRight;
    if (left) return kHitLeft;
    if (right) return kHitRight;
    if (top) return kHitTop;
    if (bottom) return kHitBottom;
    if (FloatCloseRect(window, caption).contains(point)) return kHitClose;
    if (FloatCaptionRect(window, caption).contains(point)) return kHitCaption;
    return kHitNowhere;
}

FloatResize ResizeFloating(int hit, QPoint cursor, QRect window, QSize client, const FloatMetrics& m) {
    const int px = cursor.x();
    const int py = cursor.y();
    int width = client.width();
    int height = client.height();
    int left = window.x();
    int top = window.y();
    // The left and top edges subtract the allowances, the right and bottom ones nothing; with the
    // 2-pixel frame that keeps the opposite edges where they were.
    if (IsLeftSide(hit)) {
        width = std::max(Right(window) - px, m.minWidth) - m.borderX;
        left = std::min(px, Right(window) - m.minWidth) - 1;
    } else if (IsRightSide(hit)) {
        width = std::max(px - window.x(), m.minWidth);
    }
    if (IsTopSide(hit)) {
        height = std::max(Bottom(window) - m.caption - py, m.minHeight) - 1;
        top = std::min(py, Bottom(window) - m.caption - m.minHeight) - m.borderY;
    } else if (IsBottomSide(hit)) {
        height = std::max(py - m.caption - window.y(), m.minHeight);
    }
    FloatResize result;
    result.client = QSize(width, height);
    result.window = QRect(QPoint(left, top), FloatWindowSize(result.client, m.caption));
    return result;
}

QPoint FloatGrabPoint(int hit, QRect window) {
    QPoint point = window.center();
    if (IsLeftSide(hit)) point.setX(window.x() + 1);
    if (IsRightSide(hit)) point.setX(Right(window) - 2 * kFloatFrame);
    if (IsTopSide(hit)) point.setY(window.y() + kBarBorder);
    if (IsBottomSide(hit)) point.setY(Bottom(window) - 2 * kFloatFrame);
    return point;
}
