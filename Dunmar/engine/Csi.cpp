// Control sequences: collecting parameters, routing by prefix and intermediate, and the plain
// CSI handler (cursor motion, erasing, inserting and deleting, scrolling, tabs, margins).
#include "engine/Terminal.h"

#include <algorithm>
#include <string>

void Terminal::csiCollect(char32_t c) {
    if (c >= '0' && c <= '9') {
        parser_.csiParams.digit(int(c - '0'));
    } else if (c == ';') {
        parser_.csiParams.endParam();
    } else if (c == ':') {
        parser_.csiParams.colon();
    } else if (c == '<' || c == '=' || c == '>' || c == '?') {
        if (!parser_.csiParams.collecting() && parser_.csiParams.empty() && parser_.csiPrefix == 0) {
            parser_.csiPrefix = std::uint8_t(c);
        } else {
            parser_.state = PState::ground;
        }
    } else if (c >= 0x20 && c <= 0x2F) {
        parser_.csiIntermediate = std::uint8_t(c);
    } else if (c >= 0x40 && c <= 0x7E) {
        parser_.csiParams.endParam();
        parser_.state = PState::ground;
        csiDispatch(std::uint8_t(c));
    } else {
        parser_.state = PState::ground; // DEL and scalars from 0xA0 abandon the sequence
    }
}

void Terminal::csiDispatch(std::uint8_t final) {
    const CsiParams& p = parser_.csiParams;
    switch (parser_.csiPrefix) {
    case 0:
        switch (parser_.csiIntermediate) {
        case ' ':
            doCSISpace(p, final);
            return;
        case '!':
            doCSIBang(p, final);
            return;
        case '"':
            doCSIQuote(p, final);
            return;
        case '$':
            doCSIDollar(p, final);
            return;
        default:
            doCSI(p, final);
            return;
        }
    case '<':
        doLessThanPrefix(p, final);
        return;
    case '=':
        return;
    case '>':
        doSecondaryPrefix(p, final);
        return;
    case '?':
        if (final == 'u') {
            reportKittyFlags();
        } else if (parser_.csiIntermediate == '$' && final == 'p') {
            reportPrivateMode(p);
        } else {
            doPrivate(p, final);
        }
        return;
    default:
        return;
    }
}

void Terminal::doCSI(const CsiParams& params, std::uint8_t final) {
    ++diag_.csiCount;
    const std::int64_t p0 = params[0];
    const std::int64_t p1 = params[1];
    // Parameters are saturated when read (CsiParams::kMaxValue), so these sums cannot overflow;
    // each operation then cuts the count to what it can affect.
    const std::int64_t n = std::max<std::int64_t>(p0, 1);
    auto clearWrap = [this] { cursor_.pendingWrap = false; };
    switch (final) {
    case '@':
        insertChars(n);
        break;
    case 'A':
        cursor_.y = std::max(cursor_.y - n, cursorUpLimit());
        clearWrap();
        break;
    case 'B':
        cursor_.y = std::min(cursor_.y + n, cursorDownLimit());
        clearWrap();
        break;
    case 'C':
    case 'a':
        cursor_.x = std::min(cursor_.x + n, cols_ - 1);
        clearWrap();
        break;
    case 'D':
        cursor_.x = std::max<std::int64_t>(cursor_.x - n, 0);
        clearWrap();
        break;
    case 'E':
        cursor_.x = 0;
        cursor_.y = std::min(cursor_.y + n, cursorDownLimit());
        clearWrap();
        break;
    case 'F':
        cursor_.x = 0;
        cursor_.y = std::max(cursor_.y - n, cursorUpLimit());
        clearWrap();
        break;
    case 'G':
    case '`':
        cursor_.x = std::max<std::int64_t>(std::min(n - 1, cols_ - 1), 0);
        clearWrap();
        break;
    case 'H':
    case 'f':
        cursorPosition(p0, p1);
        break;
    case 'I':
        for (std::int64_t i = 0, k = std::min(n, cols_); i < k; ++i) advanceToNextTab();
        break;
    case 'J':
        eraseDisplay(p0);
        break;
    case 'K':
        eraseLine(p0);
        break;
    case 'L':
        insertLines(n);
        break;
    case 'M':
        deleteLines(n);
        break;
    case 'P':
        deleteChars(n);
        break;
    case 'S':
        scrollUp(n);
        break;
    case 'T':
        scrollDown(n);
        break;
    case 'X':
        eraseChars(n);
        break;
    case 'Z':
        for (std::int64_t i = 0, k = std::min(n, cols_); i < k; ++i) backToPrevTab();
        break;
    case 'b':
        repeatLastChar(n);
        break;
    case 'c':
        reportDeviceAttributes(params);
        break;
    case 'd':
        if (modes_[Mode::origin]) {
            cursor_.y = std::max(std::min(scrollTop_ + n - 1, scrollBottom_), scrollTop_);
        } else {
            cursor_.y = std::max<std::int64_t>(std::min(n - 1, rows_ - 1), 0);
        }
        clearWrap();
        break;
    case 'e':
        cursor_.y = std::min(cursor_.y + n, rows_ - 1);
        clearWrap();
        break;
    case 'g':
        if (p0 == 0) {
            if (cursor_.x >= 0 && cursor_.x < cols_) tabStops_[std::size_t(cursor_.x)] = 0;
        } else if (p0 == 3) {
            std::fill(tabStops_.begin(), tabStops_.end(), 0);
        }
        break;
    case 'h':
    case 'l':
        setAnsiModes(params, final == 'h');
        break;
    case 'm':
        doSGR(params);
        break;
    case 'n':
        reportDeviceStatus(params);
        break;
    case 'r': {
        const std::int64_t top = p0 >= 1 ? p0 - 1 : 0;
        const std::int64_t bottom = params.size() >= 2 && p1 >= 1 ? p1 : rows_;
        scrollTop_ = std::max<std::int64_t>(std::min(top, rows_ - 1), 0);
        scrollBottom_ = std::max(std::min(bottom - 1, rows_ - 1), scrollTop_);
        cursor_.x = 0;
        cursor_.y = modes_[Mode::origin] ? scrollTop_ : 0;
        clearWrap();
        break;
    }
    case 's':
        if (params.size() < 2 || !modes_[Mode::leftRightMargins]) {
            savedCursor_ = cursor_; // SCOSC: the position only
            break;
        }
        {
            const std::int64_t left = std::max<std::int64_t>(p0, 1);
            const std::int64_t right = p1 >= 1 ? p1 : cols_;
            if (right - 1 < left) break;
            leftMargin_ = std::max<std::int64_t>(std::min(left - 1, cols_ - 2), 0);
            rightMargin_ = std::max(std::min(right - 1, cols_ - 1), leftMargin_ + 1);
            cursor_.x = modes_[Mode::origin] ? leftMargin_ : 0;
            cursor_.y = modes_[Mode::origin] ? scrollTop_ : 0;
        }
        break;
    case 't':
        doWindowOps(params);
        break;
    case 'u':
        restoreCursor(savedCursor_);
        break;
    default:
        diag_.recordUnhandled(std::string("CSI ") + char(final));
        break;
    }
}
