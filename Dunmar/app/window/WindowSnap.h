#pragma once

#include <QRectF>
#include <optional>

// Snapping the window to parts of the screen, measured upwards as in placement::. V is the visible
// frame of the window's screen, F the window's current frame.
namespace snap {

enum class Kind {
    upperLeftQuarter,  // snapLeft
    upperRightQuarter, // snapRight
    rightHalf,         // snapRightFull (a little short of the top)
    fullScreen,        // toggleFullscreen
    fullWidth,         // toggleHorizont
    fullHeight,        // toggleVertical
};

QRectF target(Kind kind, const QRectF& V, const QRectF& F);

// The frames before the three toggles. A toggle goes back to the frame before its own first press;
// every other snap, and the reset to the standard size, forgets all three.
struct Memory {
    std::optional<QRectF> preFullscreenFrame;
    std::optional<QRectF> preHorizontFrame;
    std::optional<QRectF> preVerticalFrame;

    void clear() { *this = Memory(); }
    // Where `kind` takes the window now, updating what is remembered.
    QRectF apply(Kind kind, const QRectF& V, const QRectF& F);
};

} // namespace snap
