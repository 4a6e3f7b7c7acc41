#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace enginetest;

TEST(Screen, NewTerminalState) {
    Terminal t(80, 24);
    EXPECT_EQ(t.scrollBottom(), 23);
    EXPECT_EQ(t.rightMargin(), 79);
    EXPECT_EQ(t.cursorX(), 0);
    EXPECT_EQ(t.cursorY(), 0);
    EXPECT_TRUE(t.mode(Mode::autoWrap));
    EXPECT_TRUE(t.mode(Mode::cursorVisible));
    std::vector<std::int64_t> stops;
    for (int x = 0; x < 80; x += 8) stops.push_back(x);
    EXPECT_EQ(t.tabStops(), stops);
    EXPECT_EQ(t.pstate(), Terminal::PState::ground);
}

TEST(Screen, DeferredWrap) {
    Terminal t(5, 3);
    feed(t, "abcde");
    EXPECT_EQ(dumpScreen(t), "abcde\n\n\n@4,0+");
    feed(t, "f");
    EXPECT_EQ(dumpScreen(t), "abcde⏎\nf\n\n@1,1");
    // At the bottom of the region the wrap scrolls.
    feed(t, "\x1b[3;1Hvwxyz12");
    EXPECT_EQ(dumpScreen(t), "f\nvwxyz⏎\n12\n@2,2");
    EXPECT_EQ(scrollbackText(t, 0), "abcde");
}

TEST(Screen, WithoutAutoWrapTheLastColumnIsOverwritten) {
    Terminal t(5, 2);
    feed(t, "\x1b[?7labcdefgh");
    EXPECT_EQ(dumpScreen(t), "abcdh\n\n@4,0+");
    // The same through put() one scalar at a time (a non-ASCII character takes the slow path).
    feed(t, "\r\x1b[2Kabcd\xc3\xa9\xc3\xa8");
    EXPECT_EQ(dumpScreen(t), "abcdè\n\n@4,0+");
}

TEST(Screen, WideCharacters) {
    Terminal t(5, 3);
    feed(t, "ab\xe4\xb8\xad");
    auto row = t.gridRow(0);
    EXPECT_EQ(row[2].ch, U'中');
    EXPECT_EQ(row[2].width, 2u);
    EXPECT_EQ(row[3].width, 0u);
    EXPECT_EQ(row[3].ch, U' ');
    EXPECT_EQ(dumpScreen(t), "ab中\n\n\n@4,0");
    // At the last column the wide character moves down whole; the column gets a blank.
    feed(t, "\x1b[31m\xe4\xb8\xad");
    EXPECT_EQ(dumpScreen(t), "ab中⏎\n中\n\n@2,1");
    EXPECT_EQ(t.attrsOf(t.gridRow(0)[4]).fg, 1);
    EXPECT_EQ(t.gridRow(0)[4].width, 1u);
    // Without automatic wrap it is written as a narrow cell in the last column.
    Terminal n(5, 2);
    feed(n, "\x1b[?7labcd\xe4\xb8\xad");
    EXPECT_EQ(n.gridRow(0)[4].ch, U'中');
    EXPECT_EQ(n.gridRow(0)[4].width, 1u);
}

TEST(Screen, CombiningMarks) {
    Terminal t(5, 3);
    feed(t, "e\xcc\x81");
    EXPECT_EQ(t.gridRow(0)[0].ch, U'\u00e9'); // composed: a plain cell, no cluster
    EXPECT_EQ(dumpScreen(t), "é\n\n\n@1,0");
    Terminal origin(5, 3);
    feed(origin, "\xcc\x81");
    EXPECT_EQ(dumpScreen(origin), "\n\n\n@0,0");
    // At column 0 the mark goes to the last column of the row above.
    Terminal above(3, 3);
    feed(above, "abe\r\n\xcc\x81");
    EXPECT_EQ(rowText(above, 0), "abé");
}

// Marks that do not compose stay with their base in one cell: the row keeps its width and the
// text its marks, on screen and in the scrollback. Both the fast intake and put() are driven, by
// the whole string and by one byte at a time.
TEST(Screen, MarksThatDoNotComposeStayWithTheirBase) {
    struct Case {
        const char* bytes;
        const char* row;
        std::int64_t cursorX;
    };
    const Case cases[] = {
        {"x\u0332y", "x\u0332y", 2},                         // combining low line
        {"e\u0301\u0323!", "\u1eb9\u0301!", 2},             // canonical order: the dot composes
        {"1\ufe0f\u20e3.", "1\ufe0f\u20e3.", 2},            // keycap with its selector
        {"\u270c\ufe0e|", "\u270c\ufe0e|", 2},              // text presentation selector
        {"\u4e2d\u0332.", "\u4e2d\u0332.", 3},              // a wide base keeps both columns
        {"\u0915\u094d\u0937", "\u0915\u094d\u0937", 2}, // Devanagari virama
    };
    for (const Case& c : cases) {
        for (bool byteWise : {false, true}) {
            Terminal t(10, 2);
            if (byteWise) {
                for (char b : std::string_view(c.bytes)) t.process(std::string_view(&b, 1));
            } else {
                feed(t, c.bytes);
            }
            EXPECT_EQ(rowText(t, 0), c.row) << c.bytes << (byteWise ? " byte-wise" : "");
            EXPECT_EQ(t.cursorX(), c.cursorX) << c.bytes;
            feed(t, "\r\n\n");
            ASSERT_EQ(t.scrollback().size(), 1u);
            EXPECT_EQ(scrollbackText(t, 0), c.row) << c.bytes;
        }
    }
    // A stream of marks on one character keeps the first few and no more.
    Terminal t(10, 2);
    std::string zalgo = "a";
    for (int i = 0; i < 50; ++i) zalgo += "\u0332";
    feed(t, zalgo);
    std::string kept = "a";
    for (std::size_t i = 1; i < Cluster::kMaxScalars; ++i) kept += "\u0332";
    EXPECT_EQ(rowText(t, 0), kept);
}

// Clusters that scrolled out of the scrollback are dropped from the table, and those still shown
// keep their text through that.
TEST(Screen, ClustersNoLongerShownAreDropped) {
    Terminal t(8, 2);
    feed(t, "q\u0332");
    for (char32_t base = 0x100; base < 0x200; ++base) {
        for (char32_t mark = 0x300; mark < 0x370; ++mark) feed(t, "\x1b[2H" + utf8(base) + utf8(mark) + utf8(0x35C));
    }
    EXPECT_EQ(rowText(t, 0), "q\u0332");
    EXPECT_LE(t.clusters().size(), kMinCompactionLimit + 1); // 28,672 were made
}

// With a wrap pending the cursor still stands on the character just written, so that is the
// one a combining mark joins, not the one left of it.
TEST(Screen, CombiningMarkWhileWrapPendingJoinsTheLastWrittenCell) {
    Terminal t(3, 2);
    feed(t, "abe\xcc\x81");
    EXPECT_EQ(dumpScreen(t), "abé\n\n@2,0+");
}

TEST(Screen, InsertModeShiftsTheRow) {
    Terminal t(5, 2);
    feed(t, "abcde\r\x1b[4hX");
    EXPECT_EQ(dumpScreen(t), "Xabcd\n\n@1,0");
    feed(t, "\xe4\xb8\xad");
    EXPECT_EQ(dumpScreen(t), "X中ab\n\n@3,0");
}

TEST(Screen, DoubleWidthRowStopsAtHalfTheColumns) {
    Terminal t(80, 3);
    feed(t, "\x1b#6");
    for (int i = 0; i < 40; ++i) feed(t, "x");
    EXPECT_EQ(t.cursorX(), 39);
    EXPECT_TRUE(t.pendingWrap());
    EXPECT_EQ(t.effectiveCols(0), 40);
    EXPECT_EQ(t.effectiveCols(1), 80);
}

TEST(Screen, GraphicsCharacterSets) {
    Terminal t(10, 2);
    feed(t, "\x1b(0q\x1b(Bq\x1b)0\x0eq\x0fq\x1b*0x");
    EXPECT_EQ(rowText(t, 0), "─q─q│");
}

TEST(Screen, ScrollbackIsCappedAtTenThousandRows) {
    Terminal t(4, 3);
    for (int i = 0; i < 10001 + 2; ++i) feed(t, std::to_string(i % 1000) + "\r\n");
    EXPECT_EQ(t.scrollback().size(), 10000u);
    EXPECT_EQ(t.scrollback().pushedTotal(), 10001u);
    EXPECT_EQ(t.scrollback().droppedTotal(), 1u);
    EXPECT_EQ(scrollbackText(t, 0), "1");
    EXPECT_EQ(scrollbackText(t, 9999), "0"); // line 10000
    // Clearing counts every line as dropped, so pushed - dropped stays the line count.
    feed(t, "\x1b[3J");
    EXPECT_EQ(t.scrollback().size(), 0u);
    EXPECT_EQ(t.scrollback().pushedTotal() - t.scrollback().droppedTotal(), 0u);
}

TEST(Screen, WhichScrollsFeedTheScrollback) {
    struct Case {
        const char* setup;
        std::size_t expected;
    };
    const Case cases[] = {
        {"", 5},                   // whole screen
        {"\x1b[1;10r", 5},         // region starting at the top
        {"\x1b[6;20r", 0},         // region below the top
        {"\x1b[?1049h", 0},        // alternate screen
        {"\x1b[?69h\x1b[2;5s", 0}, // left and right margins: a partial scroll
    };
    for (const Case& c : cases) {
        Terminal t(20, 24);
        feed(t, c.setup);
        feed(t, "\x1b[5S");
        EXPECT_EQ(t.scrollback().size(), c.expected) << c.setup;
    }
}

// A one-row terminal has its only row as the whole region: it must still scroll, or every line
// written to it would be lost instead of going to the scrollback.
TEST(Screen, OneRowScreenScrollsIntoTheScrollback) {
    Terminal t(10, 1);
    feed(t, "one\r\ntwo\r\nthree");
    EXPECT_EQ(dumpScreen(t), "three\n@5,0");
    ASSERT_EQ(t.scrollback().size(), 2u);
    EXPECT_EQ(scrollbackText(t, 0), "one");
    EXPECT_EQ(scrollbackText(t, 1), "two");
    feed(t, "\x1bMx");
    EXPECT_EQ(dumpScreen(t), "     x\n@6,0");
}

TEST(Screen, ScrollRegionsAndMargins) {
    Terminal t(6, 4);
    feed(t, "aaaaaa\r\nbbbbbb\r\ncccccc\r\ndddddd");
    feed(t, "\x1b[2;3r\x1b[2;1H\x1b[S");
    EXPECT_EQ(dumpScreen(t), "aaaaaa\ncccccc\n\ndddddd\n@0,1");
    feed(t, "\x1b[T");
    EXPECT_EQ(dumpScreen(t), "aaaaaa\n\ncccccc\ndddddd\n@0,1");
    Terminal m(6, 3);
    feed(m, "abcdef\r\nghijkl\r\nmnopqr\x1b[?69h\x1b[2;4s\x1b[S");
    EXPECT_EQ(dumpScreen(m), "ahijef\ngnopkl\nm   qr\n@0,0+"); // DECSLRM keeps the pending wrap
    feed(m, "\x1b[T");
    EXPECT_EQ(dumpScreen(m), "a   ef\nghijkl\nmnopqr\n@0,0+");
}

TEST(Screen, ImagesMoveWithTheScrolledRegion) {
    Terminal t(10, 5);
    const std::string pixel = "\x1bPq#1~\x1b\\"; // one six-pixel column; the cursor stays
    feed(t, "\x1b[2;1H" + pixel + "\x1b[5;3H" + pixel + "\x1b[1;4r\x1b[S");
    ASSERT_EQ(t.sixelImages().size(), 2u);
    EXPECT_EQ(t.sixelImages()[0].row, 0);
    EXPECT_EQ(t.sixelImages()[1].row, 4); // below the region: stays
    feed(t, "\x1b[S");
    ASSERT_EQ(t.sixelImages().size(), 1u);
    EXPECT_EQ(t.sixelImages()[0].row, 4);
}

TEST(Screen, TabStops) {
    Terminal t(80, 2);
    feed(t, "\x1b[79G\t");
    EXPECT_EQ(t.cursorX(), 79);
    feed(t, "\x1b[1G\x1b[Z");
    EXPECT_EQ(t.cursorX(), 0);
    feed(t, "abc\t");
    EXPECT_EQ(t.cursorX(), 8);
    feed(t, "\x1b[3I");
    EXPECT_EQ(t.cursorX(), 32);
    feed(t, "\x1b[2Z");
    EXPECT_EQ(t.cursorX(), 16);
    feed(t, "\x1b[5G\x1bH\x1b[1G\t");
    EXPECT_EQ(t.cursorX(), 4);
    // advanceToNextTab clears a pending wrap.
    feed(t, "\x1b[80Gx");
    EXPECT_TRUE(t.pendingWrap());
    feed(t, "\t");
    EXPECT_FALSE(t.pendingWrap());
    EXPECT_EQ(t.cursorX(), 79);
}

TEST(Screen, TabOnADoubleWidthRowStopsAtItsLastUsableColumn) {
    // A box drawn on double-width rows with tabs (the stops beyond column 39 lie in the half of
    // the row that is not shown): the right border lands on the row's last usable column.
    Terminal t(80, 2);
    feed(t, "\x1b#6x\t\t\t\t\t");
    EXPECT_EQ(t.cursorX(), 39);
    feed(t, "y");
    EXPECT_EQ(rowText(t, 0), "x" + std::string(38, ' ') + "y");
    EXPECT_TRUE(t.pendingWrap());
    // Beyond the usable part already, a tab leaves the cursor where it is.
    feed(t, "\x1b[1;60H\t");
    EXPECT_EQ(t.cursorX(), 59);
    // A single-width row still tabs to the stops of the whole width.
    feed(t, "\x1b[2;33H\t");
    EXPECT_EQ(t.cursorX(), 40);
}

TEST(Screen, ScreenAlignmentAndLineAttributes) {
    Terminal t(4, 3);
    feed(t, "\x1b[2;3r\x1b[3;1H\x1b#8");
    EXPECT_EQ(dumpScreen(t), "EEEE\nEEEE\nEEEE\n@0,0");
    EXPECT_EQ(t.scrollTop(), 0);
    EXPECT_EQ(t.scrollBottom(), 2);
    feed(t, "\x1b[3;1H\x1b#3");
    EXPECT_EQ(t.lineAttr(2), 2);
    EXPECT_EQ(t.lineAttr(1), 0);
    feed(t, "\x1b#4");
    EXPECT_EQ(t.lineAttr(2), 3);
    feed(t, "\x1b#5");
    EXPECT_EQ(t.lineAttr(2), 0);
}

TEST(Screen, BackAndForwardIndex) {
    Terminal t(5, 2);
    feed(t, "abcde\r\x1b"
            "6");
    EXPECT_EQ(dumpScreen(t), " abcd\n\n@0,0");
    feed(t, "\x1b[5G\x1b"
            "9");
    EXPECT_EQ(dumpScreen(t), "abcd\n\n@4,0");
    feed(t, "\x1b[3G\x1b"
            "9\x1b"
            "6");
    EXPECT_EQ(t.cursorX(), 2);
}

// A line feed, vertical tab, form feed, index or reverse index takes the cursor off the line whose
// last column was just written: the wrap that was due there is dropped, so the next character
// lands in the last column of the new line instead of wrapping past it, as in xterm.
TEST(Screen, VerticalMotionsDropAPendingWrap) {
    const std::string full(80, 'x');
    struct Case {
        const char* motion;
        std::int64_t row; // where Y lands, in the last column
    };
    const Case cases[] = {{"\n", 3},
                          {"\v", 3},
                          {"\f", 3},
                          {"\x1b"
                           "D",
                           3},
                          {"\x1b"
                           "M",
                           1}};
    for (const Case& c : cases) {
        Terminal t(80, 5);
        feed(t, "\x1b[3;1H" + full);
        ASSERT_TRUE(t.pendingWrap());
        feed(t, std::string(c.motion) + "Y");
        EXPECT_EQ(rowText(t, c.row), std::string(79, ' ') + "Y") << visible(c.motion);
        EXPECT_EQ(rowText(t, 2), full) << visible(c.motion);
    }
    // On the region's bottom line the line feed scrolls, and the wrap is dropped all the same.
    Terminal t(80, 5);
    feed(t, "\x1b[5;1H" + full + "\nY");
    EXPECT_EQ(rowText(t, 3), full);
    EXPECT_EQ(rowText(t, 4), std::string(79, ' ') + "Y");
}
