#pragma once

#include <QIcon>
#include <QPainterPath>

// The tray icon, drawn in code: a terminal window (a rounded frame with a prompt chevron and a
// cursor bar) over a small pointer, on an 18 x 18 canvas with y growing downwards.
namespace trayicon {

inline constexpr qreal kCanvas = 18.0;
inline constexpr qreal kStrokeWidth = 1.27;

// The stroked parts (frame, chevron, cursor bar) and the filled pointer, in canvas units.
QPainterPath strokedPath();
QPainterPath filledPath();

// Light strokes for a dark panel, dark strokes for a light one.
enum class Variant { dark, light };
// A dimmed icon is drawn at a third of its strength (the bell's flash).
QPixmap render(int pixels, Variant variant, bool dimmed, qreal devicePixelRatio = 1.0);
QIcon icon(Variant variant, bool dimmed);

// The variant that stands out on the application palette's window colour.
Variant variantForPalette();

} // namespace trayicon
