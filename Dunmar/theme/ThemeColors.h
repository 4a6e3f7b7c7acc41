#pragma once

#include "engine/Colors.h"
#include "theme/TerminalTheme.h"

#include <functional>

// The colours of the active theme that the views draw with beyond the palette (the terminal's
// translucent background, the selection, the cursor, links), and applying a theme: these colours,
// the engine's palette, and the editors through a hook.
//
// Process-wide and touched only from the main thread, like the palette.

inline constexpr ColorRGBA kBaseSelectionColor{0.3, 0.5, 0.8, 0.4};
inline constexpr ColorRGBA kBaseCursorColor{0.4, 0.7, 1.0, 1.0};

extern ColorRGBA kTerminalBackground; // the terminal view's translucent background
extern ColorRGBA kSelectionColor;     // selection highlight
extern ColorRGBA kCursorColor;        // cursor
extern ColorRGBA kHyperlinkColor;     // underline of hyperlinks; no theme changes it

extern TerminalTheme activeTheme;

// Sets every colour (the palette included) to its start value, the dark theme's colours, without
// running the applyTheme hook. The globals already hold these values when the program starts; the
// entry point calls this once before any view exists, tests call it to start from a known state.
void initColorGlobals();

// The colours an editor takes from a theme when it is applied.
struct ThemeEditorColors {
    ColorRGBA bg;       // the terminal background of the theme
    ColorRGBA fg;       // the theme's default foreground
    bool highlightDark; // dark syntax colours, for every theme but "light"
};

// Makes a theme active: activeTheme, the palette and default colours, the view background (chosen
// by id), the selection and cursor colours. Then calls the hook that the application installs to
// recolour its editors.
void applyTheme(const TerminalTheme& theme);
void setApplyThemeHook(std::function<void(const TerminalTheme&, const ThemeEditorColors&)> hook);
