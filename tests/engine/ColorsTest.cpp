#include "theme/ThemeColors.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

// Colour globals are process-wide: every test starts and ends at the start values, with no hooks.
class Colors : public testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        setApplyThemeHook(nullptr);
        setSystemAppearanceIsLight(nullptr);
        initColorGlobals();
    }
};

testing::AssertionResult sameColor(const ColorRGBA& got, const ColorRGBA& want) {
    constexpr double eps = 1e-9;
    if (std::abs(got.r - want.r) < eps && std::abs(got.g - want.g) < eps && std::abs(got.b - want.b) < eps &&
        std::abs(got.a - want.a) < eps) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "got (" << got.r << ", " << got.g << ", " << got.b << ", " << got.a << "), want (" << want.r
           << ", " << want.g << ", " << want.b << ", " << want.a << ")";
}

// Attributes by field: foreground, background, bold, true-colour foreground and background.
TextAttrs cell(std::int64_t fg, std::int64_t bg = 0, bool bold = false, std::optional<RGB> fgRGB = {},
               std::optional<RGB> bgRGB = {}) {
    TextAttrs a;
    a.fg = fg;
    a.bg = bg;
    a.bold = bold;
    a.fgRGB = fgRGB;
    a.bgRGB = bgRGB;
    return a;
}

ColorRGBA grey(double v) {
    return {v, v, v, 1};
}
ColorRGBA rgb255(int r, int g, int b) {
    return {r / 255.0, g / 255.0, b / 255.0, 1};
}

} // namespace

TEST_F(Colors, BaseTableHoldsTheSixteenColours) {
    const ColorRGB want[16] = {{0.0, 0.0, 0.0},    {0.8, 0.22, 0.22},  {0.22, 0.8, 0.22},  {0.8, 0.75, 0.22},
                               {0.35, 0.45, 0.8},  {0.75, 0.25, 0.75}, {0.25, 0.75, 0.75}, {0.75, 0.75, 0.75},
                               {0.45, 0.45, 0.45}, {1.0, 0.35, 0.35},  {0.35, 1.0, 0.35},  {1.0, 1.0, 0.35},
                               {0.5, 0.55, 1.0},   {1.0, 0.35, 1.0},   {0.35, 1.0, 1.0},   {1.0, 1.0, 1.0}};
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kAnsiColors[i], want[i]);
        EXPECT_TRUE(sameColor(paletteColor(i), colorFromRgb(want[i])));
    }
}

TEST_F(Colors, PaletteRuleCoversCubeGreysAndOutOfRange) {
    struct Case {
        std::int64_t index;
        ColorRGBA want;
    };
    const Case cases[] = {
        {16, {0, 0, 0, 1}},
        {21, {0, 0, 1, 1}},
        {67, rgb255(95, 135, 175)}, // levels 1, 2, 3 of the
                                    // cube
        {196, {1, 0, 0, 1}},
        {231, {1, 1, 1, 1}},
        {232, grey(8 / 255.0)},
        {244, grey(128 / 255.0)},
        {255, grey(238 / 255.0)},
        {256, kDefaultFG},
        {-1, kDefaultFG},
        {INT64_MIN, kDefaultFG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_TRUE(sameColor(paletteColor(c.index), c.want));
    }
}

TEST_F(Colors, StartValuesAreTheDarkThemeApplied) {
    EXPECT_TRUE(sameColor(kDefaultBG, {0.11, 0.11, 0.13, 1}));
    EXPECT_TRUE(sameColor(kDefaultFG, {0.85, 0.85, 0.85, 1}));
    EXPECT_TRUE(sameColor(kTerminalBackground, {0.05, 0.05, 0.08, 0.28}));
    EXPECT_TRUE(sameColor(kSelectionColor, {0.3, 0.5, 0.8, 0.4}));
    EXPECT_TRUE(sameColor(kCursorColor, {0.4, 0.7, 1.0, 1.0}));
    EXPECT_TRUE(sameColor(kHyperlinkColor, {0.4, 0.6, 1.0, 0.8}));
    EXPECT_EQ(activeTheme.id, "dark");
    for (int i = 0; i < 256; ++i) EXPECT_EQ(kAnsiColorCache[i], paletteColor(i)) << i;

    const auto startCache = kAnsiColorCache;
    const ColorRGBA start[] = {kDefaultBG, kDefaultFG, kTerminalBackground, kSelectionColor, kCursorColor};
    applyTheme(TerminalTheme::dark());
    const ColorRGBA applied[] = {kDefaultBG, kDefaultFG, kTerminalBackground, kSelectionColor, kCursorColor};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(start[i], applied[i]) << i;
    EXPECT_EQ(startCache, kAnsiColorCache);
}

TEST_F(Colors, BuiltInThemes) {
    struct Case {
        const TerminalTheme& theme;
        std::string id;
        ColorRGBA bg, fg;
        double termBgAlpha;
        ColorRGBA selection, cursor;
        VisualMaterial material;
        int materialRaw;
    };
    const Case cases[] = {
        {TerminalTheme::dark(),
         "dark",
         {0.11, 0.11, 0.13, 1},
         {0.85, 0.85, 0.85, 1},
         0.28,
         {0.3, 0.5, 0.8, 0.4},
         {0.4, 0.7, 1.0, 1},
         VisualMaterial::hudWindow,
         13},
        {TerminalTheme::light(),
         "light",
         {0.96, 0.96, 0.97, 1},
         {0.1, 0.1, 0.13, 1},
         0.15,
         {0.2, 0.4, 0.8, 0.3},
         {0.2, 0.4, 0.8, 1},
         VisualMaterial::sheet,
         11},
        {TerminalTheme::oledBlack(),
         "oled",
         {0, 0, 0, 1},
         {0.9, 0.9, 0.9, 1},
         0.98,
         {0.3, 0.5, 0.8, 0.4},
         {0.4, 0.7, 1.0, 1},
         VisualMaterial::underWindowBackground,
         21},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.theme.id, c.id);
        EXPECT_TRUE(sameColor(c.theme.defaultBG, c.bg));
        EXPECT_TRUE(sameColor(c.theme.defaultFG, c.fg));
        EXPECT_DOUBLE_EQ(c.theme.termBgAlpha, c.termBgAlpha);
        EXPECT_TRUE(sameColor(c.theme.selectionColor, c.selection));
        EXPECT_TRUE(sameColor(c.theme.cursorColor, c.cursor));
        EXPECT_EQ(c.theme.visualMaterial, c.material);
        EXPECT_EQ(static_cast<int>(c.theme.visualMaterial), c.materialRaw);
        ASSERT_EQ(c.theme.ansiColors.size(), 16u);
    }
    // Only the light theme changes the palette, and only three entries of it.
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(TerminalTheme::dark().ansiColors[i], kAnsiColors[i]) << i;
        EXPECT_EQ(TerminalTheme::oledBlack().ansiColors[i], kAnsiColors[i]) << i;
        const ColorRGB light = TerminalTheme::light().ansiColors[i];
        if (i == 0) {
            EXPECT_EQ(light, (ColorRGB{0.05, 0.05, 0.05}));
        } else if (i == 7) {
            EXPECT_EQ(light, (ColorRGB{0.4, 0.4, 0.42}));
        } else if (i == 15) {
            EXPECT_EQ(light, (ColorRGB{0.15, 0.15, 0.18}));
        } else {
            EXPECT_EQ(light, kAnsiColors[i]) << i;
        }
    }
    EXPECT_EQ(&TerminalTheme::light(), &TerminalTheme::light());
}

TEST_F(Colors, ApplyingAThemeReplacesTheGlobals) {
    struct Case {
        const TerminalTheme& theme;
        ColorRGBA termBg;
    };
    const Case cases[] = {
        {TerminalTheme::light(), {0.94, 0.94, 0.96, 0.95}},
        {TerminalTheme::oledBlack(), {0, 0, 0, 0.99}},
        {TerminalTheme::dark(), {0.05, 0.05, 0.08, 0.28}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.theme.id);
        applyTheme(c.theme);
        EXPECT_EQ(activeTheme.id, c.theme.id);
        EXPECT_EQ(kDefaultBG, c.theme.defaultBG);
        EXPECT_EQ(kDefaultFG, c.theme.defaultFG);
        EXPECT_TRUE(sameColor(kTerminalBackground, c.termBg));
        EXPECT_EQ(kSelectionColor, c.theme.selectionColor);
        EXPECT_EQ(kCursorColor, c.theme.cursorColor);
        EXPECT_TRUE(sameColor(kHyperlinkColor, {0.4, 0.6, 1.0, 0.8}));
        for (int i = 0; i < 16; ++i) EXPECT_EQ(kAnsiColorCache[i], colorFromRgb(c.theme.ansiColors[i])) << i;
        for (int i = 16; i < 256; ++i) EXPECT_EQ(kAnsiColorCache[i], paletteColor(i)) << i;
    }
}

TEST_F(Colors, PaletteQueriesKeepTheBaseTableUnderTheLightTheme) {
    applyTheme(TerminalTheme::light());
    EXPECT_TRUE(sameColor(kAnsiColorCache[7], {0.4, 0.4, 0.42, 1}));
    EXPECT_TRUE(sameColor(paletteColor(7), {0.75, 0.75, 0.75, 1}));
    // Out-of-range indices fall back to the light theme's foreground.
    EXPECT_EQ(paletteColor(256), TerminalTheme::light().defaultFG);
}

TEST_F(Colors, ShortPalettesAndUnknownIds) {
    TerminalTheme custom = TerminalTheme::light();
    custom.id = "sepia";
    custom.ansiColors = {{0.1, 0.2, 0.3}, {0.4, 0.5, 0.6}};
    applyTheme(custom);
    EXPECT_TRUE(sameColor(kTerminalBackground, {0.05, 0.05, 0.08, 0.28}));
    EXPECT_TRUE(sameColor(kAnsiColorCache[0], {0.1, 0.2, 0.3, 1}));
    EXPECT_TRUE(sameColor(kAnsiColorCache[1], {0.4, 0.5, 0.6, 1}));
    for (int i = 2; i < 16; ++i) EXPECT_EQ(kAnsiColorCache[i], paletteColor(i)) << i;
    EXPECT_EQ(activeTheme.id, "sepia");

    // Re-applying the active theme itself leaves it intact.
    applyTheme(activeTheme);
    EXPECT_EQ(activeTheme.id, "sepia");
    EXPECT_EQ(activeTheme.ansiColors.size(), 2u);
}

TEST_F(Colors, ApplyThemeTellsTheHookTheEditorColours) {
    struct Seen {
        std::string id;
        ThemeEditorColors colors;
    };
    std::vector<Seen> seen;
    setApplyThemeHook([&](const TerminalTheme& theme, const ThemeEditorColors& colors) {
        // The globals are already replaced when the hook runs.
        EXPECT_EQ(activeTheme.id, theme.id);
        seen.push_back({theme.id, colors});
    });
    applyTheme(TerminalTheme::light());
    applyTheme(TerminalTheme::oledBlack());
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].id, "light");
    EXPECT_TRUE(sameColor(seen[0].colors.bg, {0.94, 0.94, 0.96, 0.95}));
    EXPECT_TRUE(sameColor(seen[0].colors.fg, {0.1, 0.1, 0.13, 1}));
    EXPECT_FALSE(seen[0].colors.highlightDark);
    EXPECT_EQ(seen[1].id, "oled");
    EXPECT_TRUE(sameColor(seen[1].colors.bg, {0, 0, 0, 0.99}));
    EXPECT_TRUE(seen[1].colors.highlightDark);
}

TEST_F(Colors, ColourThemeSettingPicksTheTheme) {
    bool desktopLight = false;
    setSystemAppearanceIsLight([&] { return desktopLight; });
    struct Case {
        std::int64_t setting;
        bool desktopLight;
        std::string id;
    };
    const Case cases[] = {
        {0, true, "dark"},  {1, false, "light"}, {2, false, "oled"}, {3, false, "dark"},
        {3, true, "light"}, {4, true, "dark"},   {-1, true, "dark"}, {99, false, "dark"},
    };
    for (const Case& c : cases) {
        desktopLight = c.desktopLight;
        EXPECT_EQ(themeForColorThemeSetting(c.setting).id, c.id) << c.setting << " light=" << c.desktopLight;
    }
    setSystemAppearanceIsLight(nullptr);
    EXPECT_EQ(resolveSystemTheme().id, "dark");
}

TEST_F(Colors, ForegroundResolution) {
    PaletteOverrides nine{};
    nine[9] = RGB{1, 2, 3};
    PaletteOverrides sevenAndNine = nine;
    sevenAndNine[7] = RGB{40, 50, 60};
    const ColorContext overrides{&nine, {}, {}};
    const ColorContext dynamic{nullptr, RGB{10, 20, 30}, {}};
    const ColorContext both{&sevenAndNine, RGB{10, 20, 30}, {}};

    struct Case {
        const char* what;
        TextAttrs attrs;
        const ColorContext* terminal;
        ColorRGBA want;
    };
    const Case cases[] = {
        {"default fg", {}, nullptr, kDefaultFG},
        {"default fg, not cache entry 7", cell(7), &overrides, kDefaultFG},
        {"dynamic fg", cell(7), &dynamic, rgb255(10, 20, 30)},
        {"override of 7 wins over the dynamic fg", cell(7), &both, rgb255(40, 50, 60)},
        {"bold default fg is bright white", cell(7, 0, true), &dynamic, kAnsiColorCache[15]},
        {"bold brightens", cell(1, 0, true), nullptr, kAnsiColorCache[9]},
        {"override of the bright key", cell(1, 0, true), &overrides, rgb255(1, 2, 3)},
        {"override of 9 used by plain 9", cell(9), &overrides, rgb255(1, 2, 3)},
        {"bold leaves 8 and above", cell(12, 0, true), nullptr, kAnsiColorCache[12]},
        {"palette 196", cell(196), nullptr, {1, 0, 0, 1}},
        {"true colour wins", cell(1, 0, true, RGB{255, 0, 128}), &overrides, rgb255(255, 0, 128)},
        {"out of range", cell(300), &overrides, kDefaultFG},
        {"negative", cell(-5), nullptr, kDefaultFG},
    };
    for (const Case& c : cases) EXPECT_TRUE(sameColor(fgColor(c.attrs, c.terminal), c.want)) << c.what;

    PaletteOverrides one{};
    one[1] = RGB{9, 9, 9};
    const ColorContext overrideOfOne{&one, {}, {}};
    EXPECT_EQ(fgColor(cell(1, 0, true), &overrideOfOne), kAnsiColorCache[9]);
}

TEST_F(Colors, BackgroundResolution) {
    PaletteOverrides zero{};
    zero[0] = RGB{1, 2, 3};
    const ColorContext dynamic{nullptr, {}, RGB{10, 20, 30}};
    const ColorContext overrideZero{&zero, {}, RGB{10, 20, 30}};

    struct Case {
        const char* what;
        TextAttrs attrs;
        const ColorContext* terminal;
        ColorRGBA want;
    };
    const Case cases[] = {
        {"default bg", {}, nullptr, kDefaultBG},
        {"default bg, not cache entry 0", cell(7, 0), nullptr, kDefaultBG},
        {"dynamic bg", cell(7, 0), &dynamic, rgb255(10, 20, 30)},
        {"override of 0 wins", cell(7, 0), &overrideZero, rgb255(1, 2, 3)},
        {"bold plays no part", cell(7, 1, true), nullptr, kAnsiColorCache[1]},
        {"grey ramp", cell(7, 244), nullptr, grey(128 / 255.0)},
        {"true colour", cell(7, 3, false, {}, RGB{0, 255, 0}), &overrideZero, {0, 1, 0, 1}},
        {"out of range", cell(7, 256), &dynamic, kDefaultBG},
        {"negative", cell(7, -1), nullptr, kDefaultBG},
    };
    for (const Case& c : cases) EXPECT_TRUE(sameColor(bgColor(c.attrs, c.terminal), c.want)) << c.what;

    // The resolvers read the active theme's cache.
    applyTheme(TerminalTheme::light());
    EXPECT_TRUE(sameColor(bgColor(cell(7, 7)), {0.4, 0.4, 0.42, 1}));
    EXPECT_EQ(bgColor({}), TerminalTheme::light().defaultBG);
    EXPECT_EQ(fgColor({}), TerminalTheme::light().defaultFG);
}
