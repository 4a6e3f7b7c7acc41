// The parser: the byte intake and the escape-sequence state machine.
//
// process() decodes UTF-8 in place; while the parser is in its ground or CSI state, printable
// ASCII runs are written straight into the grid and control sequences are collected and
// dispatched straight from the buffer. Everything else goes through feed(), the state machine, one
// scalar at a time: controls first, then by state. The fast paths do exactly what feed() would do
// for the same scalars, counters included.
#include "engine/CharWidth.h"
#include "engine/Terminal.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr char32_t BEL = 0x07;
constexpr char32_t ESC = 0x1B;
constexpr char32_t ST = 0x9C;

// The end of the run of printable ASCII (0x20-0x7E) that starts at p, eight bytes at a time.
const std::uint8_t* printableRunEnd(const std::uint8_t* p, const std::uint8_t* end) {
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t highs = 0x8080808080808080ull;
    while (end - p >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        const std::uint64_t low7 = w & ~highs;
        // Per byte, without carries between bytes: the high bit of low7 + 0x60 is set when the low
        // seven bits are 0x20 or more, that of low7 + 0x01 when they are 0x7F.
        const std::uint64_t atLeastSpace = (low7 + 0x60 * ones) & highs;
        const std::uint64_t isDel = (low7 + ones) & highs;
        if (const std::uint64_t stop = (~atLeastSpace | isDel | w) & highs) {
            // No sum carries out of its byte, so the lowest flagged byte is the first to stop at.
            if constexpr (std::endian::native == std::endian::little) return p + std::countr_zero(stop) / 8;
            break;
        }
        p += 8;
    }
    while (p < end && *p >= 0x20 && *p < 0x7F) ++p;
    return p;
}

// The parameters of a control sequence from p on: decimal values separated by ";", written to
// values[0 .. count). Returns where they end (p == end when the buffer ends first), or nullptr for
// what only the byte-wise path takes: more than kMaxParams parameters, or a value of more than 18
// digits (too large for 64 bits, or near it).
const std::uint8_t* readCsiParams(const std::uint8_t* p, const std::uint8_t* end, std::int64_t* values,
                                  std::size_t& count) {
    for (;;) {
        const std::uint8_t* const paramStart = p;
        std::uint64_t cur = 0;
        unsigned digit;
        while (p < end && (digit = unsigned(*p) - '0') < 10) {
            cur = cur * 10 + digit; // wraps only past 19 digits, which are sent back below
            ++p;
        }
        if (p == end) return p;
        if (p - paramStart > 18) return nullptr;
        values[count++] = std::int64_t(std::min<std::uint64_t>(cur, CsiParams::kMaxValue));
        if (*p != ';') return p;
        if (count >= CsiParams::kMaxParams) return nullptr;
        ++p;
    }
}

// A parameter of up to three digits at p, with no test for the buffer's end (the caller made sure
// of four bytes): its value, and p moved past it. Returns false, with p unmoved, when there is no
// digit at p.
[[gnu::always_inline]] inline bool shortNumber(const std::uint8_t*& p, std::int64_t& value) {
    unsigned d = unsigned(p[0]) - '0';
    if (d >= 10) return false;
    std::int64_t v = d;
    if ((d = unsigned(p[1]) - '0') < 10) {
        v = v * 10 + d;
        if ((d = unsigned(p[2]) - '0') < 10) {
            value = v * 10 + d;
            p += 3;
            return true;
        }
        value = v;
        p += 2;
        return true;
    }
    value = v;
    p += 1;
    return true;
}

// The bytes that readShortCsi() may look at.
constexpr std::ptrdiff_t kShortCsiLookahead = 1 + 5 * 4;

// The shape nearly every control sequence has, read with fewer tests: up to five parameters of up
// to three digits each, no prefix and no intermediate, at least kShortCsiLookahead bytes in the
// buffer from p (so no test for its end). Returns where the final byte is, or nullptr for any
// other shape, which readCsiParams() then takes from the start.
[[gnu::always_inline]] inline const std::uint8_t* readShortCsi(const std::uint8_t* p, std::int64_t* values,
                                                               std::size_t& count) {
    for (std::size_t n = 0;;) {
        std::int64_t v = 0;
        shortNumber(p, v); // an empty parameter reads as 0
        values[n++] = v;
        if (*p == ';') {
            if (n == 5) return nullptr;
            ++p;
            continue;
        }
        // A fourth digit, a prefix, an intermediate or a colon is not a final byte.
        if (unsigned(*p) - 0x40 > 0x7E - 0x40) return nullptr;
        count = n;
        return p;
    }
}

} // namespace

// A short run of printable ASCII (the words between colour changes, a character between two cursor
// motions), written as printAscii() would write it when that is simple: a cursor inside a
// single-size row with room for the whole run before the last column, no wrap due, no insert mode
// and no graphics set. Returns false, having done nothing, in every other case.
[[gnu::always_inline]] inline bool Terminal::printShortAscii(const std::uint8_t* text, std::size_t n) {
    const std::int64_t x = cursor_.x;
    const std::int64_t y = cursor_.y;
    if (modes_[Mode::insert] || cursor_.pendingWrap || activeCharsetIsGraphics() ||
        std::uint64_t(y) >= std::uint64_t(rows_) || std::uint64_t(x) + n >= std::uint64_t(cols_) ||
        (grid_.attr(y) & LineAttr::sizeMask) != 0) {
        return false;
    }
    const CellPattern pen = penPattern();
    Row& row = rowAt(y);
    splitWideAt(row, x);
    splitWideAt(row, x + std::int64_t(n));
    Cell* const dst = row.data() + x;
    for (std::size_t i = 0; i < n; ++i) pen.store(dst + i, text[i]);
    cursor_.x = x + std::int64_t(n);
    lastChar_ = text[n - 1];
    return true;
}

// The ground state's own loop: printable text, whole control sequences, C0 controls and runs of
// multi-byte text, for as long as the parser stays in the ground state with no UTF-8 sequence
// pending. Returns at the first byte it leaves to process()'s general path (an escape other than
// CSI, DEL, a multi-byte sequence that is not whole and printable) or where the state changed.
const std::uint8_t* Terminal::runGround(const std::uint8_t* p, const std::uint8_t* const end) {
    constexpr std::size_t kShortRun = 16;
    while (p < end) {
        const std::uint8_t b = *p;
        if (unsigned(b) - 0x20 < 0x5F) {
            // A lone character needs no search for the end of its run.
            const std::uint8_t* const q =
                end - p >= 2 && unsigned(p[1]) - 0x20 >= 0x5F ? p + 1 : printableRunEnd(p + 1, end);
            const auto n = std::size_t(q - p);
            diag_.totalScalars += std::int64_t(n);
            if (n >= kShortRun || !printShortAscii(p, n)) printAscii(reinterpret_cast<const char*>(p), n);
            p = q;
            continue;
        }
        if (b == 0x1B) {
            if (end - p < 2 || p[1] != '[') return p;
            // ESC [ as feed() takes it: the ESC starts an escape, the "[" is counted as an
            // escape's scalar and starts the control sequence.
            diag_.totalScalars += 2;
            ++diag_.escCount;
            if (const std::uint8_t* next = dispatchWholeCsi(p + 2, end)) {
                p = next;
            } else {
                startCsi();
                return collectCsi(p + 2, end);
            }
        } else if (b < 0x20) {
            ++diag_.totalScalars;
            executeC0(b);
            ++p;
        } else if (b >= 0x80) {
            const std::uint8_t* const q = printMultibyteRun(p, end);
            if (q == p) return p;
            p = q;
        } else {
            return p;
        }
        if (parser_.state != PState::ground || parser_.utf8.pending()) return p;
    }
    return p;
}

void Terminal::process(std::span<const std::uint8_t> bytes) {
    // Each piece of output may paint so much of a sixel image, whatever it repeats.
    sixelDecoder_.allowPaint(SixelDecoder::kPaintPerPiece);
    const std::uint8_t* p = bytes.data();
    const std::uint8_t* const end = p + bytes.size();
    while (p < end) {
        if (!parser_.utf8.pending()) {
            const std::uint8_t b = *p;
            if (parser_.state == PState::ground) {
                const std::uint8_t* const q = runGround(p, end);
                if (q != p) {
                    p = q;
                    continue;
                }
            } else if (parser_.state == PState::csi && b >= 0x20 && b < 0x7F) {
                p = collectCsi(p, end);
                continue;
            }
            if (b < 0x80) {
                feed(b);
                ++p;
                continue;
            }
            // A whole multi-byte sequence in the buffer is decoded in one go; a printable
            // scalar in the ground state goes straight to put().
            char32_t c = 0;
            if (std::size_t used = decodeWhole(p, end, c)) {
                p += used;
                if (c == 0xFFFD) continue;
                if (parser_.state == PState::ground && c >= 0xA0) {
                    ++diag_.totalScalars;
                    put(c);
                } else {
                    feed(c);
                }
                continue;
            }
        }
        char32_t c = 0;
        switch (parser_.utf8.step(*p, c)) {
        case Utf8Decoder::Result::scalar:
            ++p;
            if (c != 0xFFFD) feed(c); // a replacement character is never shown, sent or made
            break;
        case Utf8Decoder::Result::more:
        case Utf8Decoder::Result::invalid:
            ++p;
            break;
        case Utf8Decoder::Result::invalidRetry:
            break; // the byte starts afresh
        }
    }
}

// ---- The state machine ----------------------------------------------------------------------------

void Terminal::feed(char32_t c) {
    ++diag_.totalScalars;
    const bool inString = parser_.state == PState::osc || parser_.state == PState::oscEsc ||
                          parser_.state == PState::dcsPass || parser_.state == PState::dcsSixel;
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
    switch (parser_.state) {
    case PState::ground:
        put(c);
        break;
    case PState::esc:
        ++diag_.escCount;
        parser_.state = PState::ground;
        escDispatch(c);
        break;
    case PState::escInter:
        if (c >= 0x30 && c <= 0x7E) {
            parser_.state = PState::ground;
            if (parser_.escIntermediate == '#') escHashDispatch(c);
        } else if (c < 0x20 || c > 0x2F) {
            parser_.state = PState::ground;
        }
        break;
    case PState::csi:
        csiCollect(c);
        break;
    case PState::osc:
        if (c == BEL || c == ST) {
            parser_.state = PState::ground;
            if (!parser_.oscOverflow) handleOSC();
        } else if (c == ESC) {
            parser_.stringIsOsc = true;
            parser_.state = PState::oscEsc;
        } else {
            appendOsc(c);
        }
        break;
    case PState::oscEsc:
        parser_.state = PState::ground;
        if (c == '\\' && parser_.stringIsOsc && !parser_.oscOverflow) handleOSC();
        break;
    case PState::dcs:
        ++diag_.dcsCount;
        dcsCollect(c);
        break;
    case PState::dcsPass:
        if (c == BEL || c == ST) {
            parser_.state = PState::ground;
        } else if (c == ESC) {
            parser_.stringIsOsc = false;
            parser_.state = PState::oscEsc;
        }
        break;
    case PState::dcsSixel:
        if (c == BEL || c == ST || c == ESC) {
            parseSixelData();
            parser_.stringIsOsc = false;
            parser_.state = c == ESC ? PState::oscEsc : PState::ground;
        } else {
            // Decoded as it arrives: however long the string, only the (bounded) image is kept.
            sixelDecoder_.feed(std::uint8_t(c & 0xFF));
        }
        break;
    case PState::charsetG0:
        charsetG0IsGraphics_ = c == '0';
        parser_.state = PState::ground;
        break;
    case PState::charsetG1:
        charsetG1IsGraphics_ = c == '0';
        parser_.state = PState::ground;
        break;
    }
}

void Terminal::executeC0(char32_t c) {
    switch (c) {
    case 0x07:
        if (onBell) onBell();
        break;
    case 0x08:
        cursor_.x = std::max<std::int64_t>(cursor_.x - 1, 0);
        cursor_.pendingWrap = false;
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
        cursor_.x = 0;
        cursor_.pendingWrap = false;
        break;
    case 0x0E:
        useG1_ = true;
        break;
    case 0x0F:
        useG1_ = false;
        break;
    case 0x1B:
        parser_.state = PState::esc;
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
        cursor_.x = 0;
        cursor_.pendingWrap = false;
        lf();
        break;
    case 0x88:
        if (cursor_.x >= 0 && cursor_.x < cols_) tabStops_[std::size_t(cursor_.x)] = 1;
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
        parser_.state = PState::ground;
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
    parser_.state = PState::csi;
    parser_.csiPrefix = 0;
    parser_.csiIntermediate = 0;
    parser_.csiParams.clear();
}

void Terminal::startOsc() {
    parser_.state = PState::osc;
    parser_.oscBuf.clear();
    parser_.oscOverflow = false;
}

void Terminal::startDcs() {
    parser_.state = PState::dcs;
    parser_.csiPrefix = 0;
    parser_.csiIntermediate = 0;
    parser_.csiParams.clear();
}

void Terminal::dcsCollect(char32_t c) {
    if (c >= '0' && c <= '9') {
        parser_.csiParams.digit(int(c - '0'));
    } else if (c == ';') {
        parser_.csiParams.endParam();
    } else if (c >= 0x20 && c <= 0x2F) {
        parser_.csiIntermediate = std::uint8_t(c);
    } else if (c >= 0x40 && c <= 0x7E) {
        // Sixel is "q" alone; with an intermediate ("$q" DECRQSS, "+q" XTGETTCAP) it is a request
        // this terminal does not answer, and its text must not be drawn as an image.
        if (c == 'q' && parser_.csiIntermediate == 0) {
            sixelDecoder_.begin();
            parser_.state = PState::dcsSixel;
        } else {
            parser_.state = PState::dcsPass;
        }
    } else {
        parser_.state = PState::dcsPass;
    }
}

// OSC text is kept as UTF-8, up to kMaxOscBytes; a longer string is not run when it ends.
void Terminal::appendOsc(char32_t c) {
    if (parser_.oscOverflow) return;
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
    if (parser_.oscBuf.size() + n > kMaxOscBytes) {
        parser_.oscOverflow = true;
        parser_.oscBuf.clear();
        parser_.oscBuf.shrink_to_fit();
        return;
    }
    parser_.oscBuf.append(buf, n);
}

// ---- Control sequences straight from the buffer ---------------------------------------------------

// The bytes of a control sequence from p on, as csiCollect() takes them one by one: digits and
// ";" go to the parameters here, the final byte dispatches, the other printable bytes go to
// csiCollect(). Stops after the final byte, when the sequence is abandoned, or at a byte that is
// not printable ASCII (a control or a multi-byte scalar, which the general path handles).
const std::uint8_t* Terminal::collectCsi(const std::uint8_t* p, const std::uint8_t* end) {
    const std::uint8_t* const start = p;
    while (p < end) {
        const std::uint8_t b = *p;
        if (b >= '0' && b <= '9') {
            p = parser_.csiParams.digits(p, end);
            continue;
        }
        if (b == ';') {
            parser_.csiParams.endParam();
        } else if (b >= 0x40 && b <= 0x7E) {
            ++p;
            diag_.totalScalars += p - start;
            parser_.csiParams.endParam();
            parser_.state = PState::ground;
            csiDispatch(b);
            return p;
        } else if (b >= 0x20 && b < 0x7F) {
            csiCollect(b);
            if (parser_.state != PState::csi) {
                ++p;
                break;
            }
        } else {
            break;
        }
        ++p;
    }
    diag_.totalScalars += p - start;
    return p;
}

// The SGR sequences that programs send before nearly every coloured word, a 256-colour or true
// colour foreground or background ("38;5;n m", "48;5;n m", "38;2;r;g;b m", "48;2;r;g;b m" with
// values of up to three digits), recognised by their first five bytes and run without the general
// reading and dispatch; p is just after ESC [ with kShortCsiLookahead bytes in the buffer. Leaves
// what dispatchWholeCsi() and doSGR() would leave. Returns where the sequence ends, or nullptr
// (having changed nothing) for any other sequence.
[[gnu::always_inline]] inline const std::uint8_t* Terminal::dispatchSgrColour(const std::uint8_t* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    if constexpr (std::endian::native != std::endian::little) return nullptr;
    // "?8;?;" with the first byte 3 or 4 and the fourth 2 or 5.
    constexpr std::uint64_t kFixedMask = 0xFF00FFFF00ull;
    constexpr std::uint64_t kFixed =
        std::uint64_t(';') << 32 | std::uint64_t(';') << 16 | std::uint64_t('8') << 8;
    if ((w & kFixedMask) != kFixed) return nullptr;
    const auto first = std::uint8_t(w);
    const auto kind = std::uint8_t(w >> 24);
    if ((first != '3' && first != '4') || (kind != '2' && kind != '5')) return nullptr;
    const std::uint8_t* q = p + 5;
    std::int64_t* const values = parser_.csiParams.plainValues();
    std::size_t count;
    if (kind == '5') {
        if (!shortNumber(q, values[2]) || *q != 'm') return nullptr;
        count = 3;
    } else {
        if (!shortNumber(q, values[2]) || *q++ != ';' || !shortNumber(q, values[3]) || *q++ != ';' ||
            !shortNumber(q, values[4]) || *q != 'm') {
            return nullptr;
        }
        count = 5;
    }
    ++q;
    values[0] = first == '3' ? 38 : 48;
    values[1] = kind - '0';
    diag_.totalScalars += q - p;
    ++diag_.csiCount;
    parser_.csiPrefix = 0;
    parser_.csiIntermediate = 0;
    parser_.csiParams.setPlain(count);
    parser_.state = PState::ground;
    const bool fg = first == '3';
    if (kind == '5') {
        (fg ? attrs_.fg : attrs_.bg) = values[2];
        (fg ? attrs_.fgRGB : attrs_.bgRGB).reset();
    } else {
        const auto byteValue = [](std::int64_t v) { return std::uint8_t(std::min<std::int64_t>(v, 255)); };
        (fg ? attrs_.fgRGB : attrs_.bgRGB) =
            RGB{byteValue(values[2]), byteValue(values[3]), byteValue(values[4])};
    }
    penStale_ |= kPenColours;
    return q;
}

// A whole control sequence of the usual shape, complete in the buffer from p (just after ESC [):
// an optional prefix byte ("<", "=", ">" or "?"), decimal parameters separated by ";", optional
// intermediate bytes, and the final byte. Its parameters are read straight into parser_.csiParams and it
// is dispatched in one go, with the parameters, prefix, intermediate and counters csiCollect()
// would have left. Returns nullptr for any other shape (colon groups, controls inside, more than
// kMaxParams parameters, values of more than 18 digits) or when the buffer ends first: the
// byte-wise path then takes the sequence from its start (and clears the parameters first).
[[gnu::always_inline]] inline const std::uint8_t* Terminal::dispatchWholeCsi(const std::uint8_t* p,
                                                                             const std::uint8_t* end) {
    const std::uint8_t* const start = p;
    std::int64_t* const values = parser_.csiParams.plainValues();
    std::size_t count = 0;
    std::uint8_t prefix = 0;
    std::uint8_t intermediate = 0;
    const std::uint8_t* q = nullptr;
    if (end - p >= kShortCsiLookahead) {
        if (const std::uint8_t* next = dispatchSgrColour(p)) return next;
        q = readShortCsi(p, values, count);
    }
    if (q) {
        p = q;
    } else {
        count = 0;
        if (p < end && unsigned(*p) - '<' < 4) prefix = *p++;
        p = readCsiParams(p, end, values, count);
        if (!p) return nullptr;
        while (p < end && *p >= 0x20 && *p <= 0x2F) intermediate = *p++;
        if (p == end || *p < 0x40 || *p > 0x7E) return nullptr;
    }
    const std::uint8_t final = *p++;

    diag_.totalScalars += p - start;
    parser_.csiPrefix = prefix;
    parser_.csiIntermediate = intermediate;
    parser_.csiParams.setPlain(count);
    parser_.state = PState::ground;
    if ((prefix | intermediate) == 0) {
        // The plain sequences skip the routing by prefix and intermediate; the two that programs
        // send most, SGR and CUP, are run right here.
        if (final == 'm') {
            ++diag_.csiCount;
            doSGR(parser_.csiParams);
        } else if (final == 'H') {
            ++diag_.csiCount;
            cursorPosition(values[0], count > 1 ? values[1] : 0);
        } else {
            doCSI(parser_.csiParams, final);
        }
    } else {
        csiDispatch(final);
    }
    return p;
}
