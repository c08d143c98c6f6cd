// The docking bar's frame measurements, checked as numbers without any window.
#include <gtest/gtest.h>

#include <ostream>

#include "app/dock_geometry.h"

inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}
inline void PrintTo(const QSize& s, std::ostream* os) {
    *os << s.width() << " x " << s.height();
}
inline void PrintTo(const QMargins& m, std::ostream* os) {
    *os << "margins(" << m.left() << ", " << m.top() << ", " << m.right() << ", " << m.bottom() << ")";
}

namespace {

int Right(const QRect& r) {
    return r.x() + r.width();
}
int Bottom(const QRect& r) {
    return r.y() + r.height();
}

}  // namespace

TEST(DockGeometryTest, FrameTakesGripperBordersAndEdgePerSide) {
    struct Case {
        DockSide side;
        QSize window;
        QMargins client;
        unsigned borders;
        QRect edge;
    };
    const Case cases[] = {
        {DockSide::Top,
         {500, 60},
         {20, 3, 3, 6},
         kBorderLeft | kBorderTop | kBorderRight,
         RectLTRB(0, 54, 500, 60)},
        {DockSide::Bottom,
         {500, 60},
         {20, 6, 3, 3},
         kBorderLeft | kBorderRight | kBorderBottom,
         RectLTRB(0, 0, 500, 6)},
        {DockSide::Left,
         {97, 600},
         {3, 20, 6, 3},
         kBorderLeft | kBorderTop | kBorderBottom,
         RectLTRB(91, 0, 97, 600)},
        {DockSide::Right,
         {97, 600},
         {6, 20, 3, 3},
         kBorderTop | kBorderRight | kBorderBottom,
         RectLTRB(0, 0, 6, 600)},
    };
    for (const Case& c : cases) {
        const BarFrame frame = BarFrameFor(c.side, c.window);
        EXPECT_EQ(frame.client, c.client) << int(c.side);
        EXPECT_EQ(frame.borders, c.borders) << int(c.side);
        EXPECT_EQ(frame.edge, c.edge) << int(c.side);
    }
    // Floating or not placed yet: nothing taken, nothing drawn.
    for (DockSide side : {DockSide::Floating, DockSide::None}) {
        const BarFrame frame = BarFrameFor(side, {97, 600});
        EXPECT_TRUE(frame.client.isNull());
        EXPECT_EQ(frame.borders, 0u);
        EXPECT_TRUE(frame.edge.isEmpty());
    }
}

TEST(DockGeometryTest, GripperAcrossTheTopOfAnUprightBar) {
    for (DockSide side : {DockSide::Left, DockSide::Right}) {
        const GripperLayout g = GripperLayoutFor(side, {97, 600});
        EXPECT_EQ(g.gripper, RectLTRB(0, 0, 57, 20));
        EXPECT_EQ(g.close, RectLTRB(76, 7, 87, 18));
        EXPECT_EQ(g.undock, RectLTRB(63, 7, 74, 18));
        EXPECT_EQ(g.close.size(), QSize(11, 11));
        EXPECT_EQ(g.lines[0], RectLTRB(10, 10, 59, 13));
        EXPECT_EQ(g.lines[1], RectLTRB(10, 14, 59, 17));
    }
}

TEST(DockGeometryTest, GripperDownTheLeftEndOfALyingBar) {
    for (DockSide side : {DockSide::Top, DockSide::Bottom}) {
        const GripperLayout g = GripperLayoutFor(side, {500, 60});
        EXPECT_EQ(g.gripper, RectLTRB(0, 40, 20, 60));
        EXPECT_EQ(g.close, RectLTRB(7, 10, 19, 22));
        EXPECT_EQ(g.undock, RectLTRB(7, 23, 19, 35));
        EXPECT_EQ(g.close.size(), QSize(12, 12));
        EXPECT_EQ(g.lines[0], RectLTRB(10, 38, 13, 50));
        EXPECT_EQ(g.lines[1], RectLTRB(14, 38, 17, 50));
    }
}

TEST(DockGeometryTest, NoButtonsUntilDocked) {
    for (DockSide side : {DockSide::None, DockSide::Floating}) {
        const GripperLayout g = GripperLayoutFor(side, {97, 600});
        EXPECT_TRUE(g.gripper.isEmpty() && g.close.isEmpty() && g.undock.isEmpty());
        EXPECT_TRUE(g.lines[0].isEmpty() && g.lines[1].isEmpty());
        EXPECT_EQ(DockedHitTest(g, {0, 0}), kHitNowhere);
        EXPECT_EQ(DockedHitTest(g, {80, 12}), kHitNowhere);
    }
    // A bar too narrow for its gripper has none rather than a reversed one.
    EXPECT_EQ(DockedHitTest(GripperLayoutFor(DockSide::Left, {30, 600}), {0, 5}), kHitNowhere);
}

TEST(DockGeometryTest, DockedHitTestFindsButtonsThenGripper) {
    const GripperLayout g = GripperLayoutFor(DockSide::Left, {97, 600});
    const struct {
        QPoint point;
        int hit;
    } cases[] = {
        {{76, 7}, kHitSysMenu},  {{86, 17}, kHitSysMenu},  {{87, 18}, kHitNowhere},
        {{80, 12}, kHitSysMenu}, {{63, 7}, kHitMinButton}, {{73, 17}, kHitMinButton},
        {{75, 12}, kHitNowhere}, {{0, 0}, kHitCaption},    {{56, 19}, kHitCaption},
        {{57, 5}, kHitNowhere},  {{30, 20}, kHitNowhere},  {{93, 300}, kHitNowhere},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DockedHitTest(g, c.point), c.hit) << c.point.x() << "," << c.point.y();
}

TEST(DockGeometryTest, FloatingWindowFramesItsClient) {
    EXPECT_EQ(FloatWindowSize({88, 380}, 19), QSize(92, 403));
    EXPECT_EQ(FloatCaptionRect({92, 403}, 19), RectLTRB(2, 2, 90, 21));
    EXPECT_EQ(FloatCloseRect({92, 403}, 19), RectLTRB(73, 4, 88, 19));
    const QSize window(92, 403);
    const struct {
        QPoint point;
        int hit;
    } cases[] = {
        {{0, 0}, kHitTopLeft},      {{1, 10}, kHitTopLeft},       {{10, 1}, kHitTopLeft},
        {{40, 1}, kHitTop},         {{91, 0}, kHitTopRight},      {{88, 15}, kHitTopRight},
        {{0, 402}, kHitBottomLeft}, {{91, 402}, kHitBottomRight}, {{80, 400}, kHitBottomRight},
        {{0, 200}, kHitLeft},       {{91, 200}, kHitRight},       {{40, 402}, kHitBottom},
        {{80, 10}, kHitClose},      {{30, 10}, kHitCaption},      {{40, 200}, kHitNowhere},
        {{-1, 5}, kHitNowhere},     {{92, 5}, kHitNowhere},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatHitTest(window, c.point, 19), c.hit) << c.point.x() << "," << c.point.y();
}

TEST(DockGeometryTest, CornerResizeFollowsTheTable) {
    const FloatMetrics m{70, 32, 19};
    const QRect start(100, 100, 92, 403);  // right 192, bottom 503
    const QSize client(88, 380);
    const struct {
        int hit;
        QPoint cursor;
        QSize client;
        QRect window;
    } cases[] = {
        // Bottom-right dragged above and left of the top-left corner: the least size exactly.
        {kHitBottomRight, {50, 50}, {70, 32}, {100, 100, 74, 55}},
        {kHitBottomRight, {300, 600}, {200, 481}, {100, 100, 204, 504}},
        // Top-left dragged below and right of the bottom-right corner: 3 and 1 less.
        {kHitTopLeft, {300, 600}, {67, 31}, {121, 449, 71, 54}},
        {kHitTopLeft, {90, 80}, {99, 403}, {89, 77, 103, 426}},
        {kHitTopRight, {250, 80}, {150, 403}, {100, 77, 154, 426}},
        {kHitTopRight, {0, 900}, {70, 31}, {100, 449, 74, 54}},
        {kHitBottomLeft, {90, 600}, {99, 481}, {89, 100, 103, 504}},
        {kHitBottomLeft, {500, 0}, {67, 32}, {121, 100, 71, 55}},
        // Edges move one dimension only.
        {kHitLeft, {90, 0}, {99, 380}, {89, 100, 103, 403}},
        {kHitRight, {250, 0}, {150, 380}, {100, 100, 154, 403}},
        {kHitTop, {0, 80}, {88, 403}, {100, 77, 92, 426}},
        {kHitBottom, {0, 600}, {88, 481}, {100, 100, 92, 504}},
    };
    for (const auto& c : cases) {
        const FloatResize r = ResizeFloating(c.hit, c.cursor, start, client, m);
        EXPECT_EQ(r.client, c.client) << c.hit << " at " << c.cursor.x() << "," << c.cursor.y();
        EXPECT_EQ(r.window, c.window) << c.hit << " at " << c.cursor.x() << "," << c.cursor.y();
    }
}

TEST(DockGeometryTest, ResizingKeepsTheOppositeEdgesAndFollowsTheGrip) {
    const FloatMetrics m{70, 32, 19};
    const QSize client(88, 380);
    const QRect start(QPoint(100, 100), FloatWindowSize(client, m.caption));
    for (int hit : {kHitTopLeft, kHitTopRight, kHitBottomLeft, kHitBottomRight, kHitLeft, kHitRight, kHitTop,
                    kHitBottom}) {
        // Pressing on the grip changes nothing.
        const FloatResize same = ResizeFloating(hit, FloatGrabPoint(hit, start), start, client, m);
        EXPECT_EQ(same.client, client) << hit;
        EXPECT_EQ(same.window, start) << hit;
        for (int x = -100; x <= 400; x += 37) {
            for (int y = -100; y <= 700; y += 53) {
                const FloatResize r = ResizeFloating(hit, {x, y}, start, client, m);
                EXPECT_EQ(r.window.size(), FloatWindowSize(r.client, m.caption));
                const bool left = hit == kHitLeft || hit == kHitTopLeft || hit == kHitBottomLeft;
                const bool top = hit == kHitTop || hit == kHitTopLeft || hit == kHitTopRight;
                // The edges that do not move with the grip stay where they were.
                const int fixedX = left ? Right(r.window) : r.window.x();
                const int fixedY = top ? Bottom(r.window) : r.window.y();
                EXPECT_EQ(fixedX, left ? Right(start) : start.x()) << hit << " " << x << "," << y;
                EXPECT_EQ(fixedY, top ? Bottom(start) : start.y()) << hit << " " << x << "," << y;
                EXPECT_GE(r.client.width(), m.minWidth - m.borderX);
                EXPECT_GE(r.client.height(), m.minHeight - 1);
            }
        }
    }
}
