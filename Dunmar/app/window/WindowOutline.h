#pragma once

#include <QPainterPath>
#include <QRegion>
#include <QSizeF>

// The drop-down window's shape: a rectangle with corners of 12 and, while the window hangs under
// the tray icon, an arrow on its top edge pointing up at the icon.
namespace outline {

inline constexpr double kCornerRadius = 12;
inline constexpr double kArrowWidth = 20;
inline constexpr double kArrowHeight = 10;
inline constexpr double kArrowEdgeMargin = 24;
// A tray-icon x at or below this is no valid position (0 means unknown).
inline constexpr double kMinValidTrayX = 100;

// Where the arrow's tip sits, from the window's left edge: under the tray icon at `trayX` (screen
// x), at least 24 from either side; in the middle when the icon's place is unknown.
double arrowTipX(double width, double windowX, double trayX);

// The outline for a content of `size` whose window's left edge is at screen x `windowX`, measured
// upwards from the content's bottom-left corner.
QPainterPath bottomUpPath(const QSizeF& size, double windowX, bool docked, double trayX);

// The same outline in the widget's own coordinates (y downwards).
QPainterPath widgetPath(const QSizeF& size, double windowX, bool docked, double trayX);

// The window mask: the pixels inside the outline.
QRegion maskRegion(const QPainterPath& widgetPath);

} // namespace outline
