#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The switches a program flips with SM/RM and DECSET/DECRST, held in one table: each has its
// number, the value it starts with and goes back to on a reset, and whether a soft reset (DECSTR)
// touches it. Modes with more than two values (mouse tracking and its encoding) have their own
// enums; modes that are actions rather than switches (the alternate screen, the saved cursor) are
// handled where they act.

enum class Mode : std::uint8_t {
    insert,             // IRM (ANSI 4)
    appCursor,          // DECCKM (1)
    reverseVideo,       // DECSCNM (5)
    origin,             // DECOM (6)
    autoWrap,           // DECAWM (7)
    cursorVisible,      // DECTCEM (25)
    leftRightMargins,   // DECLRMM (69)
    focusReporting,     // 1004
    bracketedPaste,     // 2004
    synchronizedOutput, // 2026
    appKeypad,          // DECKPAM / DECKPNM (ESC = and ESC >; no number)
    count
};

// Which mouse events a program asked to hear of.
enum class MouseTracking : std::uint16_t {
    off = 0,
    clicks = 1000,    // presses and releases
    drags = 1002,     // and motion while a button is held
    allMotion = 1003, // and every motion
};

// How mouse reports are written.
enum class MouseEncoding : std::uint16_t {
    x10 = 0,     // single bytes
    utf8 = 1005, // coordinates as UTF-8 characters
    sgr = 1006,  // "CSI < b ; x ; y M/m"
};

struct ModeInfo {
    Mode mode;
    std::int16_t number;  // the DEC private number, or the ANSI one for an ANSI mode; -1 for none
    bool ansi;            // set with SM/RM rather than DECSET/DECRST
    bool initial;         // the value at start and after a full reset
    bool softResetClears; // DECSTR puts it back to `initial`
};

inline constexpr std::array<ModeInfo, std::size_t(Mode::count)> kModeTable{{
    {Mode::insert, 4, true, false, false},
    {Mode::appCursor, 1, false, false, true},
    {Mode::reverseVideo, 5, false, false, false},
    {Mode::origin, 6, false, false, true},
    {Mode::autoWrap, 7, false, true, true},
    {Mode::cursorVisible, 25, false, true, true},
    {Mode::leftRightMargins, 69, false, false, true},
    {Mode::focusReporting, 1004, false, false, true},
    {Mode::bracketedPaste, 2004, false, false, false},
    {Mode::synchronizedOutput, 2026, false, false, true},
    {Mode::appKeypad, -1, false, false, true},
}};

class TerminalModes {
public:
    TerminalModes() { resetAll(); }

    bool operator[](Mode mode) const { return values_[std::size_t(mode)]; }
    void set(Mode mode, bool on) { values_[std::size_t(mode)] = on; }

    MouseTracking mouseTracking() const { return mouseTracking_; }
    MouseEncoding mouseEncoding() const { return mouseEncoding_; }
    bool tracksMouse() const { return mouseTracking_ != MouseTracking::off; }
    void setMouseTracking(MouseTracking tracking) { mouseTracking_ = tracking; }
    void setMouseEncoding(MouseEncoding encoding) { mouseEncoding_ = encoding; }

    // The switch with this number, if it is one of the table's.
    static std::optional<Mode> fromNumber(std::int64_t number, bool ansi) {
        for (const ModeInfo& info : kModeTable) {
            if (info.number == number && info.ansi == ansi) return info.mode;
        }
        return std::nullopt;
    }

    // Every switch back to its initial value, mouse reporting off.
    void resetAll() {
        for (const ModeInfo& info : kModeTable) values_[std::size_t(info.mode)] = info.initial;
        mouseTracking_ = MouseTracking::off;
        mouseEncoding_ = MouseEncoding::x10;
    }
    // What DECSTR resets: the switches marked for it, and mouse reporting.
    void softReset() {
        for (const ModeInfo& info : kModeTable) {
            if (info.softResetClears) values_[std::size_t(info.mode)] = info.initial;
        }
        mouseTracking_ = MouseTracking::off;
        mouseEncoding_ = MouseEncoding::x10;
    }
    // A program that ended cannot read reports or pastes any more, and must not leave the screen
    // held by an unfinished synchronized update.
    void forgetProgramRequests() {
        mouseTracking_ = MouseTracking::off;
        mouseEncoding_ = MouseEncoding::x10;
        set(Mode::bracketedPaste, false);
        set(Mode::synchronizedOutput, false);
    }

    // DECSC keeps origin mode and auto-wrap with the cursor; DECRC brings them back.
    void saveWithCursor() {
        savedOrigin_ = (*this)[Mode::origin];
        savedAutoWrap_ = (*this)[Mode::autoWrap];
    }
    void restoreWithCursor() {
        set(Mode::origin, savedOrigin_);
        set(Mode::autoWrap, savedAutoWrap_);
    }

private:
    std::array<bool, std::size_t(Mode::count)> values_{};
    MouseTracking mouseTracking_ = MouseTracking::off;
    MouseEncoding mouseEncoding_ = MouseEncoding::x10;
    bool savedOrigin_ = false;
    bool savedAutoWrap_ = true;
};
