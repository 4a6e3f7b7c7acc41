#pragma once

#include "engine/Rgb.h"
#include "engine/TextAttrs.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The terminal's palette: the 16-colour base table, the 256-colour palette rule and its cache, the
// default colours, and the resolution of a cell's foreground and background. The themes that set
// these colours live with the views (theme/).
//
// The palette is process-wide and touched only from the main thread (drawing reads it, a theme
// being applied writes it), so it is plain globals without locks.

// A drawn colour: components from 0 to 1.
struct ColorRGBA {
    double r = 0, g = 0, b = 0, a = 1;
    friend bool operator==(const ColorRGBA&, const ColorRGBA&) = default;
};

// A palette entry of a theme: components from 0 to 1, always opaque.
struct ColorRGB {
    double r = 0, g = 0, b = 0;
    friend bool operator==(const ColorRGB&, const ColorRGB&) = default;
};

// 8-bit components become 0..1 by dividing by 255; such colours are opaque.
ColorRGBA colorFromRgb8(RGB c);
ColorRGBA colorFromRgb(const ColorRGB& c, double alpha = 1.0);

// The base colours of palette indices 0-15, and the default colours the palette starts with.
extern std::array<ColorRGB, 16> kAnsiColors;
extern ColorRGBA kDefaultBG; // default cell background (index 0 without an override)
extern ColorRGBA kDefaultFG; // default cell foreground (index 7 without bold), the fallback
// The colour of every palette index under the active colours, built once so that drawing a cell is
// a lookup, not a computation.
extern std::array<ColorRGBA, 256> kAnsiColorCache;

inline constexpr ColorRGBA kBaseDefaultBG{0.11, 0.11, 0.13, 1};
inline constexpr ColorRGBA kBaseDefaultFG{0.85, 0.85, 0.85, 1};
const std::array<ColorRGB, 16>& baseAnsiColors();

// The colour of a palette index: 0-15 the base table, 16-231 the 6x6x6 cube, 232-255 the grey ramp.
// Any other index (negative ones included) gives kDefaultFG. Reads kAnsiColors, never a theme's
// palette, so the colour queries of the shell always see the base table.
ColorRGBA paletteColor(std::int64_t index);

// Replaces the drawn palette: the default colours, and the colours of indices 0 .. ansi.size() - 1
// (the palette rule for the rest).
void setPaletteColors(const ColorRGBA& defaultFG, const ColorRGBA& defaultBG, const std::vector<ColorRGB>& ansi);
// The palette as the program starts: the base table and the base default colours.
void resetPaletteColors();

// The palette entries a shell replaced (OSC 4), by index; an empty slot keeps the palette's colour.
using PaletteOverrides = std::array<std::optional<RGB>, 256>;

// What resolving a cell's colours needs of its terminal: the palette entries and default colours
// that the shell replaced. It refers to the terminal's overrides rather than copying them, so a view
// makes one per frame (Terminal::colorContext()) and must not keep it beyond the terminal.
struct ColorContext {
    const PaletteOverrides* paletteOverrides = nullptr;
    std::optional<RGB> dynamicFG;
    std::optional<RGB> dynamicBG;
};

// A cell's colours through true colour, bold-bright, the terminal's overrides (when one is given),
// the dynamic default colours and the palette cache. Inverse, dim, hidden and blinking are left to
// the drawing.
ColorRGBA fgColor(const TextAttrs& attrs, const ColorContext* terminal = nullptr);
ColorRGBA bgColor(const TextAttrs& attrs, const ColorContext* terminal = nullptr);
