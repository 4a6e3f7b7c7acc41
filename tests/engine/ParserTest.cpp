#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace enginetest;

TEST(Utf8, SequenceSplitAcrossPiecesIsFedOnce) {
    Terminal t(10, 2);
    feed(t, "\xe2\x82");
    EXPECT_EQ(t.diagnostics().totalScalars, 0);
    feed(t, "\xac");
    EXPECT_EQ(rowText(t, 0), "€");
    EXPECT_EQ(t.diagnostics().totalScalars, 1);
    feed(t, "\xf0");
    feed(t, "\x9f\x98");
    feed(t, "\x80z");
    EXPECT_EQ(rowText(t, 0), "€😀z");
}

TEST(Utf8, InvalidInputIsDropped) {
    struct Case {
        const char* bytes;
        const char* text;
    };
    const Case cases[] = {
        {"a\x80"
         "b",
         "ab"}, // stray continuation
        {"a\xf8\xff\xfe"
         "b",
         "ab"}, // never valid
        {"a\xc0\xaf"
         "b",
         "ab"}, // overlong two-byte
        {"a\xe0\x80\xaf"
         "b",
         "ab"}, // overlong three-byte
        {"a\xed\xa0\x80"
         "b",
         "ab"}, // UTF-16 surrogate
        {"a\xf4\x90\x80\x80"
         "b",
         "ab"}, // above U+10FFFF
        {"a\xef\xbf\xbd"
         "b",
         "ab"}, // U+FFFD sent by the shell
        {"\xf5"
         "ABC",
         "ABC"}, // ASCII inside an invalid lead byte's window
        {"\xe2"
         "AB",
         "AB"},
        {"\xe2\x82"
         "A",
         "A"},
    };
    for (const Case& c : cases) {
        Terminal t(10, 2);
        feed(t, c.bytes);
        EXPECT_EQ(rowText(t, 0), c.text) << c.bytes;
    }
}

// A lead byte at the end of a piece followed by a byte that cannot continue it is broken already:
// the ASCII after it is shown at once instead of waiting for the next piece.
TEST(Utf8, BrokenLeadByteDoesNotHoldBackAscii) {
    Terminal t(10, 2);
    feed(t, "\xe2"
            "A");
    EXPECT_EQ(rowText(t, 0), "A");
    feed(t, "BC");
    EXPECT_EQ(rowText(t, 0), "ABC");
    // A lead byte alone at the end still waits: it may be completed by the next piece.
    feed(t, "\xc3");
    EXPECT_EQ(rowText(t, 0), "ABC");
    feed(t, "\xa9");
    EXPECT_EQ(rowText(t, 0), "ABCé");
}

TEST(Parser, ControlsActInsideSequences) {
    Terminal t(10, 10);
    feed(t, "\x1b[9;1H\x1b[5\nA");
    EXPECT_EQ(t.cursorY(), 4); // line feed to row 9, then up 5
    feed(t, "\x1b[1;1H\x1b[2\x18"
            "C");
    EXPECT_EQ(t.cursorX(), 2); // CAN is ignored and the sequence completes
    feed(t, "\x1b[1;1H\x1b[3\x1a"
            "C");
    EXPECT_EQ(t.cursorX(), 3);
    // ESC abandons the sequence in progress.
    feed(t, "\x1b[1;1H\x1b[5\x1b[2C");
    EXPECT_EQ(t.cursorX(), 2);
}

TEST(Parser, OscStrings) {
    Terminal t(10, 2);
    std::vector<std::string> titles;
    t.onTitleChange = [&](const std::string& s) { titles.push_back(s); };
    feed(t, "\x1b]0;t\nx\x07");
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0], "tx") << "control characters never reach the title";
    feed(t, "\x1b]2;a\x1bx");
    EXPECT_EQ(titles.size(), 1u);
    EXPECT_EQ(rowText(t, 0), "");
    feed(t, "\x1b]2;st\x1b\\\x1b_Gabc\x1b\\");
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[1], "st");
    EXPECT_EQ(t.diagnostics().oscCount, 2);
    // The 8-bit terminators and introducers, as UTF-8 scalars.
    feed(t, "\xc2\x9d"
            "0;c1\xc2\x9c");
    ASSERT_EQ(titles.size(), 3u);
    EXPECT_EQ(titles[2], "c1");
    feed(t, "\x1b]9;x\x07\x1b]abc\x07\x1b]1337\x07");
    std::vector<std::string> keys;
    for (const auto& u : t.diagnostics().unhandled) keys.push_back(u.seq);
    EXPECT_EQ(keys, (std::vector<std::string>{"OSC 9", "OSC -1", "OSC 1337"}));
    EXPECT_EQ(t.pstate(), Terminal::PState::ground);
    EXPECT_EQ(rowText(t, 0), "");
}

TEST(Parser, OverlongStringsAreDroppedNotKept) {
    Terminal t(10, 2);
    std::vector<std::string> titles;
    t.onTitleChange = [&](const std::string& s) { titles.push_back(s); };
    std::string osc = "\x1b]2;" + std::string(Terminal::kMaxOscBytes + 10, 'a') + "\x07" + "ok";
    feed(t, osc);
    EXPECT_TRUE(titles.empty());
    EXPECT_TRUE(t.oscBuf().size() <= Terminal::kMaxOscBytes);
    EXPECT_EQ(rowText(t, 0), "ok");
    // The next OSC works again.
    feed(t, "\x1b]2;t\x07");
    ASSERT_EQ(titles.size(), 1u);
    // Sixel data is decoded as it arrives instead of being collected: a string of any length ends
    // cleanly and leaves an image of bounded size.
    std::string sixel = "\x1bPq" + std::string(std::size_t{1} << 20, '~') + "\x1b\\" + "ok";
    feed(t, sixel);
    EXPECT_EQ(t.pstate(), Terminal::PState::ground);
    EXPECT_EQ(rowText(t, 0), "okok");
}

TEST(Parser, DcsAndSwallowedStrings) {
    Terminal t(10, 2);
    feed(t, "\x1bP1$qm\x1b\\a\x1bX hidden \x07"
            "b\x1b^pm\x1b\\c\x1bPq#1~\x07"
            "d");
    EXPECT_EQ(rowText(t, 0), "abcd");
    EXPECT_EQ(t.pstate(), Terminal::PState::ground);
}

TEST(Parser, CursorSaveAndRestoreCarryTheWholePenState) {
    Terminal t(10, 4);
    feed(t, "\x1b[1;31m\x1b(0\x1b)0\x0e\x1b[?6h\x1b[?7l\x1b[2;3H\x1b"
            "7");
    feed(t, "\x1b[0m\x1b(B\x1b)B\x0f\x1b[?6l\x1b[?7h\x1b[4;4H\x1b"
            "8");
    EXPECT_EQ(t.cursorX(), 2);
    EXPECT_EQ(t.cursorY(), 1);
    EXPECT_EQ(t.attrs().fg, 1);
    EXPECT_TRUE(t.attrs().bold);
    EXPECT_TRUE(t.charsetG0IsGraphics());
    EXPECT_TRUE(t.charsetG1IsGraphics());
    EXPECT_TRUE(t.usesG1());
    EXPECT_TRUE(t.mode(Mode::origin));
    EXPECT_FALSE(t.mode(Mode::autoWrap));
}

// NEL and ESC E move to column 0 of the next line like CR LF, so a pending wrap is over: the next
// character goes to that line, not one further down.
TEST(Parser, NextLineEndsAPendingWrap) {
    for (const char* nel : {"\x1b"
                            "E",
                            "\xc2\x85"}) {
        Terminal t(5, 3);
        feed(t, "abcde");
        feed(t, nel);
        feed(t, "x");
        EXPECT_EQ(dumpScreen(t), "abcde\nx\n\n@1,1") << nel;
    }
}

TEST(Parser, C0AndC1Controls) {
    Terminal t(10, 3);
    int bells = 0;
    t.onBell = [&] { ++bells; };
    feed(t, "ab\x07\x08\x08\x08X\x1b[3Gc\rY\x0b"
            "Z\x0c"
            "W");
    EXPECT_EQ(bells, 1);
    EXPECT_EQ(dumpScreen(t), "Ybc\n Z\n  W\n@3,2");
    feed(t, "\xc2\x8d\xc2\x8d\xc2\x84");
    EXPECT_EQ(t.cursorY(), 1);
    feed(t, "\x1b[1G\x1b[3C\xc2\x88\x1b[1G\t");
    EXPECT_EQ(t.cursorX(), 3);
    feed(t, "\xc2\x9b"
            "2G");
    EXPECT_EQ(t.cursorX(), 1);
}
