#pragma once

#include <cstddef>
#include <cstdint>

// Incremental UTF-8 decoder: keeps only the state of one incomplete sequence between pieces of
// input, so the bytes themselves are decoded in place. Invalid input is dropped by maximal
// subparts, the way a replacement character would be made for it: a byte that cannot continue
// the sequence ends it at once (and is then read afresh), so ASCII after a broken lead byte is
// never held back waiting for the sequence's full length.
class Utf8Decoder {
public:
    enum class Result : std::uint8_t {
        more,        // part of a sequence; nothing to emit yet
        scalar,      // `out` holds a decoded scalar
        invalid,     // the byte (and the sequence it ended) is dropped
        invalidRetry // the sequence in progress is dropped; read the same byte again
    };

    bool pending() const { return need_ != 0; }
    void reset() { need_ = 0; }

    Result step(std::uint8_t b, char32_t& out) {
        if (need_ == 0) return start(b, out);
        if (b < lower_ || b > upper_) {
            need_ = 0;
            return Result::invalidRetry;
        }
        cp_ = (cp_ << 6) | (b & 0x3Fu);
        lower_ = 0x80;
        upper_ = 0xBF;
        if (--need_ != 0) return Result::more;
        out = cp_;
        return Result::scalar;
    }

private:
    Result start(std::uint8_t b, char32_t& out) {
        lower_ = 0x80;
        upper_ = 0xBF;
        if (b < 0x80) {
            out = b;
            return Result::scalar;
        }
        if (b >= 0xC2 && b <= 0xDF) {
            need_ = 1;
            cp_ = b & 0x1Fu;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need_ = 2;
            cp_ = b & 0x0Fu;
            if (b == 0xE0) lower_ = 0xA0; // overlong below U+0800
            if (b == 0xED) upper_ = 0x9F; // UTF-16 surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            need_ = 3;
            cp_ = b & 0x07u;
            if (b == 0xF0) lower_ = 0x90; // overlong below U+10000
            if (b == 0xF4) upper_ = 0x8F; // above U+10FFFF
        } else {
            return Result::invalid; // stray continuation, C0/C1 overlong leads, F5-FF
        }
        return Result::more;
    }

    char32_t cp_ = 0;
    std::uint8_t need_ = 0;
    std::uint8_t lower_ = 0x80;
    std::uint8_t upper_ = 0xBF;
};

// Decodes one complete, valid multi-byte sequence at p (whose first byte is 0x80 or above): its
// length, or 0 when the bytes are invalid or incomplete (the incremental decoder then handles them
// byte by byte). Overlong forms, surrogates and values beyond U+10FFFF are told by the value.
[[gnu::always_inline]] inline std::size_t decodeWhole(const std::uint8_t* p, const std::uint8_t* end,
                                                      char32_t& out) {
    const std::uint8_t b0 = p[0];
    const auto notCont = [](std::uint8_t b) { return (b & 0xC0) ^ 0x80; };
    if (b0 < 0xE0) {
        if (b0 < 0xC2 || end - p < 2 || notCont(p[1])) return 0;
        out = char32_t(b0 & 0x1F) << 6 | (p[1] & 0x3F);
        return 2;
    }
    if (b0 < 0xF0) {
        if (end - p < 3 || (notCont(p[1]) | notCont(p[2]))) return 0;
        const char32_t c = char32_t(b0 & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
        if (c < 0x800 || c - 0xD800 < 0x800) return 0; // overlong, surrogate
        out = c;
        return 3;
    }
    if (b0 > 0xF4 || end - p < 4 || (notCont(p[1]) | notCont(p[2]) | notCont(p[3]))) return 0;
    const char32_t c =
        char32_t(b0 & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 | char32_t(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
    if (c < 0x10000 || c > 0x10FFFF) return 0; // overlong, beyond Unicode
    out = c;
    return 4;
}
