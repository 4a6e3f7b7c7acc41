#pragma once

#include "engine/CsiParams.h"
#include "engine/Utf8Decoder.h"

#include <cstdint>
#include <string>

// Where the parser stands between two pieces of output: the state of the escape-sequence machine,
// the control sequence or string being collected, and a UTF-8 sequence left incomplete at the end
// of the last piece.
struct ParserState {
    enum class PState : std::uint8_t {
        ground,
        esc,
        escInter,
        csi,
        osc,
        oscEsc,
        dcs,
        dcsPass,
        dcsSixel,
        charsetG0,
        charsetG1
    };

    PState state = PState::ground;
    std::uint8_t csiPrefix = 0;       // "<", "=", ">" or "?" before the parameters, else 0
    std::uint8_t csiIntermediate = 0; // the last intermediate byte of a control sequence, else 0
    std::uint8_t escIntermediate = 0; // the intermediate byte of an escape ("#" for ESC # 8)
    bool stringIsOsc = false;         // in oscEsc: whether the interrupted string was an OSC
    CsiParams csiParams;
    std::string oscBuf;
    bool oscOverflow = false; // the OSC string outgrew kMaxOscBytes and is dropped when it ends
    Utf8Decoder utf8;
};
