#include "terminalview/SplitGeometry.h"

#include "platform/Geometry.h"

#include <algorithm>

namespace split {

Frames framesFor(QSize bounds, bool vertical, double ratio) {
    const double w = bounds.width();
    const double h = bounds.height();
    const double half = kDividerThickness / 2;
    const auto room = [](double v) { return std::max(0.0, v); };
    Frames f;
    if (vertical) {
        const double p = w * ratio;
        f.primary = geometry::toPixels(QRectF(0, 0, room(p - half), h));
        f.divider = geometry::toPixels(QRectF(p - half, 0, kDividerThickness, h));
        f.secondary = geometry::toPixels(QRectF(p + half, 0, room(w - p - half), h));
    } else {
        // Measured upwards from the bottom edge, then turned into top-down pixels.
        const double p = h * ratio;
        f.primary = geometry::flippedPixels(QRectF(0, 0, w, room(p - half)), h);
        f.divider = geometry::flippedPixels(QRectF(0, p - half, w, kDividerThickness), h);
        f.secondary = geometry::flippedPixels(QRectF(0, p + half, w, room(h - p - half)), h);
    }
    return f;
}

double dragRatio(QPointF pos, QSize bounds, bool vertical) {
    double ratio;
    if (vertical)
        ratio = bounds.width() > 0 ? pos.x() / bounds.width() : 0.5;
    else
        ratio = bounds.height() > 0 ? (bounds.height() - pos.y()) / bounds.height() : 0.5;
    return std::clamp(ratio, kMinDragRatio, kMaxDragRatio);
}

double startRatio(double stored, double current) {
    return stored > 0.1 && stored < 0.9 ? stored : current;
}

} // namespace split
