#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {

// A 6x3 screen filled with known rows; the cursor then goes where `move` puts it.
Terminal filled(const char* move) {
    Terminal t(6, 3);
    feed(t, "abcdef\r\nghijkl\r\nmnopqr");
    feed(t, move);
    return t;
}

} // namespace

TEST(Editing, EraseTable) {
    struct Case {
        const char* seq;
        const char* screen;
    };
    const Case cases[] = {
        {"\x1b[2;3H\x1b[J", "abcdef\ngh\n\n@2,1"},
        {"\x1b[2;3H\x1b[1J", "\n   jkl\nmnopqr\n@2,1"},
        {"\x1b[2;3H\x1b[2J", "\n\n\n@2,1"},
        {"\x1b[2;3H\x1b[5J", "abcdef\nghijkl\nmnopqr\n@2,1"},
        {"\x1b[2;3H\x1b[K", "abcdef\ngh\nmnopqr\n@2,1"},
        {"\x1b[2;3H\x1b[1K", "abcdef\n   jkl\nmnopqr\n@2,1"},
        {"\x1b[2;3H\x1b[2K", "abcdef\n\nmnopqr\n@2,1"},
        {"\x1b[2;3H\x1b[2X", "abcdef\ngh  kl\nmnopqr\n@2,1"},
        {"\x1b[2;3H\x1b[99X", "abcdef\ngh\nmnopqr\n@2,1"},
        {"\x1b[2;3H\x1b[P", "abcdef\nghjkl\nmnopqr\n@2,1"},
        {"\x1b[2;3H\x1b[2@", "abcdef\ngh  ij\nmnopqr\n@2,1"},
        {"\x1b[2;3H\x1b[L", "abcdef\n\nghijkl\n@2,1"},
        {"\x1b[2;3H\x1b[M", "abcdef\nmnopqr\n\n@2,1"},
        {"\x1b[2;3H\x1b[9M", "abcdef\n\n\n@2,1"},
    };
    for (const Case& c : cases) {
        Terminal t = filled(c.seq);
        EXPECT_EQ(dumpScreen(t), c.screen) << c.seq + 1;
    }
}

TEST(Editing, ErasedCellsTakeTheDefaultRenditionNotTheCurrentOne) {
    Terminal t = filled("\x1b[41m\x1b[2;1H\x1b[K\x1b[L\x1b[3@");
    for (std::int64_t y = 1; y < 3; ++y) {
        for (const Cell& c : t.gridRow(y)) {
            if (c.ch == U' ') {
                EXPECT_TRUE(c.isBlank());
                EXPECT_EQ(t.attrsOf(c), TextAttrs());
            }
        }
    }
}

TEST(Editing, ProtectedCellsSurviveErases) {
    Terminal t(10, 2);
    feed(t, "abcde\x1bVF\x1bWghij\r\n0123456789");
    feed(t, "\x1b[1;1H\x1b[2K");
    EXPECT_EQ(rowText(t, 0), "     F");
    feed(t, "\x1b[2J");
    EXPECT_EQ(dumpScreen(t), "     F\n\n@0,0");
    feed(t, "\x1b[1;6H\x1b[X\x1b[1;1H\x1b[K");
    EXPECT_EQ(rowText(t, 0), "     F");
    // Insertions and deletions still move and drop it.
    feed(t, "\x1b[1;1H\x1b[2P");
    EXPECT_EQ(rowText(t, 0), "   F");
    // SGR 0 clears the protection with the rest of the rendition.
    feed(t, "\x1bV\x1b[0mX\x1b[2K");
    EXPECT_EQ(rowText(t, 0), "   F");
}

TEST(Editing, EraseDisplayModeThreeEmptiesTheScrollback) {
    Terminal t(4, 2);
    feed(t, "a\r\nb\r\nc\r\nd");
    ASSERT_EQ(t.scrollback().size(), 2u);
    feed(t, "\x1b[3J");
    EXPECT_EQ(t.scrollback().size(), 0u);
    EXPECT_EQ(dumpScreen(t), "\n\n@1,1");
}

TEST(Editing, EraseLineAndTheWrapBit) {
    Terminal t(4, 3);
    feed(t, "abcdef\x1b[1;2H\x1b[K");
    EXPECT_TRUE(t.lineAttr(0) & LineAttr::softWrapped);
    feed(t, "\x1b[1K");
    EXPECT_TRUE(t.lineAttr(0) & LineAttr::softWrapped);
    feed(t, "\x1b[2K");
    EXPECT_FALSE(t.lineAttr(0) & LineAttr::softWrapped);
    // With a wrap pending at the last column, mode 0 erases only that column.
    Terminal p(4, 2);
    feed(p, "abcd\x1b[K");
    EXPECT_EQ(dumpScreen(p), "abc\n\n@3,0+");
}

TEST(Editing, ErasingWholeRowsOfTheDisplayMakesThemSingleSize) {
    // Every row double width, then the screen is cleared: text written afterwards uses the whole
    // width again instead of wrapping at half the screen.
    Terminal t(8, 4);
    feed(t, "\x1b#6\r\n\x1b#3\r\n\x1b#4\x1b[4;1H\x1b#6\x1b[H\x1b[2J");
    for (int y = 0; y < 4; ++y) EXPECT_EQ(t.lineAttr(y), 0) << "row " << y;
    feed(t, "abcdefgh");
    EXPECT_EQ(dumpScreen(t), "abcdefgh\n\n\n\n@7,0+");

    // Modes 0 and 1 reset only the rows they erase from end to end; the cursor row keeps its size
    // and so does every other bit of the line attribute.
    Terminal p(8, 4);
    feed(p, "\x1b#6abcde\x1b#6\r\n\x1b#6\r\n\x1b#6\x1b[2;3H\x1b[J"); // row 0 wraps at 4 columns
    EXPECT_EQ(p.lineAttr(0), 1 | LineAttr::softWrapped);
    EXPECT_EQ(p.lineAttr(1), 1);
    EXPECT_EQ(p.lineAttr(2), 0);
    EXPECT_EQ(p.lineAttr(3), 0);
    feed(p, "\x1b[1J");
    EXPECT_EQ(p.lineAttr(0), LineAttr::softWrapped);
    EXPECT_EQ(p.lineAttr(1), 1);
    // Erasing a line changes no size.
    feed(p, "\x1b[2K");
    EXPECT_EQ(p.lineAttr(1), 1);
}

TEST(Editing, InsertAndDeleteLinesStayInTheRegion) {
    Terminal t(3, 5);
    feed(t, "1\r\n2\r\n3\r\n4\r\n5\x1b[2;4r");
    feed(t, "\x1b[1;1H\x1b[L");
    EXPECT_EQ(dumpScreen(t), "1\n2\n3\n4\n5\n@0,0");
    feed(t, "\x1b[2;1H\x1b[L");
    EXPECT_EQ(dumpScreen(t), "1\n\n2\n3\n5\n@0,1");
    feed(t, "\x1b[2M");
    EXPECT_EQ(dumpScreen(t), "1\n3\n\n\n5\n@0,1");
    EXPECT_EQ(t.scrollback().size(), 0u);
}

TEST(Editing, InsertAndDeleteCharactersRespectTheRightMargin) {
    Terminal t(30, 1);
    feed(t, "abcdefghijklmnopqrstuvwxyz0123");
    feed(t, "\x1b[?69h\x1b[11;20s\x1b[1;13H\x1b[@");
    EXPECT_EQ(rowText(t, 0), "abcdefghijkl mnopqrsuvwxyz0123");
    feed(t, "\x1b[1;13H\x1b[2P");
    EXPECT_EQ(rowText(t, 0), "abcdefghijklnopqrs  uvwxyz0123");
    feed(t, "\x1b[1;26H\x1b[@\x1b[P");
    EXPECT_EQ(rowText(t, 0), "abcdefghijklnopqrs  uvwxyz0123");
}

TEST(Editing, AlternateScreen) {
    Terminal t(5, 2);
    feed(t, "main\x1b[?1049h");
    EXPECT_TRUE(t.isAltScreen());
    EXPECT_EQ(dumpScreen(t), "\n\n@0,0");
    feed(t, "alt\x1b[?1049h");
    EXPECT_EQ(rowText(t, 0), "alt"); // a second entry does not clear it
    feed(t, "\x1b[?1049l");
    EXPECT_FALSE(t.isAltScreen());
    EXPECT_EQ(dumpScreen(t), "main\n\n@3,0"); // the second entry saved the cursor again
    // 47 and 1047 bring back the cursor the main screen had.
    feed(t, "\r\n12\x1b[?47hxyz\x1b[?47l");
    EXPECT_EQ(dumpScreen(t), "main\n12\n@2,1");
    feed(t, "\x1b[?1047h\x1b[2;2H\x1b[?1047l");
    EXPECT_EQ(t.cursorX(), 2);
    // Leaving 1049 on the main screen only restores the saved cursor and rendition.
    feed(t, "\x1b[1;1H\x1b[31m\x1b"
            "7\x1b[0m\x1b[2;4H\x1b[?1049l");
    EXPECT_EQ(t.cursorX(), 0);
    EXPECT_EQ(t.attrs().fg, 1);
}

// A cursor saved on a larger screen is put back inside the grid after a resize, so output
// written after the restore stays visible.
TEST(Editing, RestoredCursorsAreClampedToTheGrid) {
    struct Case {
        const char* save;
        const char* restore;
    };
    const Case cases[] = {
        {"\x1b"
         "7",
         "\x1b"
         "8"},
        {"\x1b[s", "\x1b[u"},
        {"\x1b[?1048h", "\x1b[?1048l"},
        {"\x1b[?1049h", "\x1b[?1049l"},
        {"\x1b[?1047h", "\x1b[?1047l"},
    };
    for (const Case& c : cases) {
        Terminal t(20, 10);
        feed(t, "\x1b[9;18H");
        feed(t, c.save);
        t.resize(10, 5);
        feed(t, c.restore);
        feed(t, "X");
        EXPECT_LT(t.cursorY(), 5) << c.save + 1;
        EXPECT_LT(t.cursorX(), 10) << c.save + 1;
        bool seen = false;
        for (std::int64_t y = 0; y < t.rows(); ++y) seen |= rowText(t, y).find('X') != std::string::npos;
        EXPECT_TRUE(seen) << c.save + 1;
    }
}

TEST(Editing, FullResetKeepsTheScrollback) {
    Terminal t(8, 2);
    feed(t, "a\r\nb\r\nc\x1b[3g\x1b[?1049h\x1b[4h\x1b[?7l\x1b[31m\x1b[2;2r");
    feed(t, "\x1b"
            "c");
    EXPECT_EQ(t.scrollback().size(), 1u);
    EXPECT_FALSE(t.isAltScreen());
    EXPECT_EQ(t.tabStops(), (std::vector<std::int64_t>{0}));
    EXPECT_FALSE(t.mode(Mode::insert));
    EXPECT_TRUE(t.mode(Mode::autoWrap));
    EXPECT_EQ(t.attrs(), TextAttrs());
    EXPECT_EQ(t.scrollBottom(), 1);
    EXPECT_EQ(dumpScreen(t), "\n\n@0,0");
    EXPECT_EQ(t.pstate(), Terminal::PState::ground);
}

// Every count that loops or moves the cursor is cut to what can have an effect: these finish at
// once and leave the screen as the largest meaningful count would.
TEST(Editing, HugeCountsAreClamped) {
    const char* huge = "9223372036854775807";
    const char* finals[] = {"@", "A", "B", "C", "D", "E", "F", "G", "H", "I", "L", "M",
                            "P", "S", "T", "X", "Z", "b", "d", "e", "`", "a", "f"};
    for (const char* f : finals) {
        Terminal t(8, 4);
        feed(t, "ab\r\ncd\x1b[2;2H");
        feed(t, std::string("\x1b[") + huge + ";" + huge + f);
        EXPECT_GE(t.cursorX(), 0) << f;
        EXPECT_LT(t.cursorX(), 8) << f;
        EXPECT_GE(t.cursorY(), 0) << f;
        EXPECT_LT(t.cursorY(), 4) << f;
        EXPECT_LE(t.scrollback().size(), Terminal::kScrollbackLimit) << f;
    }
    Terminal t(8, 4);
    feed(t, "x\x1b[2147483647b");
    EXPECT_EQ(t.scrollback().size(), Terminal::kScrollbackLimit);
    EXPECT_EQ(scrollbackText(t, 0), "xxxxxxxx");
    feed(t, "\x1b[2147483647S");
    EXPECT_EQ(dumpScreen(t), "\n\n\n\n@1,3");
    EXPECT_EQ(scrollbackText(t, 9999), "");
}

// Writing over, erasing, inserting at or deleting either half of a wide character blanks the
// whole character: no half is left standing without the other (xterm, libvterm, tmux).
TEST(Editing, EitherHalfOfAWideCharacterTakesTheWholeCharacter) {
    struct Case {
        const char* bytes;
        const char* text; // row 0, trailing blanks trimmed
    };
    const Case cases[] = {
        {"日\x1b[1;2HX", " X"},
        {"日本\x1b[1;3HY", "日Y"},
        {"日\x1b[1;1HX", "X"},
        {"日本\x1b[1;2HXYZ", " XYZ"},
        {"日本\x1b[1;2HABCDEFGHIJKLMNOPQRSTUVWXYZ", " ABCDEFGHIJKLMNOPQRSTUVWXYZ"}, // a long run
        {"日本\x1b[1;2Hé", " é本"},
        {"日本\x1b[1;2H中", " 中"},
        {"日本\x1b[1;3H中", "日中"},
        {"日本\x1b[1;2H\x1b[4hX", " X 本"}, // insert mode
        {"日本\x1b[1;2H\x1b[X", "  本"},    // ECH
        {"日本\x1b[1;3H\x1b[K", "日"},      // EL 0
        {"日本\x1b[1;3H\x1b[1K", ""},       // EL 1
        {"日本\x1b[1;2H\x1b[@", "   本"},   // ICH
        {"日本\x1b[1;2H\x1b[P", " 本"},     // DCH
        {"a日b\x1b[1;2H\x1b[P", "a b"},
        {"a\x1b[1;39H日\x1b[1;1H\x1b[@", " a"}, // pushed off the row by half
    };
    for (const Case& c : cases) {
        Terminal t(40, 3);
        feed(t, c.bytes);
        EXPECT_EQ(rowText(t, 0), c.text) << c.bytes;
        const auto row = t.gridRow(0);
        for (std::size_t x = 0; x < row.size(); ++x) {
            if (row[x].width == 2) {
                EXPECT_TRUE(x + 1 < row.size() && row[x + 1].width == 0) << c.bytes << " left half at " << x;
            } else if (row[x].width == 0) {
                EXPECT_TRUE(x > 0 && row[x - 1].width == 2) << c.bytes << " right half at " << x;
            }
        }
    }
}
