#pragma once

#include <QColor>
#include <QFont>

// Colours and faces shared by the window chrome. Sizes are given in pixels, which the chrome uses
// as its points: a 10-pixel font matches the bar heights the layout is drawn for.
namespace chrome {

// Whether the chrome sits on a light backdrop (the light theme). Its greys are then mirrored (a
// level l drawn as 1 - l), so that hints, titles and lines keep their contrast on it.
inline bool& lightAppearanceFlag() {
    static bool light = false;
    return light;
}
inline bool lightAppearance() {
    return lightAppearanceFlag();
}
inline void setLightAppearance(bool light) {
    lightAppearanceFlag() = light;
}

// A grey level with an alpha, both 0 to 1: light on the dark backdrop, mirrored on a light one.
inline QColor white(qreal level, qreal alpha = 1.0) {
    const qreal l = lightAppearance() ? 1.0 - level : level;
    return QColor::fromRgbF(l, l, l, alpha);
}
inline QColor rgb(qreal r, qreal g, qreal b, qreal a = 1.0) {
    return QColor::fromRgbF(r, g, b, a);
}
inline QColor withAlpha(QColor c, qreal alpha) {
    c.setAlphaF(alpha);
    return c;
}
inline QColor clear() {
    return QColor(0, 0, 0, 0);
}

// The desktop's named colours, matched to the ones the design was drawn with.
inline QColor systemBlue() {
    return QColor(10, 132, 255);
}
inline QColor systemRed() {
    return QColor(255, 69, 58);
}
inline QColor systemOrange() {
    return QColor(255, 159, 10);
}
inline QColor accentColor() {
    return systemBlue();
}

// The proportional interface face (Inter when installed) and the monospaced one (JetBrains Mono
// when installed), at a size in pixels.
QFont systemFont(qreal pixels, QFont::Weight weight = QFont::Normal);
QFont monoFont(qreal pixels, QFont::Weight weight = QFont::Normal);

} // namespace chrome
