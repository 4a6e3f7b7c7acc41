#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <cmath>

// Layout formulas measured from a bottom-left origin (y grows upwards) are computed in those terms
// and converted once, here, to Qt's top-left origin and whole pixels.
namespace geometry {

// Rounds half away from zero, so that a centred item sits the same way on both axes.
inline int roundToPixel(qreal v) {
    return static_cast<int>(std::lround(v));
}

// A rect given with y measured upwards from the bottom of a parent of that height.
inline QRectF flipped(const QRectF& bottomUp, qreal parentHeight) {
    return QRectF(bottomUp.x(), parentHeight - bottomUp.y() - bottomUp.height(), bottomUp.width(),
                  bottomUp.height());
}

// Rounds every edge to the nearest pixel, so that neighbours that touch keep touching.
inline QRect toPixels(const QRectF& r) {
    const int left = roundToPixel(r.left());
    const int top = roundToPixel(r.top());
    const int right = roundToPixel(r.left() + r.width());
    const int bottom = roundToPixel(r.top() + r.height());
    return QRect(left, top, right - left, bottom - top);
}

// The usual combination: a bottom-up rect in whole top-down pixels.
inline QRect flippedPixels(const QRectF& bottomUp, qreal parentHeight) {
    return toPixels(flipped(bottomUp, parentHeight));
}

// The desktop as the window's placement formulas see it: measured from the bottom edge of the
// primary screen, y growing upwards. `desktopBottom` is that edge in Qt's coordinates (the primary
// screen's y plus its height). The same flip takes a rect both ways.
inline QRectF toBottomUp(const QRectF& topDown, qreal desktopBottom) {
    return flipped(topDown, desktopBottom);
}
inline QRect fromBottomUp(const QRectF& bottomUp, qreal desktopBottom) {
    return flippedPixels(bottomUp, desktopBottom);
}
inline QPointF pointToBottomUp(const QPointF& topDown, qreal desktopBottom) {
    return QPointF(topDown.x(), desktopBottom - topDown.y());
}

} // namespace geometry
