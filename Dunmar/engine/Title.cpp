#include "engine/Title.h"

#include <algorithm>

std::string sanitizeTitle(std::string_view raw) {
    std::string out;
    out.reserve(std::min(raw.size(), kMaxTitleChars * 4));
    std::size_t chars = 0;
    for (std::size_t i = 0; i < raw.size() && chars < kMaxTitleChars;) {
        const auto byte = static_cast<unsigned char>(raw[i]);
        if (byte < 0x20 || byte == 0x7f) {
            ++i;
            continue;
        }
        // C1 controls U+0080 to U+009F are C2 80 to C2 9F in UTF-8.
        if (byte == 0xc2 && i + 1 < raw.size()) {
            const auto next = static_cast<unsigned char>(raw[i + 1]);
            if (next >= 0x80 && next <= 0x9f) {
                i += 2;
                continue;
            }
        }
        // One character: a lead byte and the continuation bytes after it.
        std::size_t end = i + 1;
        while (end < raw.size() && (static_cast<unsigned char>(raw[end]) & 0xc0) == 0x80 && end - i < 4)
            ++end;
        out.append(raw.substr(i, end - i));
        i = end;
        ++chars;
    }
    return out;
}
