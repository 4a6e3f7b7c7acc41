// The byte intake: UTF-8 decoding in place, with printable ASCII runs written straight into the
// grid while the parser is in its ground state.
#include "engine/Terminal.h"

namespace {

// Decodes one complete, valid multi-byte sequence at p: its length, or 0 when the bytes are
// invalid or incomplete (the incremental decoder then handles them byte by byte).
std::size_t decodeWhole(const std::uint8_t* p, const std::uint8_t* end, char32_t& out) {
    const std::uint8_t b0 = p[0];
    const auto cont = [](std::uint8_t b) { return (b & 0xC0) == 0x80; };
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        if (end - p < 2 || !cont(p[1])) return 0;
        out = char32_t(b0 & 0x1F) << 6 | (p[1] & 0x3F);
        return 2;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        if (end - p < 3 || !cont(p[1]) || !cont(p[2])) return 0;
        if ((b0 == 0xE0 && p[1] < 0xA0) || (b0 == 0xED && p[1] > 0x9F)) return 0; // overlong, surrogate
        out = char32_t(b0 & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
        return 3;
    }
    return 0; // four-byte sequences are rare enough for the byte-wise path
}

} // namespace

void Terminal::process(std::span<const std::uint8_t> bytes) {
    const std::uint8_t* p = bytes.data();
    const std::uint8_t* const end = p + bytes.size();
    while (p < end) {
        if (!utf8_.pending()) {
            if (pstate_ == PState::ground && *p >= 0x20 && *p < 0x7F) {
                const std::uint8_t* q = p + 1;
                while (q < end && *q >= 0x20 && *q < 0x7F) ++q;
                diag.totalScalars += q - p;
                printAscii(reinterpret_cast<const char*>(p), std::size_t(q - p));
                p = q;
                continue;
            }
            if (pstate_ == PState::csi && *p >= 0x20 && *p < 0x7F) {
                // Parameter, intermediate and final bytes go straight to the collector.
                ++diag.totalScalars;
                csiCollect(*p++);
                continue;
            }
            if (*p < 0x80) {
                feed(*p++);
                continue;
            }
            // A whole multi-byte sequence in the buffer is decoded in one go; a printable
            // scalar in the ground state goes straight to put().
            char32_t c = 0;
            if (std::size_t used = decodeWhole(p, end, c)) {
                p += used;
                if (c == 0xFFFD) continue;
                if (pstate_ == PState::ground && c >= 0xA0) {
                    ++diag.totalScalars;
                    put(c);
                } else {
                    feed(c);
                }
                continue;
            }
        }
        char32_t c = 0;
        switch (utf8_.step(*p, c)) {
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
