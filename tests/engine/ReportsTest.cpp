#include "TestSupport.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace enginetest;

namespace {

struct ReplyCase {
    const char* setup; // fed first; its replies are not looked at
    const char* query;
    const char* reply;
};

void expectReplies(const ReplyCase* begin, const ReplyCase* end) {
    for (const ReplyCase* c = begin; c != end; ++c) {
        Terminal t(80, 24);
        feed(t, c->setup);
        EXPECT_EQ(visible(repliesTo(t, c->query)), visible(c->reply))
            << "setup " << visible(c->setup) << ", query " << visible(c->query);
    }
}

} // namespace

TEST(Reports, DeviceAndWindowReplies) {
    const ReplyCase cases[] = {
        // Device attributes and version
        {"", "\x1b[c", "\x1b[?62;4;22c"},
        {"", "\x1b[0c", "\x1b[?62;4;22c"},
        {"", "\x1b[1c", ""},
        {"", "\x1b[>c", "\x1b[>1;0;0c"},
        {"", "\x1b[>5c", "\x1b[>1;0;0c"},
        {"", "\x1b[>0;1;2c", "\x1b[>1;0;0c"},
        {"", "\x1b[>q", "\x1bP>|Dunmar(1.0)\x1b\\"},
        {"", "\x1b[>0q", "\x1bP>|Dunmar(1.0)\x1b\\"},
        {"", "\x1b[>1q", ""},
        {"", "\x1b[=c", ""},
        {"", "\x1b[>4;1m", ""},
        // Status and cursor position
        {"", "\x1b[5n", "\x1b[0n"},
        {"", "\x1b[7n", ""},
        {"", "\x1b[?6n", ""}, // a private n is no report
        {"", "\x1b[6n", "\x1b[1;1R"},
        {"\x1b[5;10H", "\x1b[6n", "\x1b[5;10R"},
        {"\x1b[99;999H", "\x1b[6n", "\x1b[24;80R"},
        {"\x1b[5;20r\x1b[?6h", "\x1b[6n", "\x1b[1;1R"}, // origin mode: the region's top
        {"\x1b[5;20r\x1b[?6h\x1b[3;7H", "\x1b[6n", "\x1b[3;7R"},
        {"\x1b[5;20r\x1b[?6h\x1b[3;7H\x1b[?6l", "\x1b[6n", "\x1b[1;1R"},
        {"\x1b[?69h\x1b[10;40s\x1b[1;12H", "\x1b[6n", "\x1b[1;12R"}, // margins are not subtracted
        // Window reports (cells of 8 x 16 pixels unless the view says otherwise)
        {"", "\x1b[14t", "\x1b[4;384;640t"},
        {"", "\x1b[18t", "\x1b[8;24;80t"},
        {"", "\x1b[19t", ""},
        {"", "\x1b[8;30;100t", ""}, // a resize request is no reply
        {"", "\x1b[22t\x1b[23t", ""},
    };
    expectReplies(std::begin(cases), std::end(cases));

    Terminal t(100, 30);
    t.setCellPixelSize(9, 20);
    EXPECT_EQ(visible(repliesTo(t, "\x1b[14t\x1b[18t")), visible("\x1b[4;600;900t\x1b[8;30;100t"));
}

TEST(Reports, ModeReports) {
    const ReplyCase cases[] = {
        {"", "\x1b[?$p", "\x1b[?0;0$y"},
        {"", "\x1b[?1$p", "\x1b[?1;2$y"},
        {"\x1b[?1h", "\x1b[?1$p", "\x1b[?1;1$y"},
        {"", "\x1b[?7$p", "\x1b[?7;1$y"},
        {"", "\x1b[?25$p", "\x1b[?25;1$y"},
        {"\x1b[?25l", "\x1b[?25$p", "\x1b[?25;2$y"},
        {"", "\x1b[?12$p", "\x1b[?12;2$y"},
        {"\x1b[?12h", "\x1b[?12$p", "\x1b[?12;2$y"},
        {"\x1b[?5h", "\x1b[?5$p", "\x1b[?5;1$y"},
        {"\x1b[?6h", "\x1b[?6$p", "\x1b[?6;1$y"},
        {"\x1b[?69h", "\x1b[?69$p", "\x1b[?69;1$y"},
        {"\x1b[?1049h", "\x1b[?1049$p\x1b[?1047$p\x1b[?47$p", "\x1b[?1049;1$y\x1b[?1047;1$y\x1b[?47;1$y"},
        {"", "\x1b[?1049$p", "\x1b[?1049;2$y"},
        {"\x1b[?1002h", "\x1b[?1000$p\x1b[?1002$p\x1b[?1003$p", "\x1b[?1000;2$y\x1b[?1002;1$y\x1b[?1003;2$y"},
        {"\x1b[?1004h", "\x1b[?1004$p", "\x1b[?1004;1$y"},
        {"\x1b[?1006h", "\x1b[?1006$p", "\x1b[?1006;1$y"},
        {"\x1b[?1005h", "\x1b[?1005$p\x1b[?1006$p", "\x1b[?1005;0$y\x1b[?1006;2$y"},
        {"\x1b[?1015h", "\x1b[?1015$p\x1b[?1016$p", "\x1b[?1015;0$y\x1b[?1016;0$y"},
        {"\x1b[?1048h", "\x1b[?1048$p", "\x1b[?1048;0$y"},
        {"\x1b[?2004h", "\x1b[?2004$p", "\x1b[?2004;1$y"},
        {"\x1b[?2026h", "\x1b[?2026$p", "\x1b[?2026;1$y"},
        {"\x1b[?2026h\x1b[?2026l", "\x1b[?2026$p", "\x1b[?2026;2$y"},
        {"", "\x1b[?1001$p\x1b[?9999$p", "\x1b[?1001;0$y\x1b[?9999;0$y"},
        // ANSI modes
        {"", "\x1b[4$p", "\x1b[4;2$y"},
        {"\x1b[4h", "\x1b[4$p", "\x1b[4;1$y"},
        {"\x1b[4h\x1b[4l", "\x1b[4$p", "\x1b[4;2$y"},
        {"", "\x1b[20$p", "\x1b[20;2$y"},
        {"", "\x1b[3$p\x1b[$p", "\x1b[3;0$y\x1b[0;0$y"},
        {"", "\x1b[4$q", ""},
    };
    expectReplies(std::begin(cases), std::end(cases));
}

TEST(Reports, KittyKeyboardFlagStack) {
    const ReplyCase cases[] = {
        {"", "\x1b[?u", "\x1b[?0u"},
        {"\x1b[>5u", "\x1b[?u", "\x1b[?5u"},
        {"\x1b[>u", "\x1b[?u", "\x1b[?0u"},
        {"\x1b[>1u\x1b[>3u", "\x1b[?u", "\x1b[?3u"},
        {"\x1b[>1u\x1b[>3u\x1b[<u", "\x1b[?u", "\x1b[?1u"},
        {"\x1b[>1u\x1b[>3u\x1b[<0u", "\x1b[?u", "\x1b[?1u"}, // a count of 0 pops one
        {"\x1b[>1u\x1b[>3u\x1b[<2u", "\x1b[?u", "\x1b[?0u"},
        {"\x1b[>1u\x1b[<100u", "\x1b[?u", "\x1b[?0u"},
        {"\x1b[<u", "\x1b[?u", "\x1b[?0u"},
        {"\x1b[=5u", "\x1b[?u", "\x1b[?0u"},
        {"\x1b[>1u\x1b[<5x", "\x1b[?u", "\x1b[?1u"}, // other finals after "<" do nothing
        {"\x1b[>1u\x1b[!p", "\x1b[?u", "\x1b[?0u"},  // a soft reset empties the stack
    };
    expectReplies(std::begin(cases), std::end(cases));

    Terminal t(10, 2);
    for (int i = 1; i <= 9; ++i) feed(t, "\x1b[>" + std::to_string(i) + "u");
    EXPECT_EQ(t.kittyKbdStack(), (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6, 7, 8}))
        << "the ninth push is refused";
    EXPECT_EQ(t.kittyKbdFlags(), 8);
}

TEST(Reports, NothingIsSentWithoutAResponder) {
    Terminal t(10, 2);
    feed(t, "\x1b[c\x1b[>c\x1b[>q\x1b[5n\x1b[6n\x1b[14t\x1b[18t\x1b[?u\x1b[?1$p\x1b[4$p");
    EXPECT_EQ(dumpScreen(t), "\n\n@0,0");
    EXPECT_EQ(t.pstate(), Terminal::PState::ground);
}

TEST(Reports, ResizeRequestsAreBounded) {
    struct Case {
        const char* bytes;
        std::int64_t rows;
        std::int64_t cols;
    };
    const Case cases[] = {
        {"\x1b[8;30;100t", 30, 100},
        {"\x1b[8;30t", 30, 80},
        {"\x1b[8;;100t", 24, 100},
        {"\x1b[8;0;0t", 24, 80},
        {"\x1b[8t", 24, 80},
        // Any size may be asked for; the view is told at most the largest grid the engine keeps.
        {"\x1b[8;99999;99999t", Terminal::kMaxRows, Terminal::kMaxCols},
        {"\x1b[8;99999999999999999999;5000t", 24, Terminal::kMaxCols}, // beyond 64 bits reads as 0
        {"\x1b[8;1025;2049t", 1024, 2048},
        {"\x1b[8;1024;2048t", 1024, 2048},
    };
    for (const Case& c : cases) {
        Terminal t(80, 24);
        std::vector<std::pair<std::int64_t, std::int64_t>> asked;
        t.onResize = [&](std::int64_t rows, std::int64_t cols) { asked.emplace_back(rows, cols); };
        feed(t, c.bytes);
        EXPECT_EQ(asked, (std::vector<std::pair<std::int64_t, std::int64_t>>{{c.rows, c.cols}}))
            << visible(c.bytes);
        EXPECT_EQ(t.rows(), 24) << "the engine only asks; the view resizes";
    }
}

TEST(Reports, TitleStack) {
    Terminal t(10, 2);
    std::vector<std::string> told;
    t.onTitleChange = [&](const std::string& s) { told.push_back(s); };
    feed(t, "\x1b[23t");
    EXPECT_TRUE(told.empty()) << "popping an empty stack does nothing";
    feed(t, "\x1b]2;one\x07\x1b[22;0t\x1b]2;two\x07\x1b[22t\x1b]2;three\x07");
    EXPECT_EQ(t.titleStack(), (std::vector<std::string>{"one", "two"}));
    feed(t, "\x1b[23t");
    EXPECT_EQ(t.currentTitle(), "two");
    feed(t, "\x1b[23;2t");
    EXPECT_EQ(t.currentTitle(), "one");
    EXPECT_EQ(told, (std::vector<std::string>{"one", "two", "three", "two", "one"}));
    EXPECT_TRUE(t.titleStack().empty());

    for (int i = 0; i < 21; ++i) feed(t, "\x1b]2;t" + std::to_string(i) + "\x07\x1b[22t");
    ASSERT_EQ(t.titleStack().size(), Terminal::kMaxTitleStack);
    EXPECT_EQ(t.titleStack().back(), "t19") << "the 21st push is refused";
}

TEST(Reports, CursorStyleAndProtection) {
    Terminal t(10, 2);
    feed(t, "\x1b[5 q");
    EXPECT_EQ(t.cursorStyle(), 5);
    feed(t, "\x1b[99 q");
    EXPECT_EQ(t.cursorStyle(), 99) << "kept as sent";
    feed(t, "\x1b[3 r");
    EXPECT_EQ(t.cursorStyle(), 99) << "other finals after a space do nothing";
    feed(t, "\x1b[ q");
    EXPECT_EQ(t.cursorStyle(), 0);

    feed(t, "\x1b[1\"q");
    EXPECT_TRUE(t.attrs().isProtected);
    feed(t, "\x1b[2\"q");
    EXPECT_FALSE(t.attrs().isProtected);
    feed(t, "\x1b[1\"qa\x1b[0\"qb\x1b[1\"q\x1b[m");
    EXPECT_FALSE(t.attrs().isProtected) << "SGR 0 clears the protection too";
    feed(t, "\x1b[1;1H\x1b[2K");
    EXPECT_EQ(rowText(t, 0), "a") << "only the protected cell survives the erase";
}

TEST(Reports, SoftResetRestoresModesAndKeepsTheScreen) {
    Terminal t(20, 6);
    std::vector<std::string> titles;
    feed(t, "\x1b]2;title\x07\x1b]4;1;#ff0000\x07"
            "abc\x1b[2;5r\x1b[?69h\x1b[3;9s\x1b[?1;6;2004;5;1000;1006;1004;2026h\x1b=\x1b[4h"
            "\x1b[?25l\x1b[4 q\x1b(0\x1b)0\x0e\x1b]8;;http://x\x07\x1b[>1u\x1b[1;31m\x1b[3g\x1b[?1049h"
            "\x1b[4;4H\x1b"
            "7\x1b[!p");
    EXPECT_FALSE(t.mode(Mode::appCursor));
    EXPECT_FALSE(t.mode(Mode::appKeypad));
    EXPECT_FALSE(t.mode(Mode::origin));
    EXPECT_TRUE(t.mode(Mode::autoWrap));
    EXPECT_TRUE(t.mode(Mode::cursorVisible));
    EXPECT_EQ(t.cursorStyle(), 0);
    EXPECT_EQ(t.mouseTracking(), MouseTracking::off);
    EXPECT_EQ(t.mouseEncoding(), MouseEncoding::x10);
    EXPECT_FALSE(t.mode(Mode::focusReporting));
    EXPECT_FALSE(t.mode(Mode::synchronizedOutput));
    EXPECT_FALSE(t.charsetG0IsGraphics());
    EXPECT_FALSE(t.charsetG1IsGraphics());
    EXPECT_FALSE(t.usesG1());
    EXPECT_FALSE(t.currentHyperlink());
    EXPECT_TRUE(t.kittyKbdStack().empty());
    EXPECT_EQ(t.attrs(), TextAttrs());
    EXPECT_EQ(t.scrollTop(), 0);
    EXPECT_EQ(t.scrollBottom(), 5);
    EXPECT_FALSE(t.mode(Mode::leftRightMargins));
    EXPECT_EQ(t.leftMargin(), 0);
    EXPECT_EQ(t.rightMargin(), 19);
    EXPECT_EQ(t.cursorX(), 0);
    EXPECT_EQ(t.cursorY(), 0);
    EXPECT_EQ(t.tabStops(), (std::vector<std::int64_t>{0, 8, 16}));
    // Kept as they were:
    EXPECT_TRUE(t.mode(Mode::insert));
    EXPECT_TRUE(t.mode(Mode::bracketedPaste));
    EXPECT_TRUE(t.mode(Mode::reverseVideo));
    EXPECT_TRUE(t.isAltScreen());
    EXPECT_EQ(t.savedCursor().x, 3);
    EXPECT_EQ(t.currentTitle(), "title");
    EXPECT_EQ(t.paletteOverrides()[1], (RGB{255, 0, 0}));
    feed(t, "\x1b[?1049l");
    EXPECT_EQ(rowText(t, 0), "abc");
}

TEST(Reports, AlternateScreenModes) {
    // 1049 on the alternate screen saves the cursor again but does not enter a second time.
    Terminal t(10, 3);
    feed(t, "main\x1b[?1049hALT\x1b[2;3H\x1b[?1049h");
    EXPECT_EQ(rowText(t, 0), "ALT");
    EXPECT_EQ(t.savedCursor().x, 2);
    feed(t, "\x1b[?1049l");
    EXPECT_EQ(dumpScreen(t), "main\n\n\n@2,1") << "the cursor saved last comes back";

    // 1049 reset on the main screen restores the saved cursor and rendition and nothing else.
    Terminal m(10, 3);
    feed(m, "ab\x1b[31m\x1b[?1049h\x1b[?1049l\x1b[32m\x1b[3;5H\x1b[?1049l");
    EXPECT_EQ(dumpScreen(m), "ab\n\n\n@2,0");
    EXPECT_EQ(m.attrs().fg, 1);

    // 47 and 1047 come back to the cursor the main screen had; 1048 saves and restores it alone.
    Terminal a(10, 3);
    feed(a, "xy\x1b[?47h\x1b[3;3Hz\x1b[?47l");
    EXPECT_EQ(dumpScreen(a), "xy\n\n\n@2,0");
    feed(a, "\x1b[?1047h\x1b[?1047h\x1b[?1047l\x1b[?1047l");
    EXPECT_EQ(dumpScreen(a), "xy\n\n\n@2,0");
    feed(a, "\x1b[2;2H\x1b[?1048h\x1b[3;9H\x1b[?1048l");
    EXPECT_EQ(a.cursorX(), 1);
    EXPECT_EQ(a.cursorY(), 1);
}

TEST(Reports, MouseModesAndEncodings) {
    Terminal t(10, 2);
    feed(t, "\x1b[?1002h\x1b[?1000l");
    EXPECT_EQ(t.mouseTracking(), MouseTracking::off) << "any reset turns mouse reporting off";
    feed(t, "\x1b[?1000;1003h");
    EXPECT_EQ(t.mouseTracking(), MouseTracking::allMotion);
    feed(t, "\x1b[?1006h\x1b[?1005l");
    EXPECT_EQ(t.mouseEncoding(), MouseEncoding::x10);
    feed(t, "\x1b[?1005h");
    EXPECT_EQ(t.mouseEncoding(), MouseEncoding::utf8);
    feed(t, "\x1b[?1049;2004h");
    EXPECT_TRUE(t.isAltScreen());
    EXPECT_TRUE(t.mode(Mode::bracketedPaste));
}
