#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

// The chrome's symbols: line drawings of our own in a 24 x 24 box, compiled in as resources and
// tinted when drawn. Names follow the symbol names the views use ("mic", "mic.fill", "folder", ...).
class SymbolImage {
public:
    static bool exists(const QString& name);
    // The symbol drawn in `color` in a square of `side` pixels at the given device pixel ratio.
    // An unknown name gives a null pixmap.
    static QPixmap render(const QString& name, qreal side, const QColor& color, qreal devicePixelRatio = 1.0);
    // Every name the resources hold.
    static QStringList names();
};
