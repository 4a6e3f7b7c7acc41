#pragma once

#include "engine/Colors.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The built-in colour themes of the terminal and the editors, and which one a setting picks.

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

// Whether the desktop's appearance is light. The application installs the query; without one the
// appearance counts as dark.
void setSystemAppearanceIsLight(std::function<bool()> query);
bool systemAppearanceIsLight();
// The light theme when the desktop is light, else the dark one.
const TerminalTheme& resolveSystemTheme();

// The theme of the colorTheme setting: 0 dark, 1 light, 2 OLED black, 3 follow the desktop, any other
// value dark.
const TerminalTheme& themeForColorThemeSetting(std::int64_t colorTheme);
