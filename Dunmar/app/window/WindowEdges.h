#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <Qt>

// The borderless window's resize zones and what dragging or double-clicking them does. Points and
// frames are measured upwards (window content from its bottom-left corner, frames on the desktop
// from the bottom of the primary screen), as in placement::.
namespace edges {

enum class Edge { none, left, right, top, bottom, topLeft, topRight, bottomLeft, bottomRight };

// The width of the zones along the edges.
inline constexpr double kEdgeInset = 10.0;

// The zone under a point of a window of `size`. A docked window's top edge, under the tray icon,
// is no zone.
Edge edgeAt(const QPointF& point, const QSizeF& size, bool detached);

// The resize cursor of a zone; the arrow for none.
Qt::CursorShape cursorFor(Edge edge);

// The frame while a zone is dragged: `start` is the frame when the drag began, (dx, dy) the
// pointer's movement since (dy upwards). The edges opposite the dragged ones stay where they were,
// and the size never goes below `minSize`.
QRectF draggedFrame(Edge edge, const QRectF& start, double dx, double dy, const QSizeF& minSize);

// A docked window being resized keeps the tray icon's centre `m` at least 30 inside both side
// edges: the left edge never passes m - 30, the right edge always reaches m + 30.
QRectF keepUnderStatusItem(const QRectF& frame, double m);

// The target of a double click on a zone, with `vf` the visible frame of the window's screen and
// `a` the tray icon's x (or the window's middle when unknown). Detached: the left or right half,
// the full height, or the whole visible frame. Docked: down to the bottom of the screen and out
// to one side while still reaching 24 past the tray icon.
QRectF maximizedFrame(Edge edge, bool detached, const QRectF& vf, const QRectF& frame, double a);

} // namespace edges
