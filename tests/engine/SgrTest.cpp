#include "TestSupport.h"

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
    EXPECT_EQ(row[2].attrId, 0u);
}
