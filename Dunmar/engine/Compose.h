#pragma once

#include <string>
#include <string_view>

// The canonical composition (NFC) of `base` followed by `mark`: its first scalar, and whether
// that scalar is all of it (e + U+0301 gives U+00E9 whole; x + U+0332 gives x, not whole).
struct ComposedMark {
    char32_t first = 0;
    bool whole = false;
};
ComposedMark composeWithMark(char32_t base, char32_t mark);

// The canonical composition (NFC) of a short text; the text itself when normalisation fails.
std::u32string normalizeNfc(std::u32string_view text);
