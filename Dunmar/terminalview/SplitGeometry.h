#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>

// The layout rules of a split pane, in the view's top-down pixels.
namespace split {

constexpr double kDividerThickness = 4.0;
constexpr double kMinDragRatio = 0.15;
constexpr double kMaxDragRatio = 0.85;
constexpr int kDividerGrab = 4; // a press this close to the divider starts a drag

struct Frames {
    QRect primary;
    QRect divider;
    QRect secondary;
};

// The frames of the two panes and the divider. Side by side (vertical) the primary pane is on the
// left; stacked, the primary pane is the lower one and `ratio` is its share of the height measured
// from the bottom.
Frames framesFor(QSize bounds, bool vertical, double ratio);

// The ratio a drag to `pos` asks for, limited to 15 ... 85 %.
double dragRatio(QPointF pos, QSize bounds, bool vertical);

// The ratio a new split starts with: the stored one when it lies strictly between 0.1 and 0.9,
// else the current one.
double startRatio(double stored, double current);

} // namespace split
