// The intake takes whole runs of text and whole control sequences straight from the buffer when it
// can, and byte by byte when a piece ends in the middle of them. Both roads must lead to the same
// terminal: seeded random streams of text and sequences go once through process() in large pieces
// and once one byte per call, and everything the terminal keeps must come out the same.
#include "TestSupport.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>

using namespace enginetest;

namespace {

// Everything a stream can change, as text, so that a failure shows what differs.
std::string snapshot(const Terminal& t) {
    std::string s;
    auto cells = [&](std::span<const Cell> row) {
        for (const Cell& c : row) {
            const TextAttrs& a = t.attrsOf(c);
            s += utf8(c.ch) + "/" + std::to_string(c.width) + "/" + std::to_string(a.fg) + "," +
                 std::to_string(a.bg) + "," + std::to_string(a.bold) + std::to_string(a.inverse) +
                 std::to_string(a.underline) + std::to_string(a.isProtected) + "," +
                 (a.fgRGB ? std::to_string(a.fgRGB->r) + ":" + std::to_string(a.fgRGB->g) : "-") + "," +
                 (a.bgRGB ? std::to_string(a.bgRGB->b) : "-") + "," + std::string(t.hyperlinkOf(c)) + " ";
        }
        s += "\n";
    };
    for (std::size_t i = 0; i < t.scrollback().size(); ++i) cells(t.scrollback().line(i));
    s += "--\n";
    for (std::int64_t y = 0; y < t.rows(); ++y) {
        s += std::to_string(t.lineAttr(y)) + ": ";
        cells(t.gridRow(y));
    }
    s += "cursor " + std::to_string(t.cursorX()) + "," + std::to_string(t.cursorY()) +
         (t.pendingWrap() ? "+" : "") + " region " + std::to_string(t.scrollTop()) + "-" +
         std::to_string(t.scrollBottom()) + " modes " + std::to_string(t.mode(Mode::insert)) +
         std::to_string(t.mode(Mode::autoWrap)) + std::to_string(t.mode(Mode::origin)) + std::to_string(t.isAltScreen()) +
         std::to_string(t.charsetG0IsGraphics()) + std::to_string(t.usesG1()) + " last " + utf8(t.lastChar()) +
         " pen " + std::to_string(t.attrs().fg) + "," + std::to_string(t.attrs().bg) + "," +
         std::to_string(t.attrs().bold) + " state " + std::to_string(int(t.pstate())) + "\n";
    s += "counts " + std::to_string(t.diagnostics().totalScalars) + " " + std::to_string(t.diagnostics().csiCount) + " " +
         std::to_string(t.diagnostics().escCount) + " " + std::to_string(t.diagnostics().oscCount) + " " +
         std::to_string(t.diagnostics().dcsCount) + "\n";
    s += "params " + std::to_string(t.csiParams().size()) + ":";
    for (std::size_t i = 0; i < t.csiParams().size(); ++i) s += " " + std::to_string(t.csiParams()[i]);
    s += "\n";
    for (const auto& u : t.diagnostics().unhandled) s += u.seq + "=" + std::to_string(u.count) + " ";
    return s + "\ntitle " + t.currentTitle();
}

class StreamMaker {
public:
    explicit StreamMaker(unsigned seed) : rng_(seed) {}

    std::string make(std::size_t tokens) {
        std::string out;
        for (std::size_t i = 0; i < tokens; ++i) out += token();
        return out;
    }

private:
    int pick(int n) { return int(rng_() % unsigned(n)); }
    std::string number() {
        switch (pick(6)) {
        case 0:
            return "";
        case 1:
            return std::string(20 + pick(5), '9'); // beyond 64 bits
        default:
            return std::to_string(pick(60));
        }
    }
    std::string params(int max) {
        std::string s;
        for (int i = pick(max + 1); i > 0; --i) s += number() + (pick(8) == 0 ? ":" : ";");
        return s + number();
    }
    std::string text() {
        static const char32_t kScalars[] = {U'é',      U'ñ',      U'中',     U'文',        U'😀',
                                            U'\u0301', U'\u0308', U'\u200D', U'\uFE0F',    U'\u00A0',
                                            U'\uFFFD', U'\u05D0', U'ｱ',      U'\U0001F680'};
        std::string s;
        for (int i = 1 + pick(12); i > 0; --i) {
            if (pick(3) == 0) {
                s += utf8(kScalars[pick(int(std::size(kScalars)))]);
            } else {
                s += char(0x20 + pick(0x5F));
            }
        }
        return s;
    }
    std::string token() {
        static const char* const kFinals = "@ABCDEFGHIJKLMPSTXZbdfghlmnrsu`";
        static const char* const kPrivate[] = {"?4", "?6", "?7", "?25", "?47", "?69", "?1049", "?2004", "4"};
        switch (pick(20)) {
        case 0:
        case 1:
        case 2:
        case 3:
            return text();
        case 4:
            return std::string(40 + pick(300), char('a' + pick(26)));
        case 5:
            return "\r\n";
        case 6:
            return std::string(1, "\b\t\n\r\x0e\x0f\x07\x0b"[pick(8)]);
        case 7:
        case 8:
            return "\x1b[" + params(4) + kFinals[pick(int(std::strlen(kFinals)))];
        case 9:
            return "\x1b[" + params(6) + "m";
        case 10:
            return std::string("\x1b[") + (pick(2) ? "38;2;" : "48;5;") + std::to_string(pick(256)) + ";" +
                   std::to_string(pick(256)) + ";" + std::to_string(pick(256)) + "m";
        case 11: {
            const char* mode = kPrivate[pick(int(std::size(kPrivate)))];
            return std::string("\x1b[") + mode + (pick(2) ? "h" : "l");
        }
        case 12: // odd shapes: prefixes in the wrong place, intermediates, controls and DEL inside
            switch (pick(7)) {
            case 0:
                return "\x1b[1?5h";
            case 1:
                return "\x1b[2 q";
            case 2:
                return "\x1b[" + params(2) + "\n" + "A";
            case 3:
                return "\x1b[3\x7f"
                       "B";
            case 4:
                return "\x1b[>c";
            case 5:
                return "\x1b[" + std::string(40, '1') + ";" + params(40) + "H";
            default:
                return "\x1b[" + params(3) + "\xc3\xa9" + "m";
            }
        case 13:
            return std::string("\x1b") + "78DEMc=>"[pick(8)];
        case 14:
            return std::string("\x1b") + (pick(2) ? "(0" : "(B");
        case 15:
            return "\x1b#" + std::string(1, "3456 8"[pick(6)]);
        case 16:
            return "\x1b]" + std::string(pick(2) ? "0;" : "8;;http://x/") + text() +
                   (pick(2) ? "\x07" : "\x1b\\");
        case 17: // broken UTF-8
            return std::string(1, char(0x80 + pick(0x80))) + (pick(2) ? "x" : "");
        case 18:
            return "\xc2\x9b" + params(2) + "C"; // C1 CSI
        default:
            return "\x1b[" + std::to_string(1 + pick(30)) + ";" + std::to_string(1 + pick(90)) + "H" + text();
        }
    }

    std::mt19937 rng_;
};

void feedPieces(Terminal& t, std::string_view bytes, std::size_t piece) {
    for (std::size_t off = 0; off < bytes.size(); off += piece) t.process(bytes.substr(off, piece));
}

} // namespace

TEST(IntakePaths, WholePiecesAndSingleBytesLeaveTheSameTerminal) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        StreamMaker maker(seed);
        const std::string stream = maker.make(1500);
        const std::int64_t cols = 20 + std::int64_t(seed % 5) * 13;
        const std::int64_t rows = 5 + std::int64_t(seed % 4) * 3;
        Terminal whole(cols, rows);
        Terminal bytewise(cols, rows);
        Terminal ragged(cols, rows);
        std::string repliesWhole;
        std::string repliesBytewise;
        whole.onResponse = [&](const std::string& r) { repliesWhole += r; };
        bytewise.onResponse = [&](const std::string& r) { repliesBytewise += r; };
        feedPieces(whole, stream, 32768);
        feedPieces(bytewise, stream, 1);
        feedPieces(ragged, stream, 1 + seed % 7);
        const std::string expected = snapshot(bytewise);
        ASSERT_EQ(snapshot(whole), expected) << "seed " << seed;
        ASSERT_EQ(snapshot(ragged), expected) << "seed " << seed;
        EXPECT_EQ(repliesWhole, repliesBytewise) << "seed " << seed;
    }
}

// The sequences that the intake reads straight from the buffer when the whole of one is there (and
// the shapes next to them, which it must leave to the general path), each split at every byte
// between two pieces: every split must leave what one whole piece leaves, and what one byte per
// piece leaves. The text after each sequence keeps the buffer long enough for the fast paths.
TEST(IntakePaths, ControlSequencesSplitAtEveryByteActAsWhole) {
    static const char* const kCases[] = {
        // Colour SGR in the shapes read without the general parser, and shapes that are not quite them.
        "\x1b[38;5;196m",
        "\x1b[48;5;7m",
        "\x1b[38;5;0m",
        "\x1b[38;2;1;22;255m",
        "\x1b[48;2;300;0;999m",
        "\x1b[38;5;1000m",
        "\x1b[38;5;m",
        "\x1b[38;5m",
        "\x1b[38;2;1;2m",
        "\x1b[48;2;1;2;3;4m",
        "\x1b[38;2;1;2;3;4;5;6m",
        "\x1b[38:5:9m",
        "\x1b[28;5;1m",
        "\x1b[38;6;1m",
        "\x1b[38;5;1H",
        "\x1b[48;5;12 m",
        "\x1b[38;5;1;1m",
        "\x1b[1;38;5;9m",
        "\x1b[38;2;0010;1;1m",
        "\x1b[?38;5;1m",
        // Short plain sequences and the limits of the short reading.
        "\x1b[12;34H",
        "\x1b[H",
        "\x1b[;5H",
        "\x1b[5;H",
        "\x1b[1;2;3;4;5m",
        "\x1b[1;2;3;4;5;6m",
        "\x1b[1234;5H",
        "\x1b[0012;0005H",
        "\x1b[999999999999999999;1H",
        "\x1b[9999999999999999999;1H",
        "\x1b[99999999999999999999999;1H",
        "\x1b[0K",
        "\x1b[2J",
        "\x1b[5X",
        "\x1b[1;31m",
        "\x1b[0m",
        "\x1b[m",
        "\x1b[;m",
        "\x1b[7;;1m",
        "\x1b[4:3m",
        "\x1b[3\x7fm",
        "\x1b[2\nA",
        "\x1b[3\xc3\xa9m",
        // Prefixes and intermediates, some with replies.
        "\x1b[?25l",
        "\x1b[?1049h",
        "\x1b[>c",
        "\x1b[6n",
        "\x1b[2 q",
        "\x1b[1?5h",
        "\x1b[?1;2$p",
        // A lone character between motions, at the edges of the row.
        "\x1b[5;5Hx\x1b[6;6Hy",
        "\x1b[3;39Hq\x1b[4;1H",
        "\x1b[3;40Hq\x1b[4;1H",
        "\x1b[3;40Hqr\x1b[H",
        "\x1b[4hab\x1b[1;1Hc\x1b[4l",
        "\x1b(0q\x1b[2;2Hq\x1b(B",
        "\x1b#6\x1b[1;30Hz\x1b[1;1Hw",
    };
    const std::string before = "\x1b[2;3Hab\x1b[48;5;4m";
    const std::string after = "Z0123456789abcdefghijklmnopqrstuvwxyz\r\n";
    for (const char* c : kCases) {
        const std::string stream = before + c + after + c + after;
        Terminal whole(40, 6);
        std::string wholeReplies;
        whole.onResponse = [&](const std::string& r) { wholeReplies += r; };
        whole.process(stream);
        const std::string expected = snapshot(whole);

        Terminal bytewise(40, 6);
        std::string bytewiseReplies;
        bytewise.onResponse = [&](const std::string& r) { bytewiseReplies += r; };
        feedPieces(bytewise, stream, 1);
        ASSERT_EQ(snapshot(bytewise), expected) << c;
        ASSERT_EQ(bytewiseReplies, wholeReplies) << c;

        for (std::size_t split = 1; split < stream.size(); ++split) {
            Terminal pieces(40, 6);
            std::string replies;
            pieces.onResponse = [&](const std::string& r) { replies += r; };
            pieces.process(std::string_view(stream).substr(0, split));
            pieces.process(std::string_view(stream).substr(split));
            ASSERT_EQ(snapshot(pieces), expected) << c << " split at " << split;
            ASSERT_EQ(replies, wholeReplies) << c << " split at " << split;
        }
    }
}
