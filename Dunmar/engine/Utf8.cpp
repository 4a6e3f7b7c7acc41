// The byte intake: UTF-8 decoding in place, with printable ASCII runs written straight into the
// grid while the parser is in its ground state.
#include "engine/Terminal.h"

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
