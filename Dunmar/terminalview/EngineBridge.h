#pragma once

// The view's reading of engine state that the engine does not yet hand out in the form drawing
// wants: the colour context of a terminal, the colour fields of a rendition, and the images placed
// on the grid. Kept in one place so that it follows the engine's API when that grows.

#include "engine/Colors.h"
#include "engine/Sixel.h"
#include "engine/Terminal.h"

#include <QColor>
#include <cstdint>
#include <memory>
#include <vector>

// The palette entries and default colours the shell replaced in this terminal.
ColorContext colorContextOf(const Terminal& terminal);

// The fields of a rendition that decide its colours.
CellColorAttrs colorAttrsOf(const TextAttrs& attrs);

inline QColor toQColor(const ColorRGBA& c) {
    return QColor::fromRgbF(float(c.r), float(c.g), float(c.b), float(c.a));
}
inline QColor toQColor(const RGB& c) {
    return QColor(c.r, c.g, c.b);
}

// A decoded image at a grid position (row may be negative once it scrolled above the screen).
struct PlacedImage {
    std::int64_t row = 0;
    std::int64_t col = 0;
    std::shared_ptr<const RgbaImage> image;
};
std::vector<PlacedImage> placedImages(const Terminal& terminal);
