// Where the window goes: docked placement under the tray icon, the clamp into a screen, the resize
// zones and their drags, the maximise targets, the snap targets with their memory and the outline.
// All measured upwards from the bottom of the primary screen.
#include "app/window/WindowEdges.h"
#include "app/window/WindowOutline.h"
#include "app/window/WindowPlacement.h"
#include "app/window/WindowSnap.h"

#include <gtest/gtest.h>

using namespace placement;

namespace {

// A 1440 x 900 screen with a 24-high panel along its top.
const ScreenRects kScreen{QRectF(0, 0, 1440, 900), QRectF(0, 0, 1440, 876)};

Desktop oneScreen() {
    Desktop d;
    d.screens = {kScreen};
    d.main = 0;
    return d;
}

// A 24 x 24 tray icon in the panel, centred at `centreX`.
QRectF trayIconAt(double centreX, double bottom = 876) {
    return QRectF(centreX - 12, bottom, 24, 24);
}

PlacementInput docked(QSizeF size, std::optional<QRectF> button) {
    PlacementInput in;
    in.windowSize = size;
    in.statusButton = button;
    in.desktop = oneScreen();
    return in;
}

} // namespace

TEST(WindowPlacement, DockedWindowHangsFourUnderTheIconWithinTheScreen) {
    struct Case {
        const char* name;
        PlacementInput input;
        QRectF expected;
        bool heightChanged;
    };
    PlacementInput detached = docked({860, 480}, trayIconAt(1012));
    detached.detached = true;
    detached.storedWindowX = 100;
    PlacementInput detachedOffScreen = detached;
    detachedOffScreen.storedWindowX = 5000;
    const Case cases[] = {
        {"centred under the icon", docked({860, 480}, trayIconAt(700)), {270, 392, 860, 480}, false},
        // 10 left of the right edge: pushed against the edge, keeping its width.
        {"near the right edge", docked({860, 480}, trayIconAt(1430)), {580, 392, 860, 480}, false},
        // 10 right of the left edge: against the edge with its width, not 260 wide.
        {"near the left edge", docked({860, 480}, trayIconAt(10)), {0, 392, 860, 480}, false},
        {"a narrow window near the left edge", docked({200, 300}, trayIconAt(10)), {0, 572, 200, 300}, false},
        {"no icon: the middle of the main screen",
         docked({860, 480}, std::nullopt),
         {290, 392, 860, 480},
         false},
        {"an icon whose window would end below the desktop",
         docked({860, 480}, trayIconAt(1012, 100)),
         {290, 392, 860, 480},
         false},
        {"too tall for the screen", docked({860, 900}, std::nullopt), {290, 0, 860, 872}, true},
        {"detached at its remembered x", detached, {100, 392, 860, 480}, false},
        {"detached, remembered x off every screen", detachedOffScreen, {580, 392, 860, 480}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<Placement> placed = placeUnderStatusItem(c.input);
        ASSERT_TRUE(placed.has_value());
        EXPECT_EQ(placed->frame, c.expected);
        EXPECT_EQ(placed->heightChanged, c.heightChanged);
    }
}

TEST(WindowPlacement, ShowingAgainNeverNarrowsTheWindow) {
    for (double centre : {5.0, 10.0, 1430.0, 1439.0}) {
        SCOPED_TRACE(centre);
        QSizeF size(860, 480);
        for (int show = 0; show < 5; ++show) {
            const std::optional<Placement> placed = placeUnderStatusItem(docked(size, trayIconAt(centre)));
            ASSERT_TRUE(placed);
            EXPECT_EQ(placed->frame.width(), 860);
            size = placed->frame.size();
        }
    }
}

TEST(WindowPlacement, WithoutAnyScreenTheWindowStaysWhereItIs) {
    PlacementInput in;
    in.windowSize = {860, 480};
    EXPECT_FALSE(placeUnderStatusItem(in).has_value());
}

TEST(WindowPlacement, ClampKeepsTheFrameInsideTheVisibleArea) {
    EXPECT_EQ(clampFrameToScreen({-50, 2000, 300, 200}, nullptr), QRectF(-50, 2000, 300, 200));
    EXPECT_EQ(clampFrameToScreen({-50, 800, 300, 200}, &kScreen), QRectF(0, 676, 300, 200));
    EXPECT_EQ(clampFrameToScreen({1300, -40, 300, 200}, &kScreen), QRectF(1140, 0, 300, 200));
    EXPECT_EQ(clampFrameToScreen({10, 10, 3000, 2000}, &kScreen), QRectF(0, 0, 1440, 876));
}

TEST(WindowPlacement, StandardFrameHangsUnderTheIconOrKeepsTheTopEdge) {
    EXPECT_EQ(standardFrame(trayIconAt(1012), {0, 0, 500, 300}), QRectF(582, 392, 860, 480));
    EXPECT_EQ(standardFrame(std::nullopt, {100, 100, 500, 300}), QRectF(-80, -80, 860, 480));
}

TEST(WindowEdges, ZonesAlongTheEdgesButNotADockedTop) {
    using edges::Edge;
    struct Case {
        QPointF point;
        bool detached;
        Edge expected;
    };
    const Case cases[] = {
        {{9.5, 240}, false, Edge::left},      {{10, 240}, false, Edge::none},
        {{855, 240}, false, Edge::right},     {{430, 5}, false, Edge::bottom},
        {{430, 475}, false, Edge::none},      {{430, 475}, true, Edge::top},
        {{5, 475}, false, Edge::left},        {{5, 475}, true, Edge::topLeft},
        {{855, 475}, true, Edge::topRight},   {{5, 5}, false, Edge::bottomLeft},
        {{855, 5}, false, Edge::bottomRight}, {{430, 240}, true, Edge::none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x() << "," << c.point.y() << " detached " << c.detached);
        EXPECT_EQ(edges::edgeAt(c.point, {860, 480}, c.detached), c.expected);
    }
}

TEST(WindowEdges, DraggingMovesOnlyTheDraggedEdgesAndStopsAtTheMinimum) {
    using edges::Edge;
    const QRectF start(100, 100, 860, 480);
    const QSizeF min(320, 220);
    EXPECT_EQ(edges::draggedFrame(Edge::left, start, 50, 0, min), QRectF(150, 100, 810, 480));
    EXPECT_EQ(edges::draggedFrame(Edge::left, start, 700, 0, min), QRectF(640, 100, 320, 480));
    EXPECT_EQ(edges::draggedFrame(Edge::right, start, 40, 99, min), QRectF(100, 100, 900, 480));
    EXPECT_EQ(edges::draggedFrame(Edge::top, start, 99, 30, min), QRectF(100, 100, 860, 510));
    EXPECT_EQ(edges::draggedFrame(Edge::bottom, start, 0, -20, min), QRectF(100, 80, 860, 500));
    EXPECT_EQ(edges::draggedFrame(Edge::bottomLeft, start, 10, 300, min), QRectF(110, 360, 850, 220));
}

TEST(WindowEdges, ADockedWindowBeingResizedKeepsTheIconInside) {
    // The left edge never passes the icon's centre - 30; the right edge always reaches + 30.
    EXPECT_EQ(edges::keepUnderStatusItem({480, 0, 300, 400}, 500), QRectF(470, 0, 310, 400));
    EXPECT_EQ(edges::keepUnderStatusItem({100, 0, 350, 400}, 500), QRectF(100, 0, 430, 400));
    EXPECT_EQ(edges::keepUnderStatusItem({300, 0, 400, 400}, 500), QRectF(300, 0, 400, 400));
}

TEST(WindowEdges, MaximiseTargets) {
    using edges::Edge;
    const QRectF vf(0, 0, 1440, 876);
    const QRectF frame(800, 392, 500, 480); // top edge at 872
    EXPECT_EQ(edges::maximizedFrame(Edge::right, true, vf, frame, 1000), QRectF(720, 0, 720, 876));
    EXPECT_EQ(edges::maximizedFrame(Edge::left, true, vf, frame, 1000), QRectF(0, 0, 720, 876));
    EXPECT_EQ(edges::maximizedFrame(Edge::bottom, true, vf, frame, 1000), QRectF(800, 0, 500, 876));
    EXPECT_EQ(edges::maximizedFrame(Edge::left, false, vf, frame, 1200), QRectF(0, 0, 1224, 872));
    EXPECT_EQ(edges::maximizedFrame(Edge::right, false, vf, frame, 1200), QRectF(1176, 0, 264, 872));
    EXPECT_EQ(edges::maximizedFrame(Edge::bottom, false, vf, frame, 1200), QRectF(800, 0, 500, 872));
    EXPECT_EQ(edges::maximizedFrame(Edge::topRight, false, vf, frame, 1200), vf);
}

TEST(WindowSnap, Targets) {
    using snap::Kind;
    const QRectF V(0, 0, 1440, 875);
    const QRectF F(100, 200, 860, 480);
    EXPECT_EQ(snap::target(Kind::upperLeftQuarter, V, F), QRectF(0, 437.5, 720, 437.5));
    EXPECT_EQ(snap::target(Kind::upperRightQuarter, V, F), QRectF(720, 437.5, 720, 437.5));
    EXPECT_EQ(snap::target(Kind::rightHalf, V, F), QRectF(720, 0, 720, 871));
    EXPECT_EQ(snap::target(Kind::fullScreen, V, F), V);
    EXPECT_EQ(snap::target(Kind::fullWidth, V, F), QRectF(0, 200, 1440, 480));
    EXPECT_EQ(snap::target(Kind::fullHeight, V, F), QRectF(100, 0, 860, 871));
}

TEST(WindowSnap, ATogglesGoesBackToTheFrameBeforeItsOwnFirstPress) {
    using snap::Kind;
    const QRectF V(0, 0, 1440, 875);
    const QRectF F(100, 200, 860, 480);
    snap::Memory memory;
    const QRectF full = memory.apply(Kind::fullScreen, V, F);
    EXPECT_EQ(full, V);
    EXPECT_EQ(memory.apply(Kind::fullScreen, V, full), F);
    EXPECT_FALSE(memory.preFullscreenFrame);

    // Full screen, then full width, then full width again: back to the full-screen frame, and the
    // frame before full screen is forgotten.
    const QRectF a = memory.apply(Kind::fullScreen, V, F);
    const QRectF b = memory.apply(Kind::fullWidth, V, a);
    EXPECT_FALSE(memory.preFullscreenFrame);
    EXPECT_EQ(memory.apply(Kind::fullWidth, V, b), a);
    EXPECT_FALSE(memory.preHorizontFrame);

    memory.apply(Kind::fullHeight, V, F);
    EXPECT_TRUE(memory.preVerticalFrame);
    memory.apply(Kind::upperLeftQuarter, V, F);
    EXPECT_FALSE(memory.preVerticalFrame) << "a one-way snap forgets every remembered frame";
}

namespace {

bool hasPoint(const QPainterPath& path, QPointF p) {
    for (int i = 0; i < path.elementCount(); ++i)
        if (QPointF(path.elementAt(i)) == p) return true;
    return false;
}

} // namespace

TEST(WindowOutline, TheArrowPointsAtTheIconAndStays24FromTheSides) {
    struct Case {
        double windowX, trayX, tip;
    };
    const Case cases[] = {
        {100, 600, 500}, // 500 right of the window's left edge
        {100, 105, 24},  // 5 right of the left edge
        {100, 955, 836}, // 5 left of the right edge
        {100, 0, 430},   // unknown: the middle
        {100, 99, 430},  // at x 100 or less counts as unknown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trayX);
        EXPECT_DOUBLE_EQ(outline::arrowTipX(860, c.windowX, c.trayX), c.tip);
        const QPainterPath path = outline::bottomUpPath({860, 480}, c.windowX, true, c.trayX);
        EXPECT_TRUE(hasPoint(path, {c.tip, 480}));
        EXPECT_TRUE(hasPoint(path, {c.tip - 10, 470}));
        EXPECT_TRUE(hasPoint(path, {c.tip + 10, 470}));
    }
}

TEST(WindowOutline, MaskFollowsTheRoundedBodyAndTheArrow) {
    const QSizeF size(860, 480);
    const QRegion docked = outline::maskRegion(outline::widgetPath(size, 100, true, 600));
    EXPECT_TRUE(docked.contains(QPoint(430, 240)));
    EXPECT_TRUE(docked.contains(QPoint(500, 5)));    // inside the arrow, near its tip
    EXPECT_FALSE(docked.contains(QPoint(300, 5)));   // beside the arrow, above the body
    EXPECT_FALSE(docked.contains(QPoint(1, 12)));    // cut by the rounded corner
    EXPECT_FALSE(docked.contains(QPoint(858, 478))); // the lower right corner
    EXPECT_TRUE(docked.contains(QPoint(20, 20)));

    const QRegion detached = outline::maskRegion(outline::widgetPath(size, 100, false, 600));
    EXPECT_TRUE(detached.contains(QPoint(300, 3))) << "a detached window has no arrow and a flat top";
    EXPECT_FALSE(detached.contains(QPoint(1, 1)));
    EXPECT_EQ(outline::widgetPath(size, 100, false, 600).boundingRect(), QRectF(0, 0, 860, 480));
}
