#pragma once

#include "engine/Terminal.h"

#include <span>
#include <string>
#include <string_view>

namespace enginetest {

inline std::string utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
        s += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    } else {
        s += char(0xF0 | (c >> 18));
        s += char(0x80 | ((c >> 12) & 0x3F));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    }
    return s;
}

// The text of a row: continuation cells skipped, marks kept with their base, trailing spaces
// trimmed.
inline std::string lineText(const Terminal& t, std::span<const Cell> row) {
    std::string s;
    for (const Cell& c : row) {
        if (c.width == 0) continue;
        char32_t one = 0;
        for (char32_t scalar : t.textOf(c, one)) s += utf8(scalar);
    }
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

inline std::string rowText(const Terminal& t, std::int64_t y) {
    return lineText(t, t.gridRow(y));
}

// Every grid row on its own line (trailing spaces trimmed, "⏎" after a soft-wrapped row), then
// the cursor as "@x,y", with "+" when a wrap is pending.
inline std::string dumpScreen(const Terminal& t) {
    std::string s;
    for (std::int64_t y = 0; y < t.rows(); ++y) {
        s += rowText(t, y);
        if (t.lineAttr(y) & LineAttr::softWrapped) s += "⏎";
        s += '\n';
    }
    s += "@" + std::to_string(t.cursorX()) + "," + std::to_string(t.cursorY());
    if (t.pendingWrap()) s += "+";
    return s;
}

inline void feed(Terminal& t, std::string_view bytes) {
    t.process(bytes);
}

// Everything the terminal answers while it takes the bytes, in order, as one string.
inline std::string repliesTo(Terminal& t, std::string_view bytes) {
    std::string replies;
    t.onResponse = [&replies](const std::string& r) { replies += r; };
    t.process(bytes);
    t.onResponse = nullptr;
    return replies;
}

// Control characters shown as text, so that a failed comparison of replies reads.
inline std::string visible(std::string_view bytes) {
    std::string s;
    for (char c : bytes) {
        if (c == '\x1b') {
            s += "ESC";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            s += "^" + std::string(1, char(c + 0x40));
        } else {
            s += c;
        }
    }
    return s;
}

inline std::string scrollbackText(const Terminal& t, std::size_t i) {
    return lineText(t, t.scrollback().line(i));
}

} // namespace enginetest
