#include "theme/TerminalTheme.h"

#include "theme/ThemeColors.h"

#include <utility>

namespace {

std::vector<ColorRGB> baseAnsiVector() {
    const auto& base = baseAnsiColors();
    return {base.begin(), base.end()};
}

std::function<bool()>& systemAppearanceQuery() {
    static std::function<bool()> query;
    return query;
}

} // namespace

const TerminalTheme& TerminalTheme::dark() {
    static const TerminalTheme theme{"dark",
                                     kBaseDefaultBG,
                                     kBaseDefaultFG,
                                     0.28,
                                     kBaseSelectionColor,
                                     kBaseCursorColor,
                                     baseAnsiVector(),
                                     VisualMaterial::hudWindow};
    return theme;
}

const TerminalTheme& TerminalTheme::light() {
    static const TerminalTheme theme = [] {
        std::vector<ColorRGB> palette = baseAnsiVector();
        palette[0] = {0.05, 0.05, 0.05};
        palette[7] = {0.4, 0.4, 0.42};
        palette[15] = {0.15, 0.15, 0.18};
        return TerminalTheme{"light",
                             {0.96, 0.96, 0.97, 1},
                             {0.1, 0.1, 0.13, 1},
                             0.15,
                             {0.2, 0.4, 0.8, 0.3},
                             {0.2, 0.4, 0.8, 1},
                             std::move(palette),
                             VisualMaterial::sheet};
    }();
    return theme;
}

const TerminalTheme& TerminalTheme::oledBlack() {
    static const TerminalTheme theme{"oled",
                                     {0, 0, 0, 1},
                                     {0.9, 0.9, 0.9, 1},
                                     0.98,
                                     kBaseSelectionColor,
                                     kBaseCursorColor,
                                     baseAnsiVector(),
                                     VisualMaterial::underWindowBackground};
    return theme;
}

void setSystemAppearanceIsLight(std::function<bool()> query) {
    systemAppearanceQuery() = std::move(query);
}

bool systemAppearanceIsLight() {
    const auto& query = systemAppearanceQuery();
    return query && query();
}

const TerminalTheme& resolveSystemTheme() {
    return systemAppearanceIsLight() ? TerminalTheme::light() : TerminalTheme::dark();
}

const TerminalTheme& themeForColorThemeSetting(std::int64_t colorTheme) {
    switch (colorTheme) {
    case 1:
        return TerminalTheme::light();
    case 2:
        return TerminalTheme::oledBlack();
    case 3:
        return resolveSystemTheme();
    default:
        return TerminalTheme::dark();
    }
}
