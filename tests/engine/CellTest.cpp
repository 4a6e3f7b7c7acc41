#include "TestSupport.h"
#include "engine/CharWidth.h"
#include "engine/Diagnostics.h"

#include <cstring>
#include <gtest/gtest.h>
#include <type_traits>

using namespace enginetest;

TEST(TextAttrs, EqualityCoversEverySixteenFields) {
    TextAttrs explicitDefaults;
    explicitDefaults.fg = 7;
    explicitDefaults.bg = 0;
    EXPECT_EQ(TextAttrs(), explicitDefaults);
    TextAttrs ul;
    ul.ulColor = 0;
    EXPECT_NE(TextAttrs(), ul);
    TextAttrs black;
    black.fgRGB = RGB{0, 0, 0};
    EXPECT_NE(TextAttrs(), black);
    TextAttrs prot;
    prot.isProtected = true;
    EXPECT_NE(TextAttrs(), prot);
    TextAttrs a;
    a.bgRGB = RGB{1, 2, 3};
    TextAttrs b = a;
    EXPECT_EQ(a, b);
    b.bgRGB = RGB{1, 2, 4};
    EXPECT_NE(a, b);
}

TEST(Cell, BlankCellIsASpaceWithDefaultRenditionAndNoLink) {
    static_assert(std::is_trivially_copyable_v<Cell>);
    static_assert(sizeof(Cell) <= 16);
    Terminal t(4, 2);
    Cell c;
    EXPECT_EQ(c.ch, U' ');
    EXPECT_EQ(c.width, 1u);
    EXPECT_TRUE(c.isBlank());
    EXPECT_EQ(t.attrsOf(c), TextAttrs());
    EXPECT_EQ(t.attrsOf(c).ulColor, -1);
    EXPECT_TRUE(t.hyperlinkOf(c).empty());
}

TEST(Cell, RenditionsAreInternedSoIdEqualityIsValueEquality) {
    Terminal t(10, 2);
    feed(t, "\x1b[31ma\x1b[0mb\x1b[31mc\x1b[38;2;1;2;3md");
    auto row = t.gridRow(0);
    EXPECT_EQ(row[0].attrId, row[2].attrId);
    EXPECT_EQ(row[1].attrId, 0u);
    EXPECT_NE(row[0].attrId, row[3].attrId);
    EXPECT_EQ(t.attrsOf(row[0]).fg, 1);
    EXPECT_EQ(t.attrsOf(row[3]).fgRGB, (RGB{1, 2, 3}));
}

// A stream that mints a new true colour for every character must not grow the rendition table
// without bound: ids no cell uses are dropped, and the cells that remain keep their colours.
TEST(Cell, RenditionTableIsCompactedWhileCellsKeepTheirColours) {
    Terminal t(20, 3);
    for (int i = 0; i < 200000; ++i) {
        std::string s = "\x1b[38;2;" + std::to_string(i & 255) + ";" + std::to_string((i >> 8) & 255) + ";" +
                        std::to_string((i >> 16) & 255) + "mx";
        feed(t, s);
    }
    // The last character written has the last colour.
    const Cell& last = t.gridRow(t.cursorY())[std::size_t(t.cursorX())];
    int i = 199999;
    EXPECT_EQ(t.attrsOf(last).fgRGB,
              (RGB{std::uint8_t(i & 255), std::uint8_t((i >> 8) & 255), std::uint8_t((i >> 16) & 255)}));
    // Every scrollback cell still resolves to a true colour it was written with.
    for (std::size_t l = 0; l < t.scrollback().size(); l += 997) {
        for (const Cell& c : t.scrollback().line(l)) EXPECT_TRUE(t.attrsOf(c).fgRGB.has_value());
    }
}

// Dropped rendition ids are handed out again: a cell that is still shown must never end up with a
// colour written later. Every character gets the next colour of a counter, so along the whole
// buffer (scrollback, then grid) the colours must count up by one from cell to cell, across
// several compactions of the table.
TEST(Cell, ReusedRenditionIdsNeverChangeCellsStillShown) {
    Terminal t(10, 3);
    std::string s;
    constexpr int kChars = 250000;
    for (int i = 0; i < kChars; ++i) {
        s += "\x1b[38;2;" + std::to_string(i & 255) + ";" + std::to_string((i >> 8) & 255) + ";" +
             std::to_string((i >> 16) & 255) + "m" + char('a' + i % 26);
    }
    feed(t, s);
    auto indexOf = [&](const Cell& c) {
        const auto rgb = t.attrsOf(c).fgRGB.value_or(RGB{});
        return int(rgb.r) | int(rgb.g) << 8 | int(rgb.b) << 16;
    };
    std::vector<const Cell*> cells;
    for (std::size_t l = 0; l < t.scrollback().size(); ++l) {
        for (const Cell& c : t.scrollback().line(l)) cells.push_back(&c);
    }
    for (std::int64_t y = 0; y < t.rows(); ++y) {
        for (const Cell& c : t.gridRow(y)) cells.push_back(&c);
    }
    ASSERT_EQ(cells.size(), std::size_t(10 * (t.scrollback().size() + 3)));
    const int first = kChars - int(cells.size());
    int wrong = 0;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const int want = first + int(k);
        if (indexOf(*cells[k]) != want || cells[k]->ch != char32_t('a' + want % 26)) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
}

// The text paths write cells from a pattern of plain words; they must be the very cells that the
// fields make, whatever the compiler's layout of the bit-fields.
TEST(Cell, PatternStoresTheSameCellAsItsFields) {
    const struct {
        std::uint32_t attr, link, width;
    } cases[] = {{0, 0, 1}, {7, 0, 2}, {123456, 1, 0}, {0xFFFFFFFFu, (1u << 30) - 1, 3}, {5, 77, 1}};
    for (const auto& c : cases) {
        Cell stored{U'x', 9, 9, 1};
        CellPattern(c.attr, c.link, c.width).store(&stored, U'中');
        const Cell expected{U'中', c.attr, c.link, c.width};
        EXPECT_EQ(stored.ch, expected.ch);
        EXPECT_EQ(stored.attrId, expected.attrId);
        EXPECT_EQ(stored.linkId, expected.linkId);
        EXPECT_EQ(stored.width, expected.width);
        EXPECT_EQ(std::memcmp(&stored, &expected, sizeof(Cell)), 0);
    }
}

TEST(Cell, HyperlinksAreInternedAndEndWithAnEmptyUri) {
    Terminal t(10, 2);
    feed(t, "\x1b]8;;http://a\x07"
            "ab\x1b]8;id=1;http://b\x1b\\c\x1b]8;;\x07"
            "d");
    auto row = t.gridRow(0);
    EXPECT_EQ(t.hyperlinkOf(row[0]), "http://a");
    EXPECT_EQ(row[0].linkId, row[1].linkId);
    EXPECT_EQ(t.hyperlinkOf(row[2]), "http://b");
    EXPECT_TRUE(t.hyperlinkOf(row[3]).empty());
}

TEST(CharWidth, WidthTable) {
    struct Case {
        char32_t c;
        int width;
    };
    const Case cases[] = {{U'A', 1},    {0x0301, 0},  {0x4E2D, 2}, {0x1F600, 2}, {0x200D, 1},  {0xFE0F, 0},
                          {0xFF61, 1},  {0x0007, 0},  {0x007F, 0}, {0x009F, 0},  {0x00A0, 1},  {0x1100, 2},
                          {0x115F, 2},  {0x1160, 1},  {0x2600, 1}, {0x27BF, 1},  {0x1FBFF, 2}, {0xE0100, 0},
                          {0x3134F, 2}, {0x31350, 1}, {0xFE10, 2}, {0xFE20, 0},  {0x00AD, 1}};
    for (const Case& c : cases) EXPECT_EQ(unicodeWidth(c.c), c.width) << std::hex << std::uint32_t(c.c);
}

TEST(CharWidth, StrongRightToLeft) {
    EXPECT_TRUE(isStrongRTL(0x05D0));
    EXPECT_TRUE(isStrongRTL(0x0627));
    EXPECT_TRUE(isStrongRTL(0x10FFF));
    EXPECT_FALSE(isStrongRTL(0x0041));
    EXPECT_FALSE(isStrongRTL(0xFE00));
    EXPECT_FALSE(isStrongRTL(0x058F));
}

TEST(Diagnostics, UnhandledTallyKeepsTheFiftyLatestFirstSeen) {
    ParserDiagnostics d;
    d.recordUnhandled("CSI q");
    d.recordUnhandled("CSI q");
    d.recordUnhandled("CSI q");
    ASSERT_EQ(d.unhandled.size(), 1u);
    EXPECT_EQ(d.unhandled[0].count, 3);

    ParserDiagnostics e;
    for (int i = 1; i <= 51; ++i) e.recordUnhandled("k" + std::to_string(i));
    ASSERT_EQ(e.unhandled.size(), 50u);
    EXPECT_EQ(e.unhandled.front().seq, "k2");
    EXPECT_EQ(e.unhandled.back().seq, "k51");
    e.recordUnhandled("k1");
    EXPECT_EQ(e.unhandled.front().seq, "k3");
    EXPECT_EQ(e.unhandled.back().seq, "k1");
    EXPECT_EQ(e.unhandled.back().count, 1);
    e.recordUnhandled("k30");
    EXPECT_EQ(e.unhandled[27].seq, "k30");
    EXPECT_EQ(e.unhandled[27].count, 2);
}

TEST(Diagnostics, ParserCounters) {
    struct Case {
        const char* bytes;
        std::int64_t esc, csi, dcs, osc;
    };
    const Case cases[] = {
        {"\x1b[5A", 1, 1, 0, 0},
        {"\xc2\x9b"
         "5A",
         0, 1, 0, 0},
        {"\x1b[?25h", 1, 0, 0, 0},
        {"\x1bP0;1q\x1b\\", 1, 0, 4, 0},
        {"\x1b]0;t\x07", 1, 0, 0, 1},
        {"\x1b[ q", 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Terminal t(10, 3);
        feed(t, c.bytes);
        EXPECT_EQ(t.diag.escCount, c.esc) << c.bytes + 1;
        EXPECT_EQ(t.diag.csiCount, c.csi) << c.bytes + 1;
        EXPECT_EQ(t.diag.dcsCount, c.dcs) << c.bytes + 1;
        EXPECT_EQ(t.diag.oscCount, c.osc) << c.bytes + 1;
    }
    Terminal t(10, 3);
    feed(t, "ab\xc3\xa9\x1b[q\x1b[q");
    EXPECT_EQ(t.diag.totalScalars, 3 + 6);
    ASSERT_EQ(t.diag.unhandled.size(), 1u);
    EXPECT_EQ(t.diag.unhandled[0].seq, "CSI q");
    EXPECT_EQ(t.diag.unhandled[0].count, 2);
    // A full reset leaves the counters alone.
    feed(t, "\x1b"
            "c");
    EXPECT_EQ(t.diag.unhandled[0].count, 2);
}

// Links are interned too: a stream that opens a new link for every character must not grow the
// table without bound, and an absurdly long URI is not made into a link at all.
TEST(Cell, HyperlinkTableStaysBounded) {
    Terminal t(10, 2);
    for (int i = 0; i < 40000; ++i) feed(t, "\x1b]8;;http://h/" + std::to_string(i) + "\x07x");
    const Cell& last = t.gridRow(t.cursorY())[std::size_t(t.cursorX())];
    EXPECT_EQ(t.hyperlinkOf(last), "http://h/39999");
    for (std::size_t l = 0; l < t.scrollback().size(); l += 501) {
        for (const Cell& c : t.scrollback().line(l)) EXPECT_EQ(t.hyperlinkOf(c).substr(0, 9), "http://h/");
    }
    feed(t, "\r\n\x1b]8;;http://" + std::string(HyperlinkTable::kMaxUriBytes, 'a') + "\x07y");
    EXPECT_TRUE(t.currentHyperlink().has_value());
    ASSERT_EQ(t.gridRow(t.cursorY())[0].ch, U'y');
    EXPECT_TRUE(t.hyperlinkOf(t.gridRow(t.cursorY())[0]).empty());
}
