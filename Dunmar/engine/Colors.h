#pragma once

#include "engine/Rgb.h"
#include "engine/TextAttrs.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Every colour the terminal draws with: the 16-colour base table, the 256-colour palette rule and its
// cache, the process-wide colours that the view and the editor read, the built-in themes, and the
// resolution of a cell's foreground and background.
//
// The colour state is process-wide and touched only from the main thread (drawing reads it,
// applyTheme writes it), so it is plain globals without locks.

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

// The base colours of palette indices 0-15.
extern std::array<ColorRGB, 16> kAnsiColors;
extern ColorRGBA kDefaultBG;        // default cell background (index 0 without an override)
extern ColorRGBA kDefaultFG;        // default cell foreground (index 7 without bold), the fallback
extern ColorRGBA kTermBgCGColor;    // the terminal view's translucent background
extern ColorRGBA kSelectionCGColor; // selection highlight
extern ColorRGBA kCursorCGColor;    // cursor
extern ColorRGBA kHyperlinkCGColor; // underline of hyperlinks; no theme changes it
// The colour of every palette index under the active theme, built once so that drawing a cell is a
// lookup, not a computation.
extern std::array<ColorRGBA, 256> kAnsiColorCache;

// The colour of a palette index: 0-15 the base table, 16-231 the 6x6x6 cube, 232-255 the grey ramp.
// Any other index (negative ones included) gives kDefaultFG. Reads kAnsiColors, never the theme's
// palette, so the colour queries of the shell always see the base table.
ColorRGBA nsColorFromAnsi(std::int64_t index);

// The blur material behind the window, by the raw values the settings and the window share.
enum class VisualMaterial : int { sheet = 11, hudWindow = 13, underWindowBackground = 21 };

struct TerminalTheme {
    std::string id; // "dark", "light" or "oled"; applyTheme branches on it
    ColorRGBA defaultBG;
    ColorRGBA defaultFG;
    double termBgAlpha = 1.0; // carried with the theme; the view background is chosen by id
    ColorRGBA selectionColor;
    ColorRGBA cursorColor;
    std::vector<ColorRGB> ansiColors; // colours of palette indices 0 .. count-1
    VisualMaterial visualMaterial = VisualMaterial::hudWindow;

    // Built once on first use and shared.
    static const TerminalTheme& dark();
    static const TerminalTheme& light();
    static const TerminalTheme& oledBlack();
};

extern TerminalTheme activeTheme;

// Sets every colour global to its start value (the dark theme's colours, the cache filled from
// nsColorFromAnsi) without running the applyTheme hook. The globals already hold these values when
// the program starts; the entry point calls this once before any view exists, tests call it to
// start from a known state.
void initColorGlobals();

// The colours an editor takes from a theme when it is applied.
struct ThemeEditorColors {
    ColorRGBA bg;       // the terminal background of the theme
    ColorRGBA fg;       // the theme's default foreground
    bool highlightDark; // dark syntax colours, for every theme but "light"
};

// Makes a theme active: activeTheme, the default colours, the view background (chosen by id), the
// selection and cursor colours and the palette cache. Then calls the hook that the application
// installs to recolour its editors; the engine itself knows nothing of them.
void applyTheme(const TerminalTheme& theme);
void setApplyThemeHook(std::function<void(const TerminalTheme&, const ThemeEditorColors&)> hook);

// Whether the desktop's appearance is light. The application installs the query; without one the
// appearance counts as dark.
void setSystemAppearanceIsLight(std::function<bool()> query);
bool systemAppearanceIsLight();
// The light theme when the desktop is light, else the dark one.
const TerminalTheme& resolveSystemTheme();

// The theme of the colorTheme setting: 0 dark, 1 light, 2 OLED black, 3 follow the desktop, any other
// value dark.
const TerminalTheme& themeForColorThemeSetting(std::int64_t colorTheme);

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
