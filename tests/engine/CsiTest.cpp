#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

struct CursorCase {
    const char* bytes;
    std::int64_t x;
    std::int64_t y;
};

} // namespace

TEST(Csi, CursorAddressing) {
    const CursorCase cases[] = {
        {"\x1b[5;5H\x1b[H", 0, 0},
        {"\x1b[5;5H\x1b[0;0H", 0, 0},
        {"\x1b[5H", 0, 4},
        {"\x1b[;5H", 4, 0},
        {"\x1b[5;5H\x1b[99999999999999999999H", 0, 0}, // too large for 64 bits: reads as 0
        {"\x1b[99;99H", 19, 9},
        {"\x1b[3;4f", 3, 2},
        {"\x1b[5;5H\x1b[2A", 4, 2},
        {"\x1b[5;5H\x1b[2B", 4, 6},
        {"\x1b[5;5H\x1b[2C", 6, 4},
        {"\x1b[5;5H\x1b[9D", 0, 4},
        {"\x1b[5;5H\x1b[2E", 0, 6},
        {"\x1b[5;5H\x1b[2F", 0, 2},
        {"\x1b[5;5H\x1b[7G", 6, 4},
        {"\x1b[5;5H\x1b[7`", 6, 4},
        {"\x1b[5;5H\x1b[3a", 7, 4},
        {"\x1b[5;5H\x1b[3d", 4, 2},
        {"\x1b[5;5H\x1b[3e", 4, 7},
        {"\x1b[5;5H\x1b[0A", 4, 3},           // a count of 0 is 1
        {"\x1b[5;10r\x1b[7;1H\x1b[9A", 0, 4}, // CUU from inside the region stops at its top
        {"\x1b[3;6r\x1b[4;1H\x1b[20B", 0, 5}, // and CUD at its bottom
        {"\x1b[5;10r\x1b[?6h\x1b[3H", 0, 6},
        {"\x1b[5;10r\x1b[?6h\x1b[20H", 0, 9},
        {"\x1b[5;10r\x1b[?6h\x1b[2d", 0, 5},
        {"\x1b[5;10r\x1b[?6h", 0, 4},
        {"\x1b[5;10r\x1b[?6h\x1b[?6l", 0, 0},
    };
    for (const CursorCase& c : cases) {
        Terminal t(20, 10);
        feed(t, c.bytes);
        EXPECT_EQ(t.cursorX(), c.x) << c.bytes + 1;
        EXPECT_EQ(t.cursorY(), c.y) << c.bytes + 1;
    }
}

// The region holds back CUU, CUD, CNL and CPL only when the cursor starts on the side of the
// region's edge it moves toward; a cursor above the region moving up, or below it moving down,
// goes to the screen's edge, as in xterm (programs' terminfo counts on it).
TEST(Csi, CursorMotionOutsideTheRegionStopsAtTheScreenEdge) {
    struct Case {
        const char* bytes;
        std::int64_t row; // 1-based row where X lands
        std::int64_t col;
    };
    const Case cases[] = {
        {"\x1b[15;17r\x1b[1;1H\x1b[AX", 1, 1},    {"\x1b[1;5r\x1b[20;1H\x1b[BX", 21, 1},
        {"\x1b[15;17r\x1b[3;1H\x1b[9AX", 1, 1},   {"\x1b[1;5r\x1b[20;1H\x1b[9BX", 24, 1},
        {"\x1b[15;17r\x1b[3;4H\x1b[FX", 2, 1},    // CPL
        {"\x1b[1;5r\x1b[20;4H\x1b[2EX", 22, 1},   // CNL
        {"\x1b[15;17r\x1b[3;1H\x1b[20BX", 17, 1}, // from above, down: into the region, to its bottom
        {"\x1b[3;5r\x1b[20;1H\x1b[30AX", 3, 1},   // from below, up: to the region's top
        {"\x1b[5;10r\x1b[20;1H\x1b[30EX", 24, 1},
    };
    for (const Case& c : cases) {
        Terminal t(80, 24);
        feed(t, c.bytes);
        EXPECT_EQ(rowText(t, c.row - 1), std::string(std::size_t(c.col - 1), ' ') + "X") << c.bytes + 1;
    }
}

TEST(Csi, MovementsEndAPendingWrap) {
    for (const char* seq : {"\x1b[A", "\x1b[B", "\x1b[C", "\x1b[D", "\x1b[G", "\x1b[H", "\x1b[d", "\x1b[e",
                            "\x1b[E", "\x1b[F", "\x1b[a", "\x1b[r"}) {
        Terminal t(5, 3);
        feed(t, "\x1b[2;1Habcde");
        ASSERT_TRUE(t.pendingWrap());
        feed(t, seq);
        EXPECT_FALSE(t.pendingWrap()) << seq + 1;
    }
}

TEST(Csi, ScrollRegion) {
    Terminal t(10, 10);
    feed(t, "\x1b[3;3H\x1b[5;5r");
    EXPECT_EQ(t.scrollTop(), 4);
    EXPECT_EQ(t.scrollBottom(), 4);
    EXPECT_EQ(t.cursorX(), 0);
    EXPECT_EQ(t.cursorY(), 0);
    feed(t, "\x1b[3;3H\x1b[r");
    EXPECT_EQ(t.scrollTop(), 0);
    EXPECT_EQ(t.scrollBottom(), 9);
    EXPECT_EQ(t.cursorY(), 0);
    feed(t, "\x1b[8;3r");
    EXPECT_EQ(t.scrollTop(), 7);
    EXPECT_EQ(t.scrollBottom(), 7);
    feed(t, "\x1b[0;99r");
    EXPECT_EQ(t.scrollTop(), 0);
    EXPECT_EQ(t.scrollBottom(), 9);
}

TEST(Csi, PrivatePrefixAfterParametersAbandonsTheSequence) {
    Terminal t(10, 2);
    feed(t, "\x1b[1?h");
    EXPECT_EQ(rowText(t, 0), "h");
    feed(t, "\x1b[?1?h");
    EXPECT_EQ(rowText(t, 0), "hh");
    EXPECT_EQ(t.diagnostics().csiCount, 0);
}

TEST(Csi, ColonSubParameters) {
    Terminal t(10, 2);
    feed(t, "\x1b[4:3m");
    ASSERT_EQ(t.csiParams().size(), 1u);
    EXPECT_EQ(t.csiParams()[0], 4);
    auto sub = t.csiParams().sub(0);
    EXPECT_EQ(std::vector<std::int64_t>(sub.begin(), sub.end()), (std::vector<std::int64_t>{4, 3}));
    EXPECT_EQ(t.attrs().underline, 3);
    feed(t, "\x1b[1;58:2::9:8:7;3m");
    EXPECT_EQ(t.csiParams().size(), 3u);
    EXPECT_EQ(t.csiParams().sub(0).size(), 0u);
    EXPECT_EQ(t.csiParams().sub(1).size(), 6u);
    EXPECT_EQ(t.attrs().ulRGB, (RGB{9, 8, 7}));
    EXPECT_TRUE(t.attrs().italic);
}

// Parameter lists are bounded in count and in digits; the extra ones are ignored and the
// sequence still completes.
TEST(Csi, ParameterListsAreBounded) {
    Terminal t(10, 5);
    std::string many = "\x1b[";
    for (int i = 0; i < 1000; ++i) many += "1;";
    many += "3H";
    feed(t, many);
    EXPECT_EQ(t.csiParams().size(), CsiParams::kMaxParams);
    EXPECT_EQ(t.cursorY(), 0);
    feed(t, "\x1b[" + std::string(100000, '9') + "B");
    EXPECT_EQ(t.cursorY(), 1); // overflowed: 0, so a count of 1
    feed(t, "\x1b[" + std::string(10, '9') + "B");
    EXPECT_EQ(t.cursorY(), 4);
    std::string colons = "\x1b[38";
    for (int i = 0; i < 1000; ++i) colons += ":1";
    feed(t, colons + ";1mx");
    EXPECT_TRUE(t.attrs().bold);
    EXPECT_EQ(t.pstate(), Terminal::PState::ground);
}

TEST(Csi, RepeatAndTabClear) {
    Terminal t(10, 2);
    feed(t, "x\x1b[3b");
    EXPECT_EQ(rowText(t, 0), "xxxx");
    feed(t, "y\x1b[0b");
    EXPECT_EQ(rowText(t, 0), "xxxxyy");
    feed(t, "\r\n\xe4\xb8\xad\x1b[2b");
    EXPECT_EQ(rowText(t, 1), "中中中");
    Terminal tabs(40, 2);
    feed(tabs, "\x1b[9G\x1b[g\x1b[1G\t");
    EXPECT_EQ(tabs.cursorX(), 16);
    feed(tabs, "\x1b[2g\x1b[1G\t");
    EXPECT_EQ(tabs.cursorX(), 16);
    feed(tabs, "\x1b[3g\x1b[1G\t");
    EXPECT_EQ(tabs.cursorX(), 39);
    EXPECT_TRUE(tabs.tabStops().empty());
}

TEST(Csi, InsertModeAndOtherAnsiModes) {
    Terminal t(10, 2);
    feed(t, "\x1b[20h");
    EXPECT_FALSE(t.mode(Mode::insert));
    EXPECT_TRUE(t.diagnostics().unhandled.empty());
    feed(t, "\x1b[4;20h");
    EXPECT_TRUE(t.mode(Mode::insert));
    feed(t, "\x1b[20;4l");
    EXPECT_FALSE(t.mode(Mode::insert));
}

TEST(Csi, SaveAndRestorePositionOnly) {
    Terminal t(10, 5);
    feed(t, "\x1b[2;3H\x1b[31m\x1b[s\x1b[0m\x1b[5;5H\x1b[u");
    EXPECT_EQ(t.cursorX(), 2);
    EXPECT_EQ(t.cursorY(), 1);
    EXPECT_EQ(t.attrs(), TextAttrs());
}

TEST(Csi, LeftAndRightMargins) {
    Terminal t(10, 5);
    feed(t, "\x1b[?69h\x1b[3;3H\x1b[5;5s");
    EXPECT_EQ(t.leftMargin(), 0);
    EXPECT_EQ(t.rightMargin(), 9);
    EXPECT_EQ(t.cursorX(), 2); // nothing changed
    feed(t, "\x1b[5;6s");
    EXPECT_EQ(t.leftMargin(), 4);
    EXPECT_EQ(t.rightMargin(), 5);
    EXPECT_EQ(t.cursorX(), 0);
    EXPECT_EQ(t.cursorY(), 0);
    feed(t, "\x1b[?69l");
    EXPECT_EQ(t.rightMargin(), 9);
    // Without mode 69, CSI s with two parameters saves the cursor.
    feed(t, "\x1b[3;3H\x1b[5;6s\x1b[1;1H\x1b[u");
    EXPECT_EQ(t.cursorX(), 2);
    EXPECT_EQ(t.leftMargin(), 0);
}

TEST(Csi, UnknownFinalsAreTallied) {
    Terminal t(10, 2);
    feed(t, "\x1b[q\x1b[q\x1b[2'}\x1b[=5c\x1b[?1001h\x1b[?1034l\x1b[?12h\x1b[?1015h");
    std::vector<std::pair<std::string, std::int64_t>> got;
    for (const auto& u : t.diagnostics().unhandled) got.emplace_back(u.seq, u.count);
    EXPECT_EQ(got, (std::vector<std::pair<std::string, std::int64_t>>{
                       {"CSI q", 2}, {"CSI }", 1}, {"CSI ? 1001 h", 1}, {"CSI ? 1034 l", 1}}));
    EXPECT_EQ(t.diagnostics().csiCount, 3);
    EXPECT_EQ(rowText(t, 0), "");
}

TEST(Csi, PrivateModes) {
    Terminal t(10, 2);
    feed(t, "\x1b[?1;5;25l\x1b[?1;5h\x1b[?2004;2026;1004h\x1b[?1002h\x1b[?1006h");
    EXPECT_TRUE(t.mode(Mode::appCursor));
    EXPECT_TRUE(t.mode(Mode::reverseVideo));
    EXPECT_FALSE(t.mode(Mode::cursorVisible));
    EXPECT_TRUE(t.mode(Mode::bracketedPaste));
    EXPECT_TRUE(t.mode(Mode::synchronizedOutput));
    EXPECT_TRUE(t.mode(Mode::focusReporting));
    EXPECT_EQ(t.mouseTracking(), MouseTracking::drags);
    EXPECT_EQ(t.mouseEncoding(), MouseEncoding::sgr);
    EXPECT_EQ(t.queryPrivateMode(1006), 1);
    EXPECT_EQ(t.queryPrivateMode(1005), 0);
    EXPECT_EQ(t.queryPrivateMode(12), 2);
    feed(t, "\x1b[?1000l\x1b[?1005l");
    EXPECT_EQ(t.mouseTracking(), MouseTracking::off);
    EXPECT_EQ(t.mouseEncoding(), MouseEncoding::x10);
    feed(t, "\x1b[?25x"); // only h and l switch modes
    EXPECT_FALSE(t.mode(Mode::cursorVisible));
}
