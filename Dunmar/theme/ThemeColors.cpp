#include "theme/ThemeColors.h"

#include <utility>

namespace {

constexpr ColorRGBA kDarkTerminalBackground{0.05, 0.05, 0.08, 0.28};
constexpr ColorRGBA kLightTerminalBackground{0.94, 0.94, 0.96, 0.95};
constexpr ColorRGBA kOledTerminalBackground{0, 0, 0, 0.99};
constexpr ColorRGBA kBaseHyperlinkColor{0.4, 0.6, 1.0, 0.8};

std::function<void(const TerminalTheme&, const ThemeEditorColors&)>& applyThemeHook() {
    static std::function<void(const TerminalTheme&, const ThemeEditorColors&)> hook;
    return hook;
}

} // namespace

ColorRGBA kTerminalBackground = kDarkTerminalBackground;
ColorRGBA kSelectionColor = kBaseSelectionColor;
ColorRGBA kCursorColor = kBaseCursorColor;
ColorRGBA kHyperlinkColor = kBaseHyperlinkColor;
TerminalTheme activeTheme = TerminalTheme::dark();

void initColorGlobals() {
    resetPaletteColors();
    kTerminalBackground = kDarkTerminalBackground;
    kSelectionColor = kBaseSelectionColor;
    kCursorColor = kBaseCursorColor;
    kHyperlinkColor = kBaseHyperlinkColor;
    activeTheme = TerminalTheme::dark();
}

void applyTheme(const TerminalTheme& theme) {
    // Copy first: the argument may be activeTheme itself.
    TerminalTheme applied = theme;
    setPaletteColors(applied.defaultFG, applied.defaultBG, applied.ansiColors);
    if (applied.id == "light") {
        kTerminalBackground = kLightTerminalBackground;
    } else if (applied.id == "oled") {
        kTerminalBackground = kOledTerminalBackground;
    } else {
        kTerminalBackground = kDarkTerminalBackground;
    }
    kSelectionColor = applied.selectionColor;
    kCursorColor = applied.cursorColor;
    activeTheme = std::move(applied);
    if (const auto& hook = applyThemeHook()) {
        hook(activeTheme, ThemeEditorColors{kTerminalBackground, kDefaultFG, activeTheme.id != "light"});
    }
}

void setApplyThemeHook(std::function<void(const TerminalTheme&, const ThemeEditorColors&)> hook) {
    applyThemeHook() = std::move(hook);
}
