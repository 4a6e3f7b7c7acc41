#include "engine/Colors.h"

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

constexpr double cubeLevel(std::uint64_t c) {
    return c == 0 ? 0.0 : double(c * 40 + 55) / 255.0;
}

// The palette rule over a given base table and fallback, so that the start values of the globals can
// be computed before any code runs.
constexpr ColorRGBA paletteRule(std::int64_t index, const std::array<ColorRGB, 16>& base,
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
    for (int i = 0; i < 256; ++i) cache[i] = paletteRule(i, kBaseAnsiColors, kBaseDefaultFG);
    return cache;
}

} // namespace

std::array<ColorRGB, 16> kAnsiColors = kBaseAnsiColors;
ColorRGBA kDefaultBG = kBaseDefaultBG;
ColorRGBA kDefaultFG = kBaseDefaultFG;
constinit std::array<ColorRGBA, 256> kAnsiColorCache = startColorCache();

ColorRGBA colorFromRgb8(RGB c) {
    return {c.r / 255.0, c.g / 255.0, c.b / 255.0, 1};
}

ColorRGBA colorFromRgb(const ColorRGB& c, double alpha) {
    return {c.r, c.g, c.b, alpha};
}

const std::array<ColorRGB, 16>& baseAnsiColors() {
    return kBaseAnsiColors;
}

ColorRGBA paletteColor(std::int64_t index) {
    return paletteRule(index, kAnsiColors, kDefaultFG);
}

void setPaletteColors(const ColorRGBA& defaultFG, const ColorRGBA& defaultBG, const std::vector<ColorRGB>& ansi) {
    kDefaultBG = defaultBG;
    kDefaultFG = defaultFG;
    for (std::size_t i = 0; i < kAnsiColorCache.size(); ++i) {
        kAnsiColorCache[i] = i < ansi.size() ? colorFromRgb(ansi[i]) : paletteColor(std::int64_t(i));
    }
}

void resetPaletteColors() {
    kAnsiColors = kBaseAnsiColors;
    kDefaultBG = kBaseDefaultBG;
    kDefaultFG = kBaseDefaultFG;
    for (int i = 0; i < 256; ++i) kAnsiColorCache[i] = paletteColor(i);
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
