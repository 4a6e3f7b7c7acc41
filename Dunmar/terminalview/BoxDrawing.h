#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// Box-drawing characters (U+2500–U+257F) and block elements (U+2580–U+259F) drawn from the cell's
// own rectangle instead of the font: a font's glyphs rarely fill the cell exactly, so lines break
// and blocks leave seams between cells at most sizes.
namespace boxdrawing {

// True for the characters draw() knows.
bool covers(char32_t ch);

// Draws a covered character into the cell rectangle. The rectangle's edges are rounded to whole
// pixels the same way for every cell, so neighbours meet without gaps or overlaps.
void draw(QPainter& painter, char32_t ch, const QRectF& cell, const QColor& color);

} // namespace boxdrawing
