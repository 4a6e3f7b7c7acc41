#include "TestSupport.h"
#include "theme/ThemeColors.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

TextAttrs after(const std::string& seq) {
    Terminal t(10, 2);
    feed(t, seq);
    return t.attrs();
}

} // namespace

TEST(Sgr, Attributes) {
    TextAttrs a = after("\x1b[1;4;31m");
    EXPECT_TRUE(a.bold);
    EXPECT_EQ(a.underline, 1);
    EXPECT_EQ(a.fg, 1);
    EXPECT_EQ(after("\x1b[1;2;3;5;7;8;9;53m\x1b[22;23;25;27;28;29;55m"), TextAttrs());
    EXPECT_EQ(after("\x1b[6m").blink, 2);
    EXPECT_EQ(after("\x1b[21m").underline, 2);
    EXPECT_EQ(after("\x1b[4:0m").underline, 0);
    EXPECT_EQ(after("\x1b[4:300m").underline, 255);
    EXPECT_EQ(after("\x1b[1;31m\x1b[m"), TextAttrs());
    EXPECT_EQ(after("\x1b[1m\x1b[\"0m").bold, true); // an intermediate routes elsewhere
}

TEST(Sgr, Colours) {
    EXPECT_EQ(after("\x1b[92m").fg, 10);
    EXPECT_EQ(after("\x1b[103m").bg, 11);
    EXPECT_EQ(after("\x1b[44m").bg, 4);
    EXPECT_EQ(after("\x1b[38;2;300;20;10m").fgRGB, (RGB{255, 20, 10}));
    TextAttrs idx = after("\x1b[38;2;1;2;3m\x1b[38;5;196m");
    EXPECT_EQ(idx.fg, 196);
    EXPECT_FALSE(idx.fgRGB);
    EXPECT_EQ(after("\x1b[38;2;1;2;3m\x1b[39m"), TextAttrs());
    EXPECT_EQ(after("\x1b[48;2;1;2;3m\x1b[49m"), TextAttrs());
    TextAttrs shortForm = after("\x1b[38;2;10;20m");
    EXPECT_TRUE(shortForm.dim);
    EXPECT_FALSE(shortForm.fgRGB);
    EXPECT_EQ(after("\x1b[38:2::255:0:0m"), TextAttrs());
    EXPECT_EQ(after("\x1b[58:2::255:0:0m").ulRGB, (RGB{255, 0, 0}));
    EXPECT_EQ(after("\x1b[58:2:255:0:0m"), TextAttrs());
    EXPECT_EQ(after("\x1b[58;5;9m").ulColor, 9);
    EXPECT_EQ(after("\x1b[58;5;9m\x1b[58;2;1;2;3m\x1b[59m"), TextAttrs());
    EXPECT_EQ(after("\x1b[48;5;300m").bg, 300);
}

TEST(Sgr, ColoursLandInCells) {
    Terminal t(10, 2);
    feed(t, "\x1b[31;42ma\x1b[38;5;200;48;2;1;2;3mb\x1b[0mc");
    auto row = t.gridRow(0);
    EXPECT_EQ(t.attrsOf(row[0]).fg, 1);
    EXPECT_EQ(t.attrsOf(row[0]).bg, 2);
    EXPECT_EQ(t.attrsOf(row[1]).fg, 200);
    EXPECT_EQ(t.attrsOf(row[1]).bgRGB, (RGB{1, 2, 3}));
    EXPECT_EQ(t.attrsOf(row[2]), TextAttrs());
    EXPECT_EQ(renditionKey(row[2]), renditionKey(Cell{}));
}

namespace {

// The attributes after the sequence, built from the defaults by the given edit.
template <typename Edit> TextAttrs attrsWith(Edit edit) {
    TextAttrs a;
    edit(a);
    return a;
}

} // namespace

TEST(Sgr, Table) {
    struct Case {
        const char* bytes;
        TextAttrs want;
    };
    const Case cases[] = {
        // Underline styles: plain 4 is single; the colon form picks the style, 4:0 removes it.
        {"\x1b[4m", attrsWith([](TextAttrs& a) { a.underline = 1; })},
        {"\x1b[4:0m", TextAttrs()},
        {"\x1b[4m\x1b[4:0m", TextAttrs()},
        {"\x1b[4:1m", attrsWith([](TextAttrs& a) { a.underline = 1; })},
        {"\x1b[4:2m", attrsWith([](TextAttrs& a) { a.underline = 2; })},
        {"\x1b[4:3m", attrsWith([](TextAttrs& a) { a.underline = 3; })},
        {"\x1b[4:4m", attrsWith([](TextAttrs& a) { a.underline = 4; })},
        {"\x1b[4:5m", attrsWith([](TextAttrs& a) { a.underline = 5; })},
        {"\x1b[4:300m", attrsWith([](TextAttrs& a) { a.underline = 255; })},
        {"\x1b[21m\x1b[24m", TextAttrs()},
        {"\x1b[4:3;1m", attrsWith([](TextAttrs& a) { a.underline = 3, a.bold = true; })},
        // Semicolon forms of the extended colours.
        {"\x1b[38;5;196m", attrsWith([](TextAttrs& a) { a.fg = 196; })},
        {"\x1b[48;5;21m", attrsWith([](TextAttrs& a) { a.bg = 21; })},
        {"\x1b[38;5;300m", attrsWith([](TextAttrs& a) { a.fg = 300; })}, // kept; resolution decides
        {"\x1b[38;2;1;2;3;4m", attrsWith([](TextAttrs& a) {
             a.fgRGB = RGB{1, 2, 3}, a.underline = 1;
         })},
        {"\x1b[48;2;0;0;300m", attrsWith([](TextAttrs& a) {
             a.bgRGB = RGB{0, 0, 255};
         })},
        {"\x1b[48;2;1;2;3m\x1b[44m", attrsWith([](TextAttrs& a) { a.bg = 4; })},
        {"\x1b[38;2;1;2;3m\x1b[95m", attrsWith([](TextAttrs& a) { a.fg = 13; })},
        {"\x1b[38;2;1m", attrsWith([](TextAttrs& a) { a.dim = true, a.bold = true; })}, // too short
        {"\x1b[38;5m", attrsWith([](TextAttrs& a) { a.blink = 1; })},
        {"\x1b[38m", TextAttrs()},
        {"\x1b[38;9;1m", attrsWith([](TextAttrs& a) { a.strikethrough = true, a.bold = true; })},
        // Colon forms of 38 and 48 are not read.
        {"\x1b[38:5:196m", TextAttrs()},
        {"\x1b[48:2::1:2:3m", TextAttrs()},
        // Underline colour, in both forms.
        {"\x1b[58;2;9;8;7m", attrsWith([](TextAttrs& a) {
             a.ulRGB = RGB{9, 8, 7};
         })},
        {"\x1b[58;5;70000m", attrsWith([](TextAttrs& a) { a.ulColor = 32767; })},
        {"\x1b[58:5:9m", attrsWith([](TextAttrs& a) { a.ulColor = 9; })},
        {"\x1b[58:2::1:2:300m", attrsWith([](TextAttrs& a) {
             a.ulRGB = RGB{1, 2, 255};
         })},
        {"\x1b[58:2:1:2:3m", TextAttrs()},
        {"\x1b[58:5m", TextAttrs()},
        {"\x1b[58;5;9m\x1b[58;2;1;2;3m", attrsWith([](TextAttrs& a) {
             a.ulRGB = RGB{1, 2, 3};
         })},
        {"\x1b[58;2;1;2;3m\x1b[58:5:4m", attrsWith([](TextAttrs& a) { a.ulColor = 4; })},
        {"\x1b[58;2;1;2;3m\x1b[59m", TextAttrs()},
        // Codes without a meaning here, and values out of range.
        {"\x1b[10;11;20;26;50;51;52;54;56;57;60;65;89;98;99;108;999999m", TextAttrs()},
        {"\x1b[3;99999999999999999999;1m", attrsWith([](TextAttrs& a) { a.bold = true; })}, // 0: reset
        {"\x1b[1;99999999999999999999m", TextAttrs()},
        {"\x1b[1;;3m", attrsWith([](TextAttrs& a) { a.italic = true; })}, // an empty code is 0
        {"\x1b[53m", attrsWith([](TextAttrs& a) { a.overline = true; })},
    };
    for (const Case& c : cases) EXPECT_EQ(after(c.bytes), c.want) << visible(c.bytes);
}

namespace {

class SgrColours : public testing::Test {
protected:
    void SetUp() override { initColorGlobals(); }
    void TearDown() override { initColorGlobals(); }
};

} // namespace

// What a cell is drawn with: the palette rule for 256 colours, bold brightening, true colour, and
// the active theme's palette and default colours.
TEST_F(SgrColours, CellsResolveThroughThePaletteAndTheTheme) {
    Terminal t(20, 2);
    feed(t, "\x1b[38;5;16ma\x1b[38;5;21mb\x1b[38;5;196mc\x1b[38;5;231md\x1b[38;5;232me\x1b[38;5;255mf"
            "\x1b[38;5;256mg\x1b[1;31mh\x1b[0;1mi\x1b[0;97mj\x1b[0;38;2;10;20;30mk\x1b[0;37ml\x1b[0;47mm");
    auto fgAt = [&](int x) { return fgColor(t.attrsOf(t.gridRow(0)[x]), t); };
    auto bgAt = [&](int x) { return bgColor(t.attrsOf(t.gridRow(0)[x]), t); };
    EXPECT_EQ(fgAt(0), (ColorRGBA{0, 0, 0, 1}));
    EXPECT_EQ(fgAt(1), (ColorRGBA{0, 0, 1, 1}));
    EXPECT_EQ(fgAt(2), (ColorRGBA{1, 0, 0, 1}));
    EXPECT_EQ(fgAt(3), (ColorRGBA{1, 1, 1, 1}));
    EXPECT_EQ(fgAt(4), (ColorRGBA{8 / 255.0, 8 / 255.0, 8 / 255.0, 1}));
    EXPECT_EQ(fgAt(5), (ColorRGBA{238 / 255.0, 238 / 255.0, 238 / 255.0, 1}));
    EXPECT_EQ(fgAt(6), kDefaultFG) << "an index past the palette";
    EXPECT_EQ(fgAt(7), kAnsiColorCache[9]) << "bold brightens red";
    EXPECT_EQ(fgAt(8), kAnsiColorCache[15]) << "bold default is bright white";
    EXPECT_EQ(fgAt(9), kAnsiColorCache[15]);
    EXPECT_EQ(fgAt(10), (ColorRGBA{10 / 255.0, 20 / 255.0, 30 / 255.0, 1}));
    EXPECT_EQ(fgAt(11), kDefaultFG) << "plain 7 is the default foreground, not palette 7";
    EXPECT_EQ(bgAt(11), kDefaultBG);
    EXPECT_EQ(bgAt(12), kAnsiColorCache[7]);

    applyTheme(TerminalTheme::light());
    EXPECT_EQ(fgAt(11), TerminalTheme::light().defaultFG);
    EXPECT_EQ(bgAt(11), TerminalTheme::light().defaultBG);
    EXPECT_EQ(bgAt(12), (ColorRGBA{0.4, 0.4, 0.42, 1}));
    EXPECT_EQ(fgAt(8), (ColorRGBA{0.15, 0.15, 0.18, 1}));
    EXPECT_EQ(fgAt(2), (ColorRGBA{1, 0, 0, 1})) << "the cube does not change with the theme";
    applyTheme(TerminalTheme::oledBlack());
    EXPECT_EQ(bgAt(11), (ColorRGBA{0, 0, 0, 1}));
    EXPECT_EQ(fgAt(11), (ColorRGBA{0.9, 0.9, 0.9, 1}));
}
