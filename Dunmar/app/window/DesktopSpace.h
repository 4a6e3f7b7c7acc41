#pragma once

#include "app/window/WindowPlacement.h"

#include <QRect>
#include <QRectF>

class QScreen;

// The live desktop in the upward coordinates of the placement formulas: the one place where the
// controller turns Qt's rectangles into those coordinates and back (through geometry::).
namespace desktopspace {

// The primary screen's bottom edge in Qt's coordinates: the origin of the upward y.
double bottom();
QRectF up(const QRect& qtRect);
QRect down(const QRectF& upRect);
placement::ScreenRects rectsOf(const QScreen& screen);
placement::Desktop desktop();

} // namespace desktopspace
