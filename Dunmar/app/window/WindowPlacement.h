#pragma once

#include <QRectF>
#include <QSizeF>
#include <optional>
#include <vector>

// Where the drop-down window goes. Every rectangle here is in desktop coordinates measured from
// the bottom of the primary screen, y growing upwards (geometry::toBottomUp converts); "rounded"
// means to the nearest whole number, halves away from zero.
namespace placement {

struct ScreenRects {
    QRectF frame;   // the whole screen
    QRectF visible; // without the desktop's panels
};

// The screens of the desktop; `main` is the index of the primary screen (-1 when there is none).
struct Desktop {
    std::vector<ScreenRects> screens;
    int main = -1;

    const ScreenRects* mainOrFirst() const;
    // The first screen whose frame spans x (left and right edges included).
    const ScreenRects* screenSpanning(double x) const;
    bool intersectsAnyVisible(const QRectF& rect) const;
};

// The frame kept within the screen's visible area: no wider or taller than it, and moved inside.
// Without a screen the frame is returned as it is.
QRectF clampFrameToScreen(const QRectF& frame, const ScreenRects* screen);

// The keep-out distance of the arrow from the window's side edges.
inline constexpr double kArrowEdgeMargin = 24;
// The gap between the tray icon and the window's top edge.
inline constexpr double kGapUnderIcon = 4;
inline constexpr double kMinWindowHeight = 220;

struct PlacementInput {
    QSizeF windowSize;
    // The tray icon's rectangle, when known.
    std::optional<QRectF> statusButton;
    // The screen the tray icon is on, when known.
    std::optional<ScreenRects> statusButtonScreen;
    Desktop desktop;
    bool detached = false;
    // The remembered left edge of a detached window ("windowX").
    std::optional<double> storedWindowX;
};

struct Placement {
    QRectF frame;
    // The x the arrow points at: the tray icon's centre, or the middle of the fallback screen.
    double anchorX = 0;
    // Set when the window had to become lower to fit under the screen's top.
    bool heightChanged = false;
};

// The window's place under the tray icon (or, for a detached window, at its remembered x). None
// when there is no screen at all: the window is not moved. A docked window is moved so that its
// arrow stays at least 24 from either side edge, but never past the screen's edge; it always
// keeps its width.
std::optional<Placement> placeUnderStatusItem(const PlacementInput& input);

// The frame of the reset to the standard size, 860 x 480: hanging 4 under the tray icon when it is
// known, otherwise centred on the current frame with its top edge kept. Not rounded.
QRectF standardFrame(const std::optional<QRectF>& statusButton, const QRectF& current);

} // namespace placement
