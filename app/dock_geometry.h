// The measurements of the docking bar's own frame: the gripper strip with its close and float
// buttons and grip lines, the raised edge toward the main window's interior and the thin borders
// of a docked bar, and the caption, frame and resizing of the floating bar. All rectangles are in
// the bar window's coordinates (origin at its top-left corner) unless they say otherwise; where a
// rectangle is given as (left, top, right, bottom), right and bottom are exclusive.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where the bar is: not yet placed, docked on one side of the main window, or floating.
enum class DockSide { None, Top, Left, Right, Bottom, Floating };

constexpr int kGripperWidth = 20;  // the gripper strip across a docked bar
constexpr int kBarBorder = 3;      // thin border of a docked bar; also the allowance in corner resizing
constexpr int kEdgeWidth = 6;      // raised edge on the side facing the interior
constexpr int kFloatFrame = 2;     // the floating window's frame on each side

// The thin borders of a docked bar.
constexpr unsigned kBorderLeft = 0x100;
constexpr unsigned kBorderTop = 0x200;
constexpr unsigned kBorderRight = 0x400;
constexpr unsigned kBorderBottom = 0x800;
constexpr unsigned kBorderAll = kBorderLeft | kBorderTop | kBorderRight | kBorderBottom;

// What a point of the bar's frame is.
enum BarHit : int {
    kHitNowhere = 0,
    kHitCaption = 2,    // the gripper strip, or the floating caption: drags the bar
    kHitSysMenu = 3,    // the close button of a docked bar
    kHitMinButton = 8,  // the float button of a docked bar
    kHitLeft = 10,
    kHitRight = 11,
    kHitTop = 12,
    kHitTopLeft = 13,
    kHitTopRight = 14,
    kHitBottom = 15,
    kHitBottomLeft = 16,
    kHitBottomRight = 17,
    kHitClose = 20,  // the close button of the floating caption
};

// A rectangle from its four edges, right and bottom exclusive; empty where they cross.
constexpr QRect RectLTRB(int left, int top, int right, int bottom) {
    return QRect(left, top, right > left ? right - left : 0, bottom > top ? bottom - top : 0);
}

// A docked bar's frame: what it takes from each side of the window (the rest holds the dialog),
// which thin borders it draws, and its raised edge (empty when there is none).
struct BarFrame {
    QMargins client;
    unsigned borders = 0;
    QRect edge;
};
// Nothing is taken or drawn while the bar is floating (the floating window has its own frame) or
// not placed yet.
BarFrame BarFrameFor(DockSide side, QSize window);

// The gripper strip of a docked bar and what it holds; all empty while floating or not placed.
struct GripperLayout {
    QRect gripper;  // where a press drags the bar
    QRect close;
    QRect undock;  // the float button
    QRect lines[2];
};
GripperLayout GripperLayoutFor(DockSide side, QSize window);

// Close button, then float button, then gripper; kHitNowhere elsewhere.
int DockedHitTest(const GripperLayout& layout, QPoint point);

// --- The floating bar ----------------------------------------------------------------------------

struct FloatMetrics {
    int minWidth;   // least floating width
    int minHeight;  // least floating height
    int caption;    // height of the small caption
    int borderX = kBarBorder;
    int borderY = kBarBorder;
};

// The floating window around a client (the hosted dialog's area) of the given size: the frame on
// every side and the caption under the top one.
QSize FloatWindowSize(QSize client, int caption);
QRect FloatCaptionRect(QSize window, int caption);
QRect FloatCloseRect(QSize window, int caption);
// Corners reach `caption` pixels along each edge; edges and corners are `grip` pixels deep.
int FloatHitTest(QSize window, QPoint point, int caption, int grip = 4);

struct FloatResize {
    QSize client;  // the new floating size
    QRect window;  // the new window rectangle, screen coordinates
};
// Resizing the floating window from corner or edge `hit` with the cursor at `cursor` (screen);
// `window` is the window's rectangle when the drag started and `client` its floating size. Each
// corner moves its two edges after the cursor, within the least size, and the opposite edges stay.
FloatResize ResizeFloating(int hit, QPoint cursor, QRect window, QSize client, const FloatMetrics& metrics);
// The cursor position at which ResizeFloating reproduces the present size of a window whose size
// follows its client: pressing anywhere on the grip then resizes without a jump.
QPoint FloatGrabPoint(int hit, QRect window);
