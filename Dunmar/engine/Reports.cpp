// Replies to the shell's queries (device attributes, version, status and cursor position, mode
// reports, window sizes, kitty keyboard flags) and the small prefixed and intermediate CSI handlers:
// cursor style, soft reset, character protection, the kitty flag stack and the title stack. Every
// reply is one string for onResponse; without it nothing is sent.
#include "engine/Terminal.h"

#include <algorithm>
#include <string>

namespace {

const std::string kCsi = "\x1b[";

} // namespace

void Terminal::respond(const std::string& reply) {
    if (onResponse) onResponse(reply);
}

// DECSCUSR: the style number is kept as sent; the view decides what it draws for each.
void Terminal::doCSISpace(const CsiParams& params, std::uint8_t final) {
    if (final == 'q') cursorStyle_ = params[0];
}

// DECSTR
void Terminal::doCSIBang(const CsiParams&, std::uint8_t final) {
    if (final == 'p') softReset();
}

// DECSCA: only 1 protects; 0, 2 and anything else clear the protection.
void Terminal::doCSIQuote(const CsiParams& params, std::uint8_t final) {
    if (final != 'q') return;
    TextAttrs a = attrs_;
    a.isProtected = params[0] == 1;
    setAttrs(a);
}

// DECRQM for the ANSI modes.
void Terminal::doCSIDollar(const CsiParams& params, std::uint8_t final) {
    if (final != 'p') return;
    const std::int64_t mode = params[0];
    respond(kCsi + std::to_string(mode) + ";" + std::to_string(queryAnsiMode(mode)) + "$y");
}

// CSI < n u: pops n entries of the kitty keyboard flag stack (at least one).
void Terminal::doLessThanPrefix(const CsiParams& params, std::uint8_t final) {
    if (final != 'u') return;
    const std::int64_t n = std::max<std::int64_t>(params[0], 1);
    const auto pop = std::min<std::size_t>(std::size_t(n), kittyKbdStack_.size());
    kittyKbdStack_.resize(kittyKbdStack_.size() - pop);
}

void Terminal::doSecondaryPrefix(const CsiParams& params, std::uint8_t final) {
    switch (final) {
    case 'u':
        // A full stack refuses the push rather than forgetting the oldest entry.
        if (kittyKbdStack_.size() < kMaxKittyFlagStack) kittyKbdStack_.push_back(params[0]);
        break;
    case 'q': // XTVERSION
        if (params[0] == 0) respond("\x1bP>|Dunmar(1.0)\x1b\\");
        break;
    case 'c': // DA2, whatever the parameters
        respond(kCsi + ">1;0;0c");
        break;
    default:
        break;
    }
}

void Terminal::reportKittyFlags() {
    respond(kCsi + "?" + std::to_string(kittyKbdFlags()) + "u");
}

void Terminal::reportPrivateMode(const CsiParams& params) {
    const std::int64_t mode = params[0];
    respond(kCsi + "?" + std::to_string(mode) + ";" + std::to_string(queryPrivateMode(mode)) + "$y");
}

// DA1: a VT220-class terminal (62) with sixel graphics (4) and ANSI colour (22).
void Terminal::reportDeviceAttributes(const CsiParams& params) {
    if (params[0] == 0) respond(kCsi + "?62;4;22c");
}

void Terminal::reportDeviceStatus(const CsiParams& params) {
    switch (params[0]) {
    case 5:
        respond(kCsi + "0n");
        break;
    case 6: {
        // In origin mode rows count from the top of the scroll region; columns always count from
        // the left edge.
        const std::int64_t row = modes_[Mode::origin] ? cursor_.y - scrollTop_ + 1 : cursor_.y + 1;
        respond(kCsi + std::to_string(row) + ";" + std::to_string(cursor_.x + 1) + "R");
        break;
    }
    default:
        break;
    }
}

void Terminal::doWindowOps(const CsiParams& params) {
    switch (params[0]) {
    case 8: {
        // A program may ask for any size; the request is cut to the largest grid the engine keeps,
        // so the view never sees a size it cannot make.
        const std::int64_t h = params[1];
        const std::int64_t w = params[2];
        const std::int64_t newRows = params.size() >= 2 && h >= 1 ? std::min(h, kMaxRows) : rows_;
        const std::int64_t newCols = params.size() >= 3 && w >= 1 ? std::min(w, kMaxCols) : cols_;
        if (onResize) onResize(newRows, newCols);
        break;
    }
    case 14:
        respond(kCsi + "4;" + std::to_string(rows_ * cellPixelHeight_) + ";" +
                std::to_string(cols_ * cellPixelWidth_) + "t");
        break;
    case 18:
        respond(kCsi + "8;" + std::to_string(rows_) + ";" + std::to_string(cols_) + "t");
        break;
    case 22:
        if (titleStack_.size() < kMaxTitleStack) titleStack_.push_back(currentTitle_);
        break;
    case 23:
        if (!titleStack_.empty()) {
            currentTitle_ = std::move(titleStack_.back());
            titleStack_.pop_back();
            if (onTitleChange) onTitleChange(currentTitle_);
        }
        break;
    default:
        break;
    }
}

// DECSTR: the modes and the pen go back to their defaults; the screen, the alternate screen, insert
// mode, bracketed paste, reverse video, the saved cursor, the titles and the colours stay.
void Terminal::softReset() {
    cursor_.x = 0;
    cursor_.y = 0;
    cursor_.pendingWrap = false;
    modes_.softReset();
    resetPenRegionAndCharsets();
    kittyKbdStack_.clear();
    resetTabStops();
}
