#include "conformance/TextUtil.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace conformance {

void appendUtf8(std::string& s, char32_t c) {
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
        s += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    } else {
        s += char(0xF0 | (c >> 18));
        s += char(0x80 | ((c >> 12) & 0x3F));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    }
}

std::string trimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string visible(std::string_view bytes) {
    static const char* hex = "0123456789ABCDEF";
    std::string s;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0x1B) {
            s += "ESC";
        } else if (c < 0x20) {
            s += '^';
            s += char(c + 0x40);
        } else if (c == 0x7F) {
            s += "^?";
        } else if (c >= 0x80) {
            s += "\\x";
            s += hex[c >> 4];
            s += hex[c & 15];
        } else {
            s += char(c);
        }
    }
    return s;
}

std::string composed(const std::string& utf8) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return utf8;
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
    icu::UnicodeString result = nfc->normalize(text, status);
    if (U_FAILURE(status)) return utf8;
    std::string out;
    result.toUTF8String(out);
    return out;
}

} // namespace conformance
