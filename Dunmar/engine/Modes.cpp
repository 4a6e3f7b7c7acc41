// SM/RM and DECSET/DECRST, and the values of modes for mode reports (DECRQM). Plain switches go
// through the mode table; the modes that act (origin, the alternate screen, the margins, the saved
// cursor) and the mouse's many-valued modes are handled here.
#include "engine/Terminal.h"

#include <string>

void Terminal::doPrivate(const CsiParams& params, std::uint8_t final) {
    if (final != 'h' && final != 'l') return;
    for (std::size_t i = 0; i < params.size(); ++i) setPrivateMode(params[i], final == 'h');
}

void Terminal::setAnsiModes(const CsiParams& params, bool set) {
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (const auto mode = TerminalModes::fromNumber(params[i], true)) modes_.set(*mode, set);
    }
}

void Terminal::setPrivateMode(std::int64_t mode, bool set) {
    switch (mode) {
    case 6:
        modes_.set(Mode::origin, set);
        cursor_.x = 0;
        cursor_.y = set ? scrollTop_ : 0;
        cursor_.pendingWrap = false;
        return;
    case 12:
    case 1015:
    case 1016:
        return;
    case 47:
    case 1047:
        if (set) {
            if (!altActive_) enterAltScreen();
        } else if (altActive_) {
            leaveAltScreen();
            restoreCursor(altCursor_);
            cursor_.pendingWrap = false;
        }
        return;
    case 69:
        modes_.set(Mode::leftRightMargins, set);
        if (!set) {
            leftMargin_ = 0;
            rightMargin_ = cols_ - 1;
        }
        return;
    case 1000:
    case 1002:
    case 1003:
        modes_.setMouseTracking(set ? MouseTracking(mode) : MouseTracking::off);
        return;
    case 1005:
    case 1006:
        modes_.setMouseEncoding(set ? MouseEncoding(mode) : MouseEncoding::x10);
        return;
    case 1048:
        if (set) {
            savedCursor_ = cursor_;
        } else {
            restoreCursor(savedCursor_);
        }
        return;
    case 1049:
        if (set) {
            savedCursor_ = cursor_;
            savedAttrs_ = attrs_;
            if (!altActive_) enterAltScreen();
        } else {
            leaveAltScreen();
            restoreCursor(savedCursor_);
            setAttrs(savedAttrs_);
        }
        return;
    default:
        break;
    }
    if (const auto flag = TerminalModes::fromNumber(mode, false)) {
        modes_.set(*flag, set);
    } else {
        diag_.recordUnhandled("CSI ? " + std::to_string(mode) + (set ? " h" : " l"));
    }
}

int Terminal::queryPrivateMode(std::int64_t mode) const {
    auto flag = [](bool on) { return on ? 1 : 2; };
    switch (mode) {
    case 12:
        return 2;
    case 47:
    case 1047:
    case 1049:
        return flag(altActive_);
    case 1000:
    case 1002:
    case 1003:
        return flag(std::int64_t(modes_.mouseTracking()) == mode);
    case 1006:
        return flag(modes_.mouseEncoding() == MouseEncoding::sgr);
    default:
        break;
    }
    if (const auto flag_ = TerminalModes::fromNumber(mode, false)) return flag(modes_[*flag_]);
    return 0; // 1005, 1015, 1016, 1048 and unknown modes
}

int Terminal::queryAnsiMode(std::int64_t mode) const {
    if (const auto flag = TerminalModes::fromNumber(mode, true)) return modes_[*flag] ? 1 : 2;
    return mode == 20 ? 2 : 0; // new-line mode is known and always off
}
