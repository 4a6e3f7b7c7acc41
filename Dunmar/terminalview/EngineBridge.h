#pragma once

// Conversions between the engine's colour and image types and Qt's.

#include "engine/Colors.h"
#include "engine/Sixel.h"
#include "engine/Terminal.h"

#include <QColor>
#include <cstdint>
#include <memory>
#include <vector>

inline QColor toQColor(const ColorRGBA& c) {
    return QColor::fromRgbF(float(c.r), float(c.g), float(c.b), float(c.a));
}
inline QColor toQColor(const RGB& c) {
    return QColor(c.r, c.g, c.b);
}
