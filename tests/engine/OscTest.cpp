#include "TestSupport.h"
#include "engine/Codecs.h"
#include "engine/Title.h"
#include "theme/ThemeColors.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace enginetest;

namespace {

// The colour globals are process-wide: these tests start and end at the start values.
class Osc : public testing::Test {
protected:
    void SetUp() override { initColorGlobals(); }
    void TearDown() override { initColorGlobals(); }
};

std::string osc(const std::string& body) {
    return "\x1b]" + body + "\x07";
}

std::string colorReply(const std::string& head, const std::string& rgb) {
    return "\x1b]" + head + ";rgb:" + rgb + "\x1b\\";
}

std::vector<std::string> unhandledKeys(const Terminal& t) {
    std::vector<std::string> keys;
    for (const auto& u : t.diagnostics().unhandled) keys.push_back(u.seq);
    return keys;
}

} // namespace

TEST_F(Osc, Titles) {
    Terminal t(10, 2);
    std::vector<std::string> told;
    t.onTitleChange = [&](const std::string& s) { told.push_back(s); };
    feed(t, osc("0;first") + osc("2;second") + osc("1;icon") + osc("0;"));
    EXPECT_EQ(told, (std::vector<std::string>{"first", "second", ""}));
    EXPECT_EQ(t.currentTitle(), "");
    feed(t, osc("2;a;b ü"));
    EXPECT_EQ(t.currentTitle(), "a;b ü") << "the title runs to the end, semicolons included";
    EXPECT_TRUE(t.diagnostics().unhandled.empty());
}

TEST_F(Osc, TitlesLoseControlCharactersAndStopAtTheirLimit) {
    std::string cjk;
    for (int i = 0; i < 300; ++i) cjk += "\xe6\xbc\xa2";
    const struct {
        std::string raw;
        std::string title;
    } cases[] = {
        {"a\tb\rcd\x7f\x1b", "abcd"},             // C0 and DEL
        {"x\xc2\x85y\xc2\x9bz", "xyz"},           // C1 (NEL, CSI) as UTF-8
        {"\xc2\xa0\xc3\xbc", "\xc2\xa0\xc3\xbc"}, // no-break space and u-umlaut stay
        {std::string(300, 'w'), std::string(kMaxTitleChars, 'w')},
        {cjk, cjk.substr(0, kMaxTitleChars * 3)}, // cut after whole characters, never inside one
    };
    for (const auto& c : cases) EXPECT_EQ(sanitizeTitle(c.raw), c.title) << c.raw;

    // What a program sends is cleaned before the title is kept or told.
    Terminal t(10, 2);
    std::vector<std::string> told;
    t.onTitleChange = [&](const std::string& s) { told.push_back(s); };
    feed(t, osc("2;a\tbc\x7f" + std::string(100000, 'w')));
    EXPECT_EQ(t.currentTitle(), "abc" + std::string(kMaxTitleChars - 3, 'w'));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told.back(), t.currentTitle());
}

TEST_F(Osc, Hyperlinks) {
    Terminal t(10, 2);
    feed(t, osc("8;;http://a.example/") + "ab" + osc("8;id=7;http://b.example/") + "c" + osc("8;;") + "d" +
                osc("8;;http://c.example/") + "e" + osc("8") + "f");
    auto row = t.gridRow(0);
    EXPECT_EQ(t.hyperlinkOf(row[0]), "http://a.example/");
    EXPECT_EQ(t.hyperlinkOf(row[1]), "http://a.example/");
    EXPECT_EQ(t.hyperlinkOf(row[2]), "http://b.example/") << "parameters such as an id are not used";
    EXPECT_EQ(t.hyperlinkOf(row[3]), "") << "an empty URI ends the link";
    EXPECT_EQ(t.hyperlinkOf(row[4]), "http://c.example/");
    EXPECT_EQ(t.hyperlinkOf(row[5]), "") << "no parameters at all end it too";
    EXPECT_FALSE(t.currentHyperlink());
}

TEST_F(Osc, ColourQueriesUnderEachTheme) {
    struct Case {
        const TerminalTheme& theme;
        const char* fg;     // OSC 10
        const char* bg;     // OSC 11
        const char* cursor; // OSC 12
    };
    const Case cases[] = {
        {TerminalTheme::dark(), "d8/d8/d8", "1c/1c/21", "66/b2/ff"},
        {TerminalTheme::light(), "19/19/21", "f4/f4/f7", "66/b2/ff"},
        {TerminalTheme::oledBlack(), "e5/e5/e5", "00/00/00", "66/b2/ff"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.theme.id);
        applyTheme(c.theme);
        Terminal t(10, 2);
        EXPECT_EQ(visible(repliesTo(t, osc("10;?") + osc("11;?") + "\x1b]12;?\x1b\\")),
                  visible(colorReply("10", c.fg) + colorReply("11", c.bg) + colorReply("12", c.cursor)));
        // Palette queries answer with the base palette whatever the theme draws with.
        EXPECT_EQ(visible(repliesTo(t, osc("4;1;?") + osc("4;7;?") + osc("4;15;?") + osc("4;196;?") +
                                           osc("4;232;?") + osc("4;255;?"))),
                  visible(colorReply("4;1", "cc/38/38") + colorReply("4;7", "bf/bf/bf") +
                          colorReply("4;15", "ff/ff/ff") + colorReply("4;196", "ff/00/00") +
                          colorReply("4;232", "08/08/08") + colorReply("4;255", "ee/ee/ee")));
    }
}

TEST_F(Osc, PaletteEntries) {
    Terminal t(10, 2);
    int changes = 0;
    t.onColorChange = [&] { ++changes; };
    EXPECT_EQ(repliesTo(t, osc("4;1;rgb:ff/00/00;2;?")), "") << "only the first pair is read";
    EXPECT_EQ(t.paletteOverrides()[1], (RGB{255, 0, 0}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(visible(repliesTo(t, osc("4;1;?"))), visible(colorReply("4;1", "ff/00/00")));
    // Colour specifications of every width are scaled to 8 bits.
    feed(t, osc("4;2;rgb:f/8/0") + osc("4;3;rgb:fff/800/000") + osc("4;4;#102030") + osc("4;5;RGB:1/2/3") +
                osc("4;6;red") + osc("4;+7;;rgb:1/1/1"));
    EXPECT_EQ(t.paletteOverrides()[2], (RGB{255, 136, 0}));
    EXPECT_EQ(t.paletteOverrides()[3], (RGB{255, 128, 0}));
    EXPECT_EQ(t.paletteOverrides()[4], (RGB{16, 32, 48}));
    EXPECT_FALSE(t.paletteOverrides()[5]);
    EXPECT_FALSE(t.paletteOverrides()[6]);
    EXPECT_EQ(t.paletteOverrides()[7], (RGB{17, 17, 17})) << "empty pieces are dropped";
    EXPECT_EQ(changes, 5);
    // Indices out of range and malformed commands are ignored without a reply or a tally.
    EXPECT_EQ(repliesTo(t, osc("4;256;?") + osc("4;-1;?") + osc("4;x;?") + osc("4;1") + osc("4") +
                               osc("4;300;#ffffff")),
              "");
    EXPECT_TRUE(t.diagnostics().unhandled.empty());
    EXPECT_EQ(changes, 5);

    // The overrides take part in the colours the view draws.
    feed(t, "\x1b[31ma\x1b[1;31mb\x1b[0;38;5;4mc");
    auto row = t.gridRow(0);
    EXPECT_EQ(fgColor(t.attrsOf(row[0]), t), (ColorRGBA{1, 0, 0, 1}));
    EXPECT_EQ(fgColor(t.attrsOf(row[1]), t), kAnsiColorCache[9])
        << "bold 1 looks up 9, which has no override";
    EXPECT_EQ(fgColor(t.attrsOf(row[2]), t), (ColorRGBA{16 / 255.0, 32 / 255.0, 48 / 255.0, 1}));

    // OSC 104 removes the listed entries, skipping what is not an index; without a list, all.
    feed(t, osc("104;1;x;300;2"));
    EXPECT_FALSE(t.paletteOverrides()[1]);
    EXPECT_FALSE(t.paletteOverrides()[2]);
    EXPECT_TRUE(t.paletteOverrides()[3]);
    EXPECT_EQ(changes, 6);
    feed(t, osc("104"));
    for (const auto& entry : t.paletteOverrides()) EXPECT_FALSE(entry);
    EXPECT_EQ(changes, 7);

    // A full reset forgets them too.
    feed(t, osc("4;9;#010203") + "\x1b"
                                 "c");
    EXPECT_FALSE(t.paletteOverrides()[9]);
}

TEST_F(Osc, DynamicColours) {
    Terminal t(10, 2);
    int changes = 0;
    t.onColorChange = [&] { ++changes; };
    feed(t, osc("11;#102030") + osc("10;rgb:f/f/f") + osc("12;rgb:0000/8000/ffff"));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(
        visible(repliesTo(t, osc("10;?") + osc("11;?") + osc("12;?"))),
        visible(colorReply("10", "ff/ff/ff") + colorReply("11", "10/20/30") + colorReply("12", "00/80/ff")));
    // The dynamic colours are the default colours the view draws.
    feed(t, "x");
    EXPECT_EQ(fgColor(t.attrsOf(t.gridRow(0)[0]), t), (ColorRGBA{1, 1, 1, 1}));
    EXPECT_EQ(bgColor(t.attrsOf(t.gridRow(0)[0]), t), (ColorRGBA{16 / 255.0, 32 / 255.0, 48 / 255.0, 1}));
    EXPECT_EQ(bgColor(t.attrsOf(t.gridRow(0)[0])), kDefaultBG) << "without the terminal, the theme's";

    // Several specifications in one command, names and junk are not read.
    feed(t, osc("10;rgb:00/00/00;rgb:ff/ff/ff") + osc("11;black") + osc("11;") + osc("12;#12345"));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(t.dynamicFG(), (RGB{255, 255, 255}));

    feed(t, osc("110") + osc("111;anything") + osc("112"));
    EXPECT_EQ(changes, 6);
    EXPECT_FALSE(t.dynamicFG());
    EXPECT_FALSE(t.dynamicBG());
    EXPECT_FALSE(t.dynamicCursor());
    EXPECT_EQ(
        visible(repliesTo(t, osc("10;?") + osc("11;?") + osc("12;?"))),
        visible(colorReply("10", "d8/d8/d8") + colorReply("11", "1c/1c/21") + colorReply("12", "66/b2/ff")));
    EXPECT_TRUE(t.diagnostics().unhandled.empty());
}

TEST_F(Osc, WorkingDirectoryIsPercentDecoded) {
    struct Case {
        const char* payload;
        const char* want; // nullptr: the directory stays as it was ("/before")
    };
    const Case cases[] = {
        {"file:///Users/a%20b", "/Users/a b"},
        {"file://host.example/tmp/x", "/tmp/x"},
        {"file://host/caf%C3%A9/%e2%82%ac", "/café/€"},
        {"file:///a%2Fb", "/a/b"},
        {"file:///100%25", "/100%"},
        {"file:///a%zzb%2", "/a%zzb%2"}, // not an escape: kept as it is
        {"file:///a b", "/a b"},
        {"file://", nullptr},
        {"file://hostonly", nullptr},
        {"http://host/x", nullptr},
        {"/plain/path", nullptr},
        {"file:///bad%FF", nullptr}, // not UTF-8
        {"file:///nul%00x", nullptr},
    };
    for (const Case& c : cases) {
        Terminal t(10, 2);
        feed(t, osc("7;file:///before") + osc(std::string("7;") + c.payload));
        EXPECT_EQ(t.currentDirectory(), std::optional<std::string>(c.want ? c.want : "/before")) << c.payload;
    }
    EXPECT_EQ(percentDecode("%41%4a%4A%"), "AJJ%");
}

TEST_F(Osc, ClipboardWritesAreCheckedAndReadsRefusedByDefault) {
    Terminal t(10, 2);
    std::vector<std::string> written;
    t.onClipboardWrite = [&](const std::string& s) { written.push_back(s); };

    // Reading: without a reader the request is refused and nothing is sent.
    EXPECT_EQ(repliesTo(t, osc("52;c;?")), "");
    // With one (the user allowed it), the text goes back in base64 with the selection echoed.
    t.onClipboardRead = [] { return std::optional<std::string>("héllo"); };
    EXPECT_EQ(visible(repliesTo(t, osc("52;c;?") + osc("52;;?"))),
              visible("\x1b]52;c;aMOpbGxv\x1b\\\x1b]52;;aMOpbGxv\x1b\\"));
    t.onClipboardRead = [] { return std::optional<std::string>(); };
    EXPECT_EQ(repliesTo(t, osc("52;c;?")), "") << "an empty clipboard gets no reply";

    feed(t, osc("52;c;aGVsbG8=") + osc("52;p;d29ybGQ=") + osc("52;c;w6k="));
    EXPECT_EQ(written, (std::vector<std::string>{"hello", "world", "é"}));
    written.clear();
    // Not written: empty data, no separator, malformed base64, bytes that are not UTF-8.
    feed(t, osc("52;c;") + osc("52") + osc("52;c;aGVsbG8") + osc("52;c;aGV sbG8=") + osc("52;c;aGVs\nbG8=") +
                osc("52;c;aG=sbG8=") + osc("52;c;=") + osc("52;c;/w=="));
    EXPECT_TRUE(written.empty());

    // Writes are capped: the largest accepted, one byte more refused.
    const std::string largest(Terminal::kMaxClipboardBytes, 'x');
    feed(t, osc("52;c;" + base64Encode(largest)));
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].size(), Terminal::kMaxClipboardBytes);
    feed(t, osc("52;c;" + base64Encode(largest + "y")));
    EXPECT_EQ(written.size(), 1u);
    EXPECT_EQ(t.pstate(), Terminal::PState::ground);
    EXPECT_TRUE(t.diagnostics().unhandled.empty());
}

TEST_F(Osc, PromptMarks) {
    Terminal t(10, 5);
    feed(t, osc("133;A") + "$ \x1b[3;1H" + osc("133;D;0") + osc("133;") + osc("133;\xc3\xa9x"));
    ASSERT_EQ(t.promptMarks().size(), 3u);
    EXPECT_EQ(t.promptMarks()[0].mark, U'A');
    EXPECT_EQ(t.promptMarks()[0].row, 0);
    EXPECT_EQ(t.promptMarks()[1].mark, U'D');
    EXPECT_EQ(t.promptMarks()[1].row, 2);
    EXPECT_EQ(t.promptMarks()[2].mark, U'é');

    std::string many;
    for (int i = 0; i < 998; ++i) many += osc("133;B"); // 1001 in all
    feed(t, many);
    ASSERT_EQ(t.promptMarks().size(), Terminal::kMaxPromptMarks);
    EXPECT_EQ(t.promptMarks().front().mark, U'D') << "the oldest mark went";
    EXPECT_EQ(t.promptMarks().back().mark, U'B');
}

TEST_F(Osc, UnhandledCommandsAreTallied) {
    Terminal t(10, 2);
    feed(t, osc("9;note") + osc("1337;x") + osc("abc") + osc("") + osc(";x") + osc("9;again") +
                osc("99999999999999999999;x") + osc("+-4;1;?"));
    std::vector<std::pair<std::string, std::int64_t>> got;
    for (const auto& u : t.diagnostics().unhandled) got.emplace_back(u.seq, u.count);
    EXPECT_EQ(got, (std::vector<std::pair<std::string, std::int64_t>>{
                       {"OSC 9", 2}, {"OSC 1337", 1}, {"OSC -1", 5}}));
    EXPECT_EQ(t.diagnostics().oscCount, 8);

    // The supported commands are not.
    Terminal s(10, 2);
    feed(s, osc("0;a") + osc("1;b") + osc("2;c") + osc("4;1;#000000") + osc("7;file:///x") + osc("8;;u") +
                osc("10;?") + osc("11;?") + osc("12;?") + osc("52;c;?") + osc("104") + osc("110") +
                osc("111") + osc("112") + osc("133;A") + osc("+2;d"));
    EXPECT_TRUE(unhandledKeys(s).empty());
    EXPECT_EQ(s.currentTitle(), "d");
}
