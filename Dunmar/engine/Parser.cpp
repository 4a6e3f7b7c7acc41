// The escape-sequence state machine: one scalar at a time, controls first, then by state.
#include "engine/Terminal.h"

#include <algorithm>

namespace {

constexpr char32_t BEL = 0x07;
constexpr char32_t ESC = 0x1B;
constexpr char32_t ST = 0x9C;

} // namespace

void Terminal::feed(char32_t c) {
    ++diag.totalScalars;
    const bool inString = pstate_ == PState::osc || pstate_ == PState::oscEsc || pstate_ == PState::dcsPass ||
                          pstate_ == PState::dcsSixel;
    if (!inString) {
        if (c < 0x20) {
            executeC0(c);
            return;
        }
        if (c >= 0x80 && c <= 0x9F) {
            executeC1(c);
            return;
        }
    }
    switch (pstate_) {
    case PState::ground:
        put(c);
        break;
    case PState::esc:
        ++diag.escCount;
        pstate_ = PState::ground;
        escDispatch(c);
        break;
    case PState::escInter:
        if (c >= 0x30 && c <= 0x7E) {
            pstate_ = PState::ground;
            if (escInterByte_ == '#') escHashDispatch(c);
        } else if (c < 0x20 || c > 0x2F) {
            pstate_ = PState::ground;
        }
        break;
    case PState::csi:
        csiCollect(c);
        break;
    case PState::osc:
        if (c == BEL || c == ST) {
            pstate_ = PState::ground;
            if (!oscOverflow_) handleOSC();
        } else if (c == ESC) {
            stringIsOsc_ = true;
            pstate_ = PState::oscEsc;
        } else {
            appendOsc(c);
        }
        break;
    case PState::oscEsc:
        pstate_ = PState::ground;
        if (c == '\\' && stringIsOsc_ && !oscOverflow_) handleOSC();
        break;
    case PState::dcs:
        ++diag.dcsCount;
        dcsCollect(c);
        break;
    case PState::dcsPass:
        if (c == BEL || c == ST) {
            pstate_ = PState::ground;
        } else if (c == ESC) {
            stringIsOsc_ = false;
            pstate_ = PState::oscEsc;
        }
        break;
    case PState::dcsSixel:
        if (c == BEL || c == ST || c == ESC) {
            parseSixelData();
            stringIsOsc_ = false;
            pstate_ = c == ESC ? PState::oscEsc : PState::ground;
        } else {
            // Decoded as it arrives: however long the string, only the (bounded) image is kept.
            sixelDecoder_.feed(std::uint8_t(c & 0xFF));
        }
        break;
    case PState::charsetG0:
        charsetG0IsGraphics = c == '0';
        pstate_ = PState::ground;
        break;
    case PState::charsetG1:
        charsetG1IsGraphics = c == '0';
        pstate_ = PState::ground;
        break;
    }
}

void Terminal::executeC0(char32_t c) {
    switch (c) {
    case 0x07:
        if (onBell) onBell();
        break;
    case 0x08:
        cursor.x = std::max<std::int64_t>(cursor.x - 1, 0);
        cursor.pendingWrap = false;
        break;
    case 0x09:
        advanceToNextTab();
        break;
    case 0x0A:
    case 0x0B:
    case 0x0C:
        lf();
        break;
    case 0x0D:
        cursor.x = 0;
        cursor.pendingWrap = false;
        break;
    case 0x0E:
        useG1 = true;
        break;
    case 0x0F:
        useG1 = false;
        break;
    case 0x1B:
        pstate_ = PState::esc;
        break;
    default:
        break; // CAN, SUB and the rest: ignored, a sequence in progress goes on
    }
}

bool Terminal::executeC1(char32_t c) {
    switch (c) {
    case 0x84:
        lf();
        break;
    case 0x85:
        cursor.x = 0;
        cursor.pendingWrap = false;
        lf();
        break;
    case 0x88:
        if (cursor.x >= 0 && cursor.x < cols_) tabStops_[std::size_t(cursor.x)] = 1;
        break;
    case 0x8D:
        rlf();
        break;
    case 0x90:
        startDcs();
        break;
    case 0x9B:
        startCsi();
        break;
    case 0x9C:
        pstate_ = PState::ground;
        break;
    case 0x9D:
        startOsc();
        break;
    default:
        return false;
    }
    return true;
}

void Terminal::startCsi() {
    pstate_ = PState::csi;
    csiPrefix_ = 0;
    csiIntermediate_ = 0;
    csiParams_.clear();
}

void Terminal::startOsc() {
    pstate_ = PState::osc;
    oscBuf_.clear();
    oscOverflow_ = false;
}

void Terminal::startDcs() {
    pstate_ = PState::dcs;
    csiPrefix_ = 0;
    csiIntermediate_ = 0;
    csiParams_.clear();
}

void Terminal::dcsCollect(char32_t c) {
    if (c >= '0' && c <= '9') {
        csiParams_.digit(int(c - '0'));
    } else if (c == ';') {
        csiParams_.endParam();
    } else if (c >= 0x20 && c <= 0x2F) {
        csiIntermediate_ = std::uint8_t(c);
    } else if (c >= 0x40 && c <= 0x7E) {
        // Sixel is "q" alone; with an intermediate ("$q" DECRQSS, "+q" XTGETTCAP) it is a request
        // this terminal does not answer, and its text must not be drawn as an image.
        if (c == 'q' && csiIntermediate_ == 0) {
            sixelDecoder_.begin();
            pstate_ = PState::dcsSixel;
        } else {
            pstate_ = PState::dcsPass;
        }
    } else {
        pstate_ = PState::dcsPass;
    }
}

// OSC text is kept as UTF-8, up to kMaxOscBytes; a longer string is not run when it ends.
void Terminal::appendOsc(char32_t c) {
    if (oscOverflow_) return;
    char buf[4];
    std::size_t n = 0;
    if (c < 0x80) {
        buf[n++] = char(c);
    } else if (c < 0x800) {
        buf[n++] = char(0xC0 | (c >> 6));
        buf[n++] = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        buf[n++] = char(0xE0 | (c >> 12));
        buf[n++] = char(0x80 | ((c >> 6) & 0x3F));
        buf[n++] = char(0x80 | (c & 0x3F));
    } else {
        buf[n++] = char(0xF0 | (c >> 18));
        buf[n++] = char(0x80 | ((c >> 12) & 0x3F));
        buf[n++] = char(0x80 | ((c >> 6) & 0x3F));
        buf[n++] = char(0x80 | (c & 0x3F));
    }
    if (oscBuf_.size() + n > kMaxOscBytes) {
        oscOverflow_ = true;
        oscBuf_.clear();
        oscBuf_.shrink_to_fit();
        return;
    }
    oscBuf_.append(buf, n);
}
