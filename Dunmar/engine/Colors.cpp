#include "engine/Colors.h"

#include <utility>

namespace {

constexpr std::array<ColorRGB, 16> kBaseAnsiColors = {{
    {0.0, 0.0, 0.0},    // black
    {0.8, 0.22, 0.22},  // red
    {0.22, 0.8, 0.22},  // green
    {0.8, 0.75, 0.22},  // yellow
    {0.35, 0.45, 0.8},  // blue
    {0.75, 0.25, 0.75}, // magenta
    {0.25, 0.75, 0.75}, // cyan
    {0.75, 0.75, 0.75}, // white
    {0.45, 0.45, 0.45}, // bright black
    {1.0, 0.35, 0.35},  // bright red
    {0.35, 1.0, 0.35},  // bright green
    {1.0, 1.0, 0.35},   // bright yellow
    {0.5, 0.55, 1.0},   // bright blue
    {1.0, 0.35, 1.0},   // bright magenta
    {0.35, 1.0, 1.0},   // bright cyan
    {1.0, 1.0, 1.0},    // bright white
}};

constexpr ColorRGBA kStartDefaultBG{0.11, 0.11, 0.13, 1};
constexpr ColorRGBA kStartDefaultFG{0.85, 0.85, 0.85, 1};
constexpr ColorRGBA kDarkTermBg{0.05, 0.05, 0.08, 0.28};
constexpr ColorRGBA kLightTermBg{0.94, 0.94, 0.96, 0.95};
constexpr ColorRGBA kOledTermBg{0, 0, 0, 0.99};
constexpr ColorRGBA kStartSelection{0.3, 0.5, 0.8, 0.4};
constexpr ColorRGBA kStartCursor{0.4, 0.7, 1.0, 1.0};
constexpr ColorRGBA kStartHyperlink{0.4, 0.6, 1.0, 0.8};

constexpr double cubeLevel(std::uint64_t c) {
    return c == 0 ? 0.0 : double(c * 40 + 55) / 255.0;
}

// The palette rule over a given base table and fallback, so that the start values of the globals can
// be computed before any code runs.
constexpr ColorRGBA paletteColor(std::int64_t index, const std::array<ColorRGB, 16>& base,
                                 const ColorRGBA& fallback) {
    // Compared as unsigned: a negative index lands in the fallback.
    const auto u = static_cast<std::uint64_t>(index);
    if (u < 16) return {base[u].r, base[u].g, base[u].b, 1};
    if (u < 232) {
        const std::uint64_t n = u - 16;
        return {cubeLevel(n / 36), cubeLevel((n % 36) / 6), cubeLevel(n % 6), 1};
    }
    if (u < 256) {
        const double grey = double((u - 232) * 10 + 8) / 255.0;
        return {grey, grey, grey, 1};
    }
    return fallback;
}

constexpr std::array<ColorRGBA, 256> startColorCache() {
    std::array<ColorRGBA, 256> cache{};
    for (int i = 0; i < 256; ++i) cache[i] = paletteColor(i, kBaseAnsiColors, kStartDefaultFG);
    return cache;
}

std::vector<ColorRGB> baseAnsiVector() {
    return {kBaseAnsiColors.begin(), kBaseAnsiColors.end()};
}

std::function<void(const TerminalTheme&, const ThemeEditorColors&)>& applyThemeHook() {
    static std::function<void(const TerminalTheme&, const ThemeEditorColors&)> hook;
    return hook;
}

std::function<bool()>& systemAppearanceQuery() {
    static std::function<bool()> query;
    return query;
}

} // namespace

std::array<ColorRGB, 16> kAnsiColors = kBaseAnsiColors;
ColorRGBA kDefaultBG = kStartDefaultBG;
ColorRGBA kDefaultFG = kStartDefaultFG;
ColorRGBA kTermBgCGColor = kDarkTermBg;
ColorRGBA kSelectionCGColor = kStartSelection;
ColorRGBA kCursorCGColor = kStartCursor;
ColorRGBA kHyperlinkCGColor = kStartHyperlink;
constinit std::array<ColorRGBA, 256> kAnsiColorCache = startColorCache();
TerminalTheme activeTheme = TerminalTheme::dark();

ColorRGBA colorFromRgb8(RGB c) {
    return {c.r / 255.0, c.g / 255.0, c.b / 255.0, 1};
}

ColorRGBA colorFromRgb(const ColorRGB& c, double alpha) {
    return {c.r, c.g, c.b, alpha};
}

ColorRGBA nsColorFromAnsi(std::int64_t index) {
    return paletteColor(index, kAnsiColors, kDefaultFG);
}

const TerminalTheme& TerminalTheme::dark() {
    static const TerminalTheme theme{
        "dark",          kStartDefaultBG, kStartDefaultFG,  0.28,
        kStartSelection, kStartCursor,    baseAnsiVector(), VisualMaterial::hudWindow};
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
    static const TerminalTheme theme{
        "oled",          {0, 0, 0, 1}, {0.9, 0.9, 0.9, 1}, 0.98,
        kStartSelection, kStartCursor, baseAnsiVector(),   VisualMaterial::underWindowBackground};
    return theme;
}

void initColorGlobals() {
    kAnsiColors = kBaseAnsiColors;
    kDefaultBG = kStartDefaultBG;
    kDefaultFG = kStartDefaultFG;
    kTermBgCGColor = kDarkTermBg;
    kSelectionCGColor = kStartSelection;
    kCursorCGColor = kStartCursor;
    kHyperlinkCGColor = kStartHyperlink;
    for (int i = 0; i < 256; ++i) kAnsiColorCache[i] = nsColorFromAnsi(i);
    activeTheme = TerminalTheme::dark();
}

void applyTheme(const TerminalTheme& theme) {
    // Copy first: the argument may be activeTheme itself.
    TerminalTheme applied = theme;
    kDefaultBG = applied.defaultBG;
    kDefaultFG = applied.defaultFG;
    if (applied.id == "light") {
        kTermBgCGColor = kLightTermBg;
    } else if (applied.id == "oled") {
        kTermBgCGColor = kOledTermBg;
    } else {
        kTermBgCGColor = kDarkTermBg;
    }
    kSelectionCGColor = applied.selectionColor;
    kCursorCGColor = applied.cursorColor;
    for (std::size_t i = 0; i < kAnsiColorCache.size(); ++i) {
        kAnsiColorCache[i] = i < applied.ansiColors.size() ? colorFromRgb(applied.ansiColors[i])
                                                           : nsColorFromAnsi(static_cast<std::int64_t>(i));
    }
    activeTheme = std::move(applied);
    if (const auto& hook = applyThemeHook()) {
        hook(activeTheme, ThemeEditorColors{kTermBgCGColor, kDefaultFG, activeTheme.id != "light"});
    }
}

void setApplyThemeHook(std::function<void(const TerminalTheme&, const ThemeEditorColors&)> hook) {
    applyThemeHook() = std::move(hook);
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

namespace {
const std::optional<RGB>& overrideFor(const ColorContext* terminal, std::int64_t index) {
    static const std::optional<RGB> none;
    if (!terminal || !terminal->paletteOverrides || index < 0 ||
        index >= static_cast<std::int64_t>(terminal->paletteOverrides->size())) {
        return none;
    }
    return (*terminal->paletteOverrides)[static_cast<std::size_t>(index)];
}
} // namespace

ColorRGBA fgColor(const TextAttrs& attrs, const ColorContext* terminal) {
    if (attrs.fgRGB) return colorFromRgb8(*attrs.fgRGB);
    // Bold brightens the eight basic colours, for the overrides as well as for the palette.
    const std::int64_t key = attrs.bold && attrs.fg < 8 ? attrs.fg + 8 : attrs.fg;
    if (const auto& over = overrideFor(terminal, key)) return colorFromRgb8(*over);
    if (attrs.fg == 7 && !attrs.bold) {
        if (terminal && terminal->dynamicFG) return colorFromRgb8(*terminal->dynamicFG);
        return kDefaultFG;
    }
    if (key >= 0 && key < 256) return kAnsiColorCache[static_cast<std::size_t>(key)];
    return kDefaultFG;
}

ColorRGBA bgColor(const TextAttrs& attrs, const ColorContext* terminal) {
    if (attrs.bgRGB) return colorFromRgb8(*attrs.bgRGB);
    if (const auto& over = overrideFor(terminal, attrs.bg)) return colorFromRgb8(*over);
    if (attrs.bg == 0) {
        if (terminal && terminal->dynamicBG) return colorFromRgb8(*terminal->dynamicBG);
        return kDefaultBG;
    }
    if (attrs.bg >= 0 && attrs.bg < 256) return kAnsiColorCache[static_cast<std::size_t>(attrs.bg)];
    return kDefaultBG;
}
