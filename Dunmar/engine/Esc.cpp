// ESC sequences: character sets, cursor save and restore, index, line attributes, and the starts
// of CSI, OSC, DCS and the swallowed strings.
#include "engine/Terminal.h"

#include <algorithm>
#include <array>

char32_t Terminal::decGraphics(char32_t c) {
    static constexpr std::array<char32_t, 31> map = {
        0x25C6, 0x2592, 0x2409, 0x240C, 0x240D, 0x240A, 0x00B0, 0x00B1, 0x2424, 0x240B, 0x2518,
        0x2510, 0x250C, 0x2514, 0x253C, 0x23BA, 0x23BB, 0x2500, 0x23BC, 0x23BD, 0x251C, 0x2524,
        0x2534, 0x252C, 0x2502, 0x2264, 0x2265, 0x03C0, 0x2260, 0x00A3, 0x00B7,
    };
    return c >= 0x60 && c <= 0x7E ? map[c - 0x60] : c;
}

void Terminal::escDispatch(char32_t c) {
    switch (c) {
    case '(':
    case '*':
    case '+':
        parser_.state = PState::charsetG0;
        return; // G2 and G3 designations land on G0
    case ')':
        parser_.state = PState::charsetG1;
        return;
    case '6':
        backIndex();
        return;
    case '7':
        saveCursorFull();
        return;
    case '8':
        restoreCursorFull();
        return;
    case '9':
        forwardIndex();
        return;
    case '=':
        modes_.set(Mode::appKeypad, true);
        return;
    case '>':
        modes_.set(Mode::appKeypad, false);
        return;
    case 'D':
        lf();
        return;
    case 'E':
        cursor_.x = 0;
        cursor_.pendingWrap = false;
        lf();
        return;
    case 'H':
        if (cursor_.x >= 0 && cursor_.x < cols_) tabStops_[std::size_t(cursor_.x)] = 1;
        return;
    case 'M':
        rlf();
        return;
    case 'P':
        startDcs();
        return;
    case 'V':
    case 'W': {
        TextAttrs a = attrs_;
        a.isProtected = c == 'V';
        setAttrs(a);
        return;
    }
    case 'X':
    case '^':
    case '_':
        parser_.state = PState::dcsPass;
        return;
    case '[':
        startCsi();
        return;
    case ']':
        startOsc();
        return;
    case 'c':
        fullReset();
        return;
    default:
        break;
    }
    if (c >= 0x20 && c <= 0x2F) {
        parser_.escIntermediate = std::uint8_t(c);
        parser_.state = PState::escInter;
    }
}

void Terminal::escHashDispatch(char32_t c) {
    if (cursor_.y < 0 || cursor_.y >= rows_) return;
    switch (c) {
    case '3':
        grid_.attr(cursor_.y) = 2;
        break;
    case '4':
        grid_.attr(cursor_.y) = 3;
        break;
    case '5':
        grid_.attr(cursor_.y) = 0;
        break;
    case '6':
        grid_.attr(cursor_.y) = 1;
        break;
    case '8':
        screenAlignment();
        break;
    default:
        break;
    }
}

void Terminal::screenAlignment() {
    for (std::int64_t y = 0; y < rows_; ++y) {
        std::fill(rowAt(y).begin(), rowAt(y).end(), CellPattern().cell(U'E'));
        grid_.attr(y) = 0;
    }
    cursor_ = CursorState{};
    scrollTop_ = 0;
    scrollBottom_ = rows_ - 1;
}

void Terminal::backIndex() {
    if (cursor_.x > 0) {
        cursor_.x -= 1;
        cursor_.pendingWrap = false;
    } else if (cursor_.y >= scrollTop_ && cursor_.y <= scrollBottom_ && cursor_.y < rows_) {
        Row& row = rowAt(cursor_.y);
        std::move_backward(row.begin(), row.end() - 1, row.end());
        row.front() = Cell{};
    }
}

void Terminal::forwardIndex() {
    if (cursor_.x < effectiveCols(cursor_.y) - 1) {
        cursor_.x += 1;
        cursor_.pendingWrap = false;
    } else if (cursor_.y >= scrollTop_ && cursor_.y <= scrollBottom_ && cursor_.y < rows_) {
        Row& row = rowAt(cursor_.y);
        std::move(row.begin() + 1, row.end(), row.begin());
        row.back() = Cell{};
    }
}

void Terminal::saveCursorFull() {
    savedCursor_ = cursor_;
    savedAttrs_ = attrs_;
    savedG0IsGraphics_ = charsetG0IsGraphics_;
    savedG1IsGraphics_ = charsetG1IsGraphics_;
    savedUseG1_ = useG1_;
    modes_.saveWithCursor();
}

void Terminal::restoreCursorFull() {
    restoreCursor(savedCursor_);
    setAttrs(savedAttrs_);
    charsetG0IsGraphics_ = savedG0IsGraphics_;
    charsetG1IsGraphics_ = savedG1IsGraphics_;
    useG1_ = savedUseG1_;
    modes_.restoreWithCursor();
}
