#include "TestSupport.h"
#include "engine/CharWidth.h"
#include "engine/Diagnostics.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
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

// Every rendition a cell is written with comes back unchanged, in all sixteen fields: the
// colours the cell holds itself, those it cannot (indexes beyond the palette, a true colour over
// an index other than the default), and the style and link it names by id.
TEST(Cell, RenditionsRoundTripExactly) {
    auto with = [](auto edit) {
        TextAttrs a;
        edit(a);
        return a;
    };
    const TextAttrs cases[] = {
        TextAttrs(),
        with([](TextAttrs& a) { a.fg = 1; }),
        with([](TextAttrs& a) { a.fg = 255, a.bg = 255; }),
        with([](TextAttrs& a) { a.fg = 256; }),
        with([](TextAttrs& a) { a.bg = -1; }),
        with([](TextAttrs& a) { a.fg = std::numeric_limits<std::int64_t>::max(); }),
        with([](TextAttrs& a) { a.bg = std::numeric_limits<std::int64_t>::min(); }),
        with([](TextAttrs& a) {
            a.fgRGB = RGB{0, 0, 0};
        }),
        with([](TextAttrs& a) {
            a.bgRGB = RGB{255, 255, 255};
        }),
        with([](TextAttrs& a) {
            a.fg = 200, a.fgRGB = RGB{1, 2, 3};
        }),
        with([](TextAttrs& a) {
            a.bg = 7, a.bgRGB = RGB{1, 2, 3};
        }),
        with([](TextAttrs& a) {
            a.fg = 0, a.fgRGB = RGB{4, 5, 6}, a.bg = 7, a.bgRGB = RGB{4, 5, 6};
        }),
        with([](TextAttrs& a) { a.bold = a.italic = a.inverse = a.overline = true; }),
        with([](TextAttrs& a) { a.dim = a.hidden = a.strikethrough = a.isProtected = true; }),
        with([](TextAttrs& a) { a.underline = 255, a.blink = 255; }),
        with([](TextAttrs& a) { a.underline = 3, a.blink = 2, a.ulColor = 0; }),
        with([](TextAttrs& a) { a.ulColor = 32767; }),
        with([](TextAttrs& a) {
            a.ulColor = -32768, a.ulRGB = RGB{9, 8, 7};
        }),
        with([](TextAttrs& a) {
            a.ulRGB = RGB{0, 0, 0}, a.fgRGB = RGB{1, 1, 1}, a.bg = 300;
        }),
    };
    Terminal t(std::size(cases) * 2 + 2, 2);
    feed(t, "\x1b]8;;http://x/\x07");
    for (const TextAttrs& a : cases) {
        t.setAttrs(a);
        feed(t, "\xe4\xb8\xad"); // a wide character: both halves carry the rendition
    }
    auto row = t.gridRow(0);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(t.attrsOf(row[2 * i]), cases[i]) << "case " << i;
        EXPECT_EQ(t.attrsOf(row[2 * i + 1]), cases[i]) << "case " << i;
        EXPECT_EQ(t.hyperlinkOf(row[2 * i]), "http://x/") << "case " << i;
        EXPECT_EQ(renditionKey(row[2 * i]), renditionKey(row[2 * i + 1]));
        for (std::size_t k = 0; k < i; ++k) EXPECT_NE(renditionKey(row[2 * i]), renditionKey(row[2 * k]));
    }
}

TEST(Cell, EqualRenditionsPackEquallyAndPlainColoursNeedNoStyle) {
    Terminal t(10, 2);
    feed(t, "\x1b[31ma\x1b[0mb\x1b[31mc\x1b[38;2;1;2;3md\x1b[1me");
    auto row = t.gridRow(0);
    EXPECT_EQ(renditionKey(row[0]), renditionKey(row[2]));
    EXPECT_EQ(renditionKey(row[1]), renditionKey(Cell{}));
    EXPECT_NE(renditionKey(row[0]), renditionKey(row[3]));
    EXPECT_EQ(row[3].styleId(), 0u) << "a true colour is held in the cell";
    EXPECT_NE(row[4].styleId(), 0u);
    EXPECT_EQ(t.attrsOf(row[0]).fg, 1);
    EXPECT_EQ(t.attrsOf(row[3]).fgRGB, (RGB{1, 2, 3}));
}

// A stream that mints a new value for every character must not grow the tables without bound,
// and dropped ids are handed out again: a cell that is still shown must never end up with a value
// written later. Every character gets the next value of a counter, so along the whole buffer
// (scrollback, then grid) the values must count up by one from cell to cell, across several
// compactions: for true colours held in the cell, for those kept in the table of rare colours,
// for underline colours kept in the style table, and for links, renumbered inside that table.
TEST(Cell, PerCharacterValuesSurviveCompactionExactly) {
    auto rgbOf = [](int i) {
        return RGB{std::uint8_t(i & 255), std::uint8_t((i >> 8) & 255), std::uint8_t(i >> 16)};
    };
    auto rgbParams = [&](int i) {
        const RGB c = rgbOf(i);
        return std::to_string(c.r) + ";" + std::to_string(c.g) + ";" + std::to_string(c.b);
    };
    auto counterOf = [](const std::optional<RGB>& c) {
        return c ? int(c->r) | int(c->g) << 8 | int(c->b) << 16 : -1;
    };
    struct Kind {
        const char* name;
        std::function<std::string(int)> sequence;
        std::function<int(const Terminal&, const Cell&)> counter;
    };
    const Kind kinds[] = {
        {"true colour", [&](int i) { return "\x1b[38;2;" + rgbParams(i) + "m"; },
         [&](const Terminal& t, const Cell& c) { return counterOf(t.attrsOf(c).fgRGB); }},
        {"true colour over index 200", [&](int i) { return "\x1b[38;5;200;38;2;" + rgbParams(i) + "m"; },
         [&](const Terminal& t, const Cell& c) {
             const TextAttrs a = t.attrsOf(c);
             return a.fg == 200 ? counterOf(a.fgRGB) : -1;
         }},
        {"underline colour", [&](int i) { return "\x1b[58;2;" + rgbParams(i) + "m"; },
         [&](const Terminal& t, const Cell& c) { return counterOf(t.attrsOf(c).ulRGB); }},
        {"link", [&](int i) { return "\x1b]8;;http://h/" + std::to_string(i) + "\x07"; },
         [&](const Terminal& t, const Cell& c) {
             const std::string_view uri = t.hyperlinkOf(c);
             return uri.substr(0, 9) == "http://h/" ? std::stoi(std::string(uri.substr(9))) : -1;
         }},
    };
    for (const Kind& kind : kinds) {
        Terminal t(10, 3);
        std::string s;
        constexpr int kChars = 250000;
        for (int i = 0; i < kChars; ++i) s += kind.sequence(i) + char('a' + i % 26);
        feed(t, s);
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
            if (kind.counter(t, *cells[k]) != want || cells[k]->ch != char32_t('a' + want % 26)) ++wrong;
        }
        EXPECT_EQ(wrong, 0) << kind.name;
        // What the tables of colours and styles hold stays in proportion to the cells that refer
        // to them (links have their own bounds, tested below).
        if (std::string_view(kind.name) != "link") {
            EXPECT_LT(t.memoryFootprint(), cells.size() * sizeof(Cell) * 8) << kind.name;
        }
    }
}

// The text paths write cells from a pattern of plain words; they must be the very cells that the
// fields make, whatever the compiler's layout of the bit-fields.
TEST(Cell, PatternStoresTheSameCellAsItsFields) {
    const struct {
        std::uint32_t width, fg, bg, style;
    } cases[] = {{1, 7, 0, 0},
                 {2, 0x1FFFFFF, 0x1FFFFFF, kMaxCellStyleIds - 1},
                 {0, CellColor::kRgbFlag | 0x123456, 300, 1},
                 {1, 255, CellColor::kRgbFlag, 0x1FF},
                 {2, 0, 0, 0x200},
                 {1, 5, 9, 0x10000}};
    for (const auto& c : cases) {
        Cell expected;
        expected.ch = U'中';
        expected.width = c.width;
        expected.fg = c.fg;
        expected.bg = c.bg;
        expected.setStyleId(c.style);
        EXPECT_EQ(expected.styleId(), c.style);
        Cell stored;
        stored.ch = U'x';
        CellPattern(expected).store(&stored, U'中');
        EXPECT_EQ(std::memcmp(&stored, &expected, sizeof(Cell)), 0);
        const Cell wide = CellPattern(expected).withWidth(2).cell(0x10FFFF);
        EXPECT_EQ(wide.ch, char32_t(0x10FFFF));
        EXPECT_EQ(wide.width, 2u);
        EXPECT_EQ(renditionKey(wide), renditionKey(expected));
    }
    std::uint32_t blank[3];
    const Cell c;
    std::memcpy(blank, &c, sizeof blank);
    EXPECT_TRUE(std::equal(std::begin(blank), std::end(blank), std::begin(kBlankCellWords)));
    EXPECT_TRUE(c.isBlank());
    EXPECT_FALSE(CellPattern().withWidth(2).cell(U' ').isBlank());
}

TEST(Cell, HyperlinksAreInternedAndEndWithAnEmptyUri) {
    Terminal t(10, 2);
    feed(t, "\x1b]8;;http://a\x07"
            "ab\x1b]8;id=1;http://b\x1b\\c\x1b]8;;\x07"
            "d");
    auto row = t.gridRow(0);
    EXPECT_EQ(t.hyperlinkOf(row[0]), "http://a");
    EXPECT_EQ(renditionKey(row[0]), renditionKey(row[1]));
    EXPECT_EQ(t.hyperlinkOf(row[2]), "http://b");
    EXPECT_TRUE(t.hyperlinkOf(row[3]).empty());
}

// The programs in the terminal place their text by the C library's wcwidth(): every scalar must
// take the cells they count, or the rest of the line lands in the wrong columns. Scalars that
// wcwidth() calls unprintable (unassigned ones) take one cell, as the line editors count them.
TEST(CharWidth, AgreesWithTheCLibraryForEveryScalar) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    int differences = 0;
    for (char32_t c = 0xA0; c < 0x110000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const int libc = ::wcwidth(wchar_t(c));
        const int expected = libc < 0 ? 1 : libc;
        if (unicodeWidth(c) != expected && ++differences <= 20) {
            ADD_FAILURE() << std::hex << "U+" << std::uint32_t(c) << ": " << unicodeWidth(c) << ", wcwidth "
                          << libc;
        }
    }
    EXPECT_EQ(differences, 0);
    std::setlocale(LC_CTYPE, "C");
    // Controls take no cell; they never reach the grid as characters.
    for (char32_t c : {U'\0', char32_t(0x07), char32_t(0x1F), char32_t(0x7F), char32_t(0x80), char32_t(0x9F)})
        EXPECT_EQ(unicodeWidth(c), 0) << std::uint32_t(c);
    // Cases a shell's line shows every day.
    struct Case {
        char32_t c;
        int width;
    };
    const Case cases[] = {{U'A', 1},   {0x200B, 0}, {0x200D, 0},  {0x2705, 2}, {0x274C, 2},
                          {0x2B50, 2}, {0x0E31, 0}, {0x05B0, 0},  {0x064B, 0}, {0x093F, 1},
                          {0x0941, 0}, {0x4E2D, 2}, {0x1F600, 2}, {0xFE0F, 0}, {0xE0100, 0}};
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
        EXPECT_EQ(t.diagnostics().escCount, c.esc) << c.bytes + 1;
        EXPECT_EQ(t.diagnostics().csiCount, c.csi) << c.bytes + 1;
        EXPECT_EQ(t.diagnostics().dcsCount, c.dcs) << c.bytes + 1;
        EXPECT_EQ(t.diagnostics().oscCount, c.osc) << c.bytes + 1;
    }
    Terminal t(10, 3);
    feed(t, "ab\xc3\xa9\x1b[q\x1b[q");
    EXPECT_EQ(t.diagnostics().totalScalars, 3 + 6);
    ASSERT_EQ(t.diagnostics().unhandled.size(), 1u);
    EXPECT_EQ(t.diagnostics().unhandled[0].seq, "CSI q");
    EXPECT_EQ(t.diagnostics().unhandled[0].count, 2);
    // A full reset leaves the counters alone.
    feed(t, "\x1b"
            "c");
    EXPECT_EQ(t.diagnostics().unhandled[0].count, 2);
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
