#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace enginetest;

TEST(Reflow, SoftWrappedLineJoinsAndSplitsAgain) {
    Terminal t(10, 4);
    feed(t, "abcdefghijklm\r\nnext");
    t.resize(15, 4);
    EXPECT_EQ(dumpScreen(t), "abcdefghijklm\nnext\n\n\n@4,1");
    EXPECT_EQ(t.lineAttr(0), LineAttr::reflowedLast);
    t.resize(10, 4);
    // The extra row takes the place of a blank row under the cursor instead of pushing the
    // first row into the scrollback.
    EXPECT_EQ(dumpScreen(t), "abcdefghij⏎\nklm\nnext\n\n@4,2");
    EXPECT_EQ(t.scrollback().size(), 0u);
    EXPECT_EQ(t.lineAttr(0), LineAttr::softWrapped);
    EXPECT_EQ(t.lineAttr(1), LineAttr::reflowedLast);
}

// The cursor after the last character of a line stands on a trailing blank. Trimming that blank
// would move the cursor back onto the last character, and the next one typed would overwrite it.
TEST(Reflow, CursorAfterTheTextStaysAfterIt) {
    Terminal t(8, 4);
    feed(t, "abcdefghij");
    ASSERT_EQ(t.cursorX(), 2);
    t.resize(5, 4);
    EXPECT_EQ(dumpScreen(t), "abcde⏎\nfghij⏎\n\n\n@0,2");
    feed(t, "k");
    EXPECT_EQ(dumpScreen(t), "abcde⏎\nfghij⏎\nk\n\n@1,2");
    // In the middle of the text the cursor keeps its character.
    Terminal m(8, 4);
    feed(m, "abcdefghij\x1b[1;4H");
    m.resize(5, 4);
    EXPECT_EQ(m.cursorX(), 3);
    EXPECT_EQ(m.cursorY(), 0);
    m.resize(3, 4);
    EXPECT_EQ(m.cursorX(), 0);
    EXPECT_EQ(m.cursorY(), 1);
}

TEST(Reflow, RowThatNeverWrappedIsOnlyCut) {
    Terminal t(10, 2);
    feed(t, "abcdefghij");
    t.resize(5, 2);
    EXPECT_EQ(dumpScreen(t), "abcde\n\n@4,0");
    t.resize(10, 2);
    EXPECT_EQ(dumpScreen(t), "abcde\n\n@4,0");
}

TEST(Reflow, WideCharacterMovesWholeToTheNextPiece) {
    Terminal t(8, 4);
    feed(t, "abc\xe4\xb8\xad"
            "defgh");
    t.resize(4, 4);
    EXPECT_EQ(dumpScreen(t), "abc⏎\n中de⏎\nfgh\n\n@3,2");
    EXPECT_TRUE(t.gridRow(0)[3].isBlank());
}

// One column cannot hold a wide character whole; it is cut into the column as a narrow cell so
// that every piece makes progress and the re-flow ends.
TEST(Reflow, WidthOneWithWideCharactersEnds) {
    Terminal t(4, 3);
    feed(t, "\xe4\xb8\xad\xe4\xb8\xad"
            "ab");
    t.resize(1, 8);
    EXPECT_EQ(dumpScreen(t), "中⏎\n中⏎\na⏎\nb⏎\n\n\n\n\n@0,4");
    EXPECT_EQ(t.gridRow(0)[0].width, 1u);
}

TEST(Reflow, LinesThatNoLongerFitGoToTheScrollback) {
    Terminal t(6, 3);
    feed(t, "abcdefghijkl\r\nxy");
    t.resize(3, 3);
    EXPECT_EQ(dumpScreen(t), "ghi⏎\njkl\nxy\n@2,2");
    ASSERT_EQ(t.scrollback().size(), 2u);
    EXPECT_EQ(scrollbackText(t, 0), "abc");
    EXPECT_EQ(scrollbackText(t, 1), "def");
}

TEST(Reflow, HeightChanges) {
    Terminal t(4, 24);
    for (int i = 0; i < 23; ++i) feed(t, std::to_string(i) + "\r\n");
    ASSERT_EQ(t.cursorY(), 23);
    feed(t, "\x1b[23;1H");
    // The blank last row gives way first; then rows leave at the top until the cursor's fits.
    t.resize(4, 20);
    EXPECT_EQ(t.cursorY(), 19);
    ASSERT_EQ(t.scrollback().size(), 3u);
    EXPECT_EQ(scrollbackText(t, 2), "2");
    EXPECT_EQ(rowText(t, 0), "3");

    // A prompt near the top with nothing under it: the screen only loses blank rows.
    Terminal top(4, 30);
    feed(top, "a\r\nb\r\nc\r\n$ ");
    top.resize(4, 20);
    EXPECT_EQ(top.scrollback().size(), 0u);
    EXPECT_EQ(dumpScreen(top).substr(0, 8), "a\nb\nc\n$\n");
    EXPECT_EQ(top.cursorY(), 3);

    Terminal low(4, 24);
    for (int i = 0; i < 23; ++i) feed(low, std::to_string(i) + "\r\n");
    feed(low, "\x1b[3;1H");
    low.resize(4, 20);
    EXPECT_EQ(low.cursorY(), 0);
    EXPECT_EQ(low.scrollback().size(), 2u);
    EXPECT_EQ(rowText(low, 19), "21");

    low.resize(4, 30);
    EXPECT_EQ(low.scrollback().size(), 2u);
    EXPECT_EQ(rowText(low, 19), "21");
    EXPECT_EQ(rowText(low, 29), "");
    EXPECT_EQ(low.scrollBottom(), 29);
}

TEST(Reflow, AlternateScreenIsOnlyCutOrFilled) {
    Terminal t(6, 3);
    feed(t, "abcdefghij\x1b[?1049hxyzuvwrs");
    t.resize(3, 3);
    EXPECT_EQ(t.scrollback().size(), 0u);
    EXPECT_EQ(dumpScreen(t), "xyz⏎\nrs\n\n@2,1");
    feed(t, "\x1b[?1049l");
    EXPECT_EQ(dumpScreen(t), "abc⏎\nghi\n\n@2,1");
}

TEST(Reflow, TabStopsFollowTheWidth) {
    Terminal t(80, 2);
    t.resize(100, 2);
    std::vector<std::int64_t> stops;
    for (int x = 0; x < 100; x += 8) stops.push_back(x);
    EXPECT_EQ(t.tabStops(), stops);
    Terminal cleared(80, 2);
    feed(cleared, "\x1b[3g");
    cleared.resize(100, 2);
    stops.erase(stops.begin());
    EXPECT_EQ(cleared.tabStops(), stops);
    t.resize(20, 2);
    EXPECT_EQ(t.tabStops(), (std::vector<std::int64_t>{0, 8, 16}));
}

TEST(Reflow, ResizeResetsRegionAndMarginsAndIgnoresBadSizes) {
    Terminal t(10, 5);
    feed(t, "\x1b[2;4r\x1b[?69h\x1b[2;5sx");
    t.resize(0, 5);
    t.resize(10, -1);
    EXPECT_EQ(t.cols(), 10);
    EXPECT_EQ(t.scrollBottom(), 3);
    t.resize(12, 6);
    EXPECT_EQ(t.scrollTop(), 0);
    EXPECT_EQ(t.scrollBottom(), 5);
    EXPECT_EQ(t.leftMargin(), 0);
    EXPECT_EQ(t.rightMargin(), 11);
    EXPECT_TRUE(t.mode(Mode::leftRightMargins));
    Terminal wide(1 << 30, 1);
    EXPECT_EQ(wide.cols(), Terminal::kMaxCols);
    Terminal tall(1, -5);
    EXPECT_EQ(tall.rows(), 1);
    tall.resize(1, 1 << 30);
    EXPECT_EQ(tall.rows(), Terminal::kMaxRows);
}
