#pragma once

#include <cstdint>

// Cells a scalar takes when printed: 0 (combining and other zero-width scalars), 1 or 2 (wide
// East Asian characters and emoji). A handful of range tests, run for every printed character.
// The part of unicodeWidth() for scalars from U+0300 on; unicodeWidth() answers Latin inline.
int unicodeWidthBeyondLatin(char32_t c);
inline int unicodeWidth(char32_t c) {
    if (c < 0x0300) return c < 0x20 || (c >= 0x7F && c <= 0x9F) ? 0 : 1;
    return unicodeWidthBeyondLatin(c);
}

// True for scalars of the right-to-left scripts (Hebrew, Arabic, Syriac, Thaana, ...).
bool isStrongRTL(std::uint32_t v);
